// The fresh drawing that the display fixtures start from, in two steps so a
// fixture can change settings that the screen objects are made from.
#pragma once

// Default definition tables and settings, lines in their own width, a white
// drawing area.
void DisplayResetDrawing();

// The work arrays, an empty allocator with one chunk, the GDI resources and
// screen objects from the current settings, and no output abort. Fatal
// failures: call it through ASSERT_NO_FATAL_FAILURE.
void DisplayPrepareStorageAndGdi();
