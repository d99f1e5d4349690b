// A PostScript printer that prints to files, added to the Wine prefix
// in-process (no print system needed), and Ghostscript to read what it wrote.
#pragma once

#include <string>
#include <vector>

constexpr char TEST_PRINTER_NAME[] = "darad4 PostScript";

// Adds the printer once (its driver with a small PPD of A4 and A3 paper,
// port FILE:) and makes it the default printer; 1 when it is there.
int TestAddPostScriptPrinter();

// Ghostscript as the Linux program beside Wine: "" when it is missing.
std::string TestGhostscriptPath();
// Runs Ghostscript's bounding-box device over a PostScript file: one box a
// page, in points from the paper's lower-left corner. 0 when gs cannot run.
struct TestPageBox {
    double x1, y1, x2, y2;
};
int TestGhostscriptBoxes(const std::string &postScriptFile, std::string *log, std::vector<TestPageBox> *boxes);
