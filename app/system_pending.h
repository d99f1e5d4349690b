// Stand-in for the settings records of the application frame while they are
// being written elsewhere: the fields read here carry the names of the real
// records (DrawingSettings, LocalData), so replacing this header by theirs
// changes no caller.
#pragma once

#include <cstdint>

constexpr int COMMENT_TEXT_SIZE = 8192;
constexpr int COMMENT_SETTINGS_SIZE = 72;

struct DrawingSettings {
    // Flattening tolerances in millimetres: screen, metafiles and printers,
    // coarse flattening and enumeration.
    double displayQuality[3];
    uint32_t displayPoints;
    uint32_t displayArrows;
    uint32_t displayNumbers;
    uint32_t displayPalette;
    uint32_t displayVariables; // texts show references expanded; instances measured member by member
    uint32_t displayExtern;    // the screen uses property set B
    uint32_t outputIntern;     // devices use property set A
    uint32_t commentDisplay[2];  // comments shown
    uint32_t displayGeometry[3]; // construction objects shown, frozen
    uint32_t outputGeometry;   // construction objects printed
};

struct LocalData {
    int32_t sketchJitter;      // percent of the step length, 0 to 100
    double sketchStep;         // millimetres
    char commentText[COMMENT_TEXT_SIZE];
    uint8_t commentSettings[COMMENT_SETTINGS_SIZE];
};

extern DrawingSettings g_DrawingSettings;
extern LocalData g_LocalData;
extern int32_t g_FontFillMode;
