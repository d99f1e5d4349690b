// Shared by the section readers and writers of the drawing file.
#pragma once

#include <cstdint>

#include "files/file.h"

// Reader side: 1 when the section's bit is in the mask (its bit is added to
// the sections-read word); 0 when it is not (the skipped flag is set and the
// caller returns success: the section is passed over by the next-section walk).
int FileSectionWanted(uint32_t sections, uint32_t bit);

// A section message to the internal diagnostic box; printf format.
void FileReport(const char *format, ...);

// Writes the END keyword and tests the writer: 0 with "Cannot write section
// =<name>=" when it failed.
int FileWriteSectionEnd(const char *name);
// The reader failed in a section: "Error in section =<name>=", result 0.
int FileFailSection(const char *name);

// A read that stopped: with a read error the syntax message and the file
// alert syntaxCode, else contentCode; the file named with the line.
void FileReportReadFailure(const char *name, uint32_t syntaxCode, uint32_t contentCode);

// Reads an optional Int behind a separator: fallback when the record ends.
int FileReadOptionalInt(int32_t *value, int32_t fallback);

// Progress titles (eDialogText entries).
constexpr int FILE_PROGRESS_SECTIONS = 12;
constexpr int FILE_PROGRESS_BLOCKS = 13;
constexpr int FILE_PROGRESS_LIBRARY_BLOCKS = 14;
constexpr int FILE_PROGRESS_OBJECTS = 15;
constexpr int FILE_PROGRESS_KILOBYTES = 31;
constexpr int FILE_PROGRESS_BITMAPS = 79;
const char *FileProgressText(int entry);

// The definition sections.
int FileReadSectionPage(uint32_t sections);
int FileWriteSectionPage(uint32_t sections);
int FileReadSectionColor(uint32_t sections);
int FileWriteSectionColor(uint32_t sections);
int FileReadSectionHatch(uint32_t sections);
int FileWriteSectionHatch(uint32_t sections);
int FileReadSectionMultiLine(uint32_t sections);
int FileWriteSectionMultiLine(uint32_t sections);
int FileReadSectionSystem(uint32_t sections);
int FileWriteSectionSystem(uint32_t sections);
int FileReadSectionPen(uint32_t sections);
int FileWriteSectionPen(uint32_t sections);
int FileReadSectionLine(uint32_t sections);
int FileWriteSectionLine(uint32_t sections);
int FileReadSectionLayer(uint32_t sections);
int FileWriteSectionLayer(uint32_t sections);
int FileReadSectionVariable(uint32_t sections);
int FileWriteSectionVariable(uint32_t sections);
int FileReadSectionDefault(uint32_t sections);
int FileWriteSectionDefault(uint32_t sections);
int FileReadSectionWindow(uint32_t sections);
int FileWriteSectionWindow(uint32_t sections);

// The other sections.
int FileReadSectionDrawing(DrawingInfo *info, int, uint32_t sections);
int FileWriteSectionDrawing(const DrawingInfo *info, int, uint32_t sections);
int FileReadSectionProfile(int, uint32_t sections);
int FileWriteSectionProfile(int, uint32_t sections);
int FileReadSectionModule(int list, uint32_t sections);
int FileWriteSectionModule(int list, uint32_t sections);
int FileReadSectionBitmap(int, uint32_t sections);
int FileWriteSectionBitmap(int, uint32_t sections, int all);
int FileReadSectionBlock(int list, uint32_t sections, int merge);
int FileWriteSectionBlock(int list, uint32_t sections);
int FileReadSectionObject(int list, uint32_t sections, int merge);
int FileWriteSectionObject(int list, uint32_t sections);
