// Repaints of the tool windows after a command change.
#pragma once

// After a command change: the panel and the property bar when the pointer
// command starts or ends, and the toolbox buttons whose look may change.
void StatusUpdateToolbox();
