// Record initialisers: the defaults of the records a plug-in fills for a
// builder or a dialog. Fields not named keep what the caller had in them.
#include <cstring>

#include "app/system.h"
#include "app/system_defs.h"
#include "database/unit.h"
#include "files/file_records.h"
#include "geometry/matrix.h"
#include "language/language.h"
#include "plugin/zvi.h"
#include "plugin/zvi_checks.h"
#include "plugin/zvi_create.h"

namespace {

constexpr int DEFAULT_NAME_COMMENT = 7;
constexpr uint32_t FONT_KIND_TRUETYPE = 1;
constexpr uint32_t FONT_WEIGHT_NORMAL = 400;
constexpr const char *FONT_FACE_DEFAULT = "Arial";
constexpr double TEXT_DEFAULT_HEIGHT = 5.0;
constexpr int COMMENT_TEXT_SIZE = 64;

template <typename T>
void Put(void *record, size_t offset, T value)
{
    std::memcpy(static_cast<uint8_t *>(record) + offset, &value, sizeof value);
}

void PutXProperty(void *record, size_t offset)
{
    const XProperty p = XPropertyDefault();
    std::memcpy(static_cast<uint8_t *>(record) + offset, &p, sizeof p);
}

void FontDefaults(void *font)
{
    Put<uint32_t>(font, 0, FONT_KIND_TRUETYPE);
    Put<uint32_t>(font, 4, 0);
    Put<uint32_t>(font, 8, FONT_WEIGHT_NORMAL);
    std::memcpy(static_cast<uint8_t *>(font) + offsetof(FontDef, face), FONT_FACE_DEFAULT,
                std::strlen(FONT_FACE_DEFAULT) + 1);
}

// The dimension defaults both records share, up to the system index.
void DimensionDefaults(void *d)
{
    FontDefaults(d);
    Put(d, 120, 5.0);
    Put(d, 128, 3.5);
    Put(d, 136, 0.0);
    Put(d, 144, 4.0);
    Put<int32_t>(d, 152, 1);
    Put<int32_t>(d, 156, -1);
    Put<int32_t>(d, 160, 2);
}

} // namespace

void ZviPutDrawingDimParameters(void *d, size_t systemOffset)
{
    const DrawingSettings &s = g_DrawingSettings;
    std::memcpy(d, &s.dimFont, sizeof s.dimFont);
    for (int i = 0; i < 4; ++i)
        Put(d, 120 + 8 * i, s.dimValues[i]);
    for (int i = 0; i < 3; ++i)
        Put<int32_t>(d, 152 + 4 * i, s.dimInts[i]);
    Put<int32_t>(d, systemOffset, s.dimInts[3]);
}

extern "C" {

void ZVI_CALL ZVI_InitProperty(void *property)
{
    if (!ZviWritable(property, ZVI_SIZE_PROPERTY)) {
        ZVI_REFUSE("Data address invalid!");
        return;
    }
    Property p{};
    p.width = PROPERTY_DEFAULT_WIDTH;
    p.capJoin = PROPERTY_DEFAULT_CAPJOIN;
    std::memcpy(property, &p, sizeof p);
}

void ZVI_CALL ZVI_InitXProperty(XProperty *xproperty)
{
    if (!ZviWritable(xproperty, ZVI_SIZE_XPROPERTY)) {
        ZVI_REFUSE("Data address invalid!");
        return;
    }
    PutXProperty(xproperty, 0);
}

void ZVI_CALL ZVI_InitFontDef(void *fontDef)
{
    if (!ZviWritable(fontDef, ZVI_SIZE_FONTDEF)) {
        ZVI_REFUSE("Data address invalid!");
        return;
    }
    FontDefaults(fontDef);
}

void ZVI_CALL ZVI_InitDimLine(void *dimLine)
{
    if (!ZviWritable(dimLine, ZVI_SIZE_DIMLINE)) {
        ZVI_REFUSE("Data address invalid!");
        return;
    }
    const int32_t words[4] = {1, 2, 1, 2};
    std::memcpy(dimLine, words, sizeof words);
}

// fromDrawing: the font, sizes, number format and coordinate system of the
// drawing's dimension parameters instead of the program's defaults.
void ZVI_CALL ZVI_InitDimSmall(void *d, int fromDrawing)
{
    if (!ZviWritable(d, ZVI_SIZE_DIMSMALL)) {
        ZVI_REFUSE("Data address invalid!");
        return;
    }
    if (fromDrawing) {
        ZviPutDrawingDimParameters(d, DIM_SMALL_SYSTEM_OFFSET);
    } else {
        DimensionDefaults(d);
        Put<int32_t>(d, DIM_SMALL_SYSTEM_OFFSET, 1);
    }
    Put<int32_t>(d, 164, 1);
    Put<int32_t>(d, 168, 0);
}

void ZVI_CALL ZVI_InitDimLarge(void *d, int fromDrawing)
{
    if (!ZviWritable(d, ZVI_SIZE_DIMLARGE)) {
        ZVI_REFUSE("Data address invalid!");
        return;
    }
    if (fromDrawing) {
        ZviPutDrawingDimParameters(d, DIM_LARGE_SYSTEM_OFFSET);
    } else {
        DimensionDefaults(d);
        Put<int32_t>(d, DIM_LARGE_SYSTEM_OFFSET, 1);
    }
    const int32_t words[] = {1, 1, 1, 0, 1, 2, 1, 2, 1, 1, 1, 0, 0, 2}; // +164 to +216
    for (size_t i = 0; i < sizeof words / sizeof words[0]; ++i)
        Put<int32_t>(d, 164 + 4 * i, words[i]);
    Put(d, 224, 10.0);
    Put(d, 232, 0.0);
}

void ZVI_CALL ZVI_InitTextStandard(void *text, void *reference)
{
    if (text && !ZviWritable(text, ZVI_SIZE_TEXTSTANDARD)) {
        ZVI_REFUSE("Data1 address invalid!");
        return;
    }
    if (reference && !ZviWritable(reference, ZVI_SIZE_TEXTREFERENCE)) {
        ZVI_REFUSE("Data2 address invalid!");
        return;
    }
    if (text) {
        FontDefaults(text);
        PutXProperty(text, RECORD_XPROPERTY_OFFSET);
        Matrix m;
        MatrixInit(&m);
        m.a = m.d = TEXT_DEFAULT_HEIGHT;
        Put(text, 120, m);
        Put(text, 168, 0.0);
        Put(text, 176, 4.0);
        Put(text, 184, 1.0);
        Put<int32_t>(text, 192, 0);
    }
    if (reference) {
        Put<int32_t>(reference, 0, 1);
        Put<int32_t>(reference, 4, 1);
        Put(reference, 8, 0.0);
        Put(reference, 16, 1.0);
    }
}

void ZVI_CALL ZVI_InitTextFrame(void *text)
{
    if (!ZviWritable(text, ZVI_SIZE_TEXTFRAME)) {
        ZVI_REFUSE("Data address invalid!");
        return;
    }
    FontDefaults(text);
    PutXProperty(text, RECORD_XPROPERTY_OFFSET);
    Put(text, 120, TEXT_DEFAULT_HEIGHT);
    Put(text, 128, 0.0);
    Put(text, 136, 4.0);
    Put(text, 144, 1.4);
    Put<int32_t>(text, 152, 0);
}

void ZVI_CALL ZVI_InitCommentData(void *comment)
{
    if (!ZviWritable(comment, ZVI_SIZE_COMMENTDATA)) {
        ZVI_REFUSE("Data address invalid!");
        return;
    }
    const char *name = eDefaultNames[DEFAULT_NAME_COMMENT];
    ZviCopyText(static_cast<char *>(comment), name ? name : "", COMMENT_TEXT_SIZE);
    Put<int32_t>(comment, 64, 1);
    Put<int32_t>(comment, 68, 0);
}

} // extern "C"
