// What the token writer and reader share: the keyword table, the names of
// the drawing-settings keys, the delimiter defaults, the shared buffers and
// the argument checks.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/init.h"
#include "files/zvi_internal.h"
#include "plugin/zvi_checks.h"

const FileDelimiters g_ZviDefaultDelimiters = {{'\r', '\n', 0, 0}, ',', ';', '/', '\\', '"', '=', '|'};

static const char *const s_Keywords[ZVI_KEYWORD_COUNT] = {
    "EXIT", "END",     "DRAWING", "LIBRARY", "ATTRIB", "PAGE",   "DEFAULT", "SYSTEM",
    "PEN",  "LINE",    "LAYER",   "HATCH",   "BLOCK",  "OBJECT", "COLOR",   "PROFILE",
    "MODULE", "WINDOW", "MULTILINE", "BITMAP", "VARIABLE", "PREVIEW"};

// The keys of the drawing settings in their filed order.
static const char *const s_ProfileKeys[ZVI_PROFILE_KEY_COUNT] = {
    "PropFillColor", "PropLineWidth", "PropLineColor", "DisplaySelection", "DisplayDrawing",
    "DisplayObjects", "DisplayLines", "DisplayFills", "DisplayErasers", "DisplayTexts",
    "DisplayFrames", "DisplayVariables", "DisplayBitmaps", "DisplayBlocks", "DisplayMarks",
    "DisplayGeometry", "DisplayPoints", "DisplayArrows", "DisplayNumbers", "DisplaySelOnly",
    "DisplayPalette", "DisplayTrueType", "DisplayExtern", "DisplayArcs", "DisplayAreas",
    "DisplayDuplicate", "DisplayOrtho", "DisplayDecimal", "DisplayThreshold", "DisplayQuality",
    "ColorLayers", "ColorGeometry", "ColorBlocks", "ColorErasers", "ColorPoints",
    "ColorMarks", "ColorInput", "ColorFlag", "ColorCross", "ColorPageFrame",
    "ColorDrawArea", "ColorColorText", "ColorPopup", "PrintHeader", "PrintFooter",
    "PrintFile", "PrintDraft", "PrintSelOnly", "PrintCentered", "PrintEdges",
    "PrintPages", "PrintOrient", "PrintMode", "PrintScale", "PrintBorder",
    "OutputFrame", "OutputBitmap", "OutputGeometry", "OutputGrid", "OutputMark",
    "OutputTrueType", "OutputIntern", "BitmapColorBits", "BitmapUnit", "BitmapMode",
    "BitmapSize", "BitmapResolution", "BitmapPalette", "MultiLine", "OrthoMode",
    "DimParam", "DimLineArrows", "DimLargeNumbers", "DimLargeArrows", "DimLargeLines",
    "DimLargeTexts", "DimSmallNumbers", "DimSmallTexts", "DimLayoutArrows", "DimLayoutDimMode",
    "DimLayoutLineMode", "DimLayoutEditText", "TextStdFont", "TextStdDistance", "TextStdHeight",
    "TextStdGeometry", "TextStdMode", "TextFrameFont", "TextFrameDistance", "TextFrameHeight",
    "TextFrameMode", "TextRefFont", "TextRefDistance", "TextRefHeight", "TextRefGeometry",
    "TextRefMode", "TextRefArrow", "TextRefFrame", "PosNumFont", "PosNumDistance",
    "PosNumHeight", "PosNumGeometry", "PosNumMode", "PosNumArrow", "PosNumFrame",
    "CommentColor", "CommentSize", "CommentDisplay", "ZigZagIndent"};

const char *ZviKeywordText(int index)
{
    return index >= 0 && index < ZVI_KEYWORD_COUNT ? s_Keywords[index] : nullptr;
}

const char *ZviProfileKeyName(int index)
{
    return index >= 0 && index < ZVI_PROFILE_KEY_COUNT ? s_ProfileKeys[index] : nullptr;
}

// The shared buffers. They come from the heap here; the tracked temporary
// memory of the database takes them over once it exists.
static char *s_StringBuffer = nullptr;
static char *s_TokenBuffer = nullptr;

void *ZviAllocBuffer(uint32_t size)
{
    return std::malloc(size);
}

void ZviFreeBuffer(void *block)
{
    std::free(block);
}

char *ZviStringBuffer()
{
    return s_StringBuffer;
}

char *ZviTokenBuffer()
{
    return s_TokenBuffer;
}

extern "C" int ZVI_InitFileBuffers()
{
    ZviResetWriteDelimiters();
    ZviResetReadDelimiters();
    if (s_StringBuffer && s_TokenBuffer)
        return 1;
    ZviExitFileBuffers();
    s_StringBuffer = static_cast<char *>(ZviAllocBuffer(ZVI_STRING_BUFFER_SIZE));
    s_TokenBuffer = static_cast<char *>(ZviAllocBuffer(ZVI_STRING_BUFFER_SIZE));
    if (!s_StringBuffer || !s_TokenBuffer) {
        ZviExitFileBuffers();
        return 0;
    }
    s_StringBuffer[0] = 0;
    s_TokenBuffer[0] = 0;
    return 1;
}

void ZviExitFileBuffers()
{
    ZviFreeBuffer(s_StringBuffer);
    ZviFreeBuffer(s_TokenBuffer);
    s_StringBuffer = nullptr;
    s_TokenBuffer = nullptr;
}

static void ReportBadAddress(const char *function, const char *argument)
{
    char text[160];
    snprintf(text, sizeof text, "%s()\n\n%s address invalid!", function, argument);
    InitErrorBoxInterface(__FILE_NAME__, __LINE__, text);
}

bool ZviCanRead(const void *p, uint32_t size, const char *function, const char *argument)
{
    // The memory manager is asked; the memory is not touched (see ZviReadable).
    if (ZviReadable(p, size ? size : 1))
        return true;
    ReportBadAddress(function, argument);
    return false;
}

bool ZviCanWrite(void *p, uint32_t size, const char *function, const char *argument)
{
    if (ZviWritable(p, size ? size : 1))
        return true;
    ReportBadAddress(function, argument);
    return false;
}

bool ZviCanReadString(const char *p, const char *function, const char *argument)
{
    constexpr int ANY_LENGTH = INT_MAX - 1;
    const int length = p ? ZviTextLength(p, ANY_LENGTH) : -1;
    if (length >= 0 && length <= ANY_LENGTH)
        return true;
    ReportBadAddress(function, argument);
    return false;
}
