// Inside the metafile module: a bounds-checked view of one metafile record
// and the walkers over whole metafiles in memory. Every read of a field, a
// count or an offset is checked against the record's size in 64-bit
// arithmetic, so no damaged record can lead a reader outside its bytes.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "dialogs/alert.h"
#include "files/meta.h"

struct MetaRecord {
    const uint8_t *bytes = nullptr;
    uint32_t size = 0; // bytes of the record, header included
    uint32_t type = 0; // EMR_* or the META_* function word

    bool Has(uint64_t offset, uint64_t bytesWanted) const { return offset + bytesWanted <= size; }
    // Room for count items of itemSize bytes at offset.
    bool HasArray(uint64_t offset, uint64_t count, uint64_t itemSize) const
    {
        return count <= size && offset + count * itemSize <= size;
    }
    bool U32(uint32_t offset, uint32_t *v) const
    {
        if (!Has(offset, 4))
            return false;
        std::memcpy(v, bytes + offset, 4);
        return true;
    }
    bool I32(uint32_t offset, int32_t *v) const
    {
        uint32_t u;
        if (!U32(offset, &u))
            return false;
        *v = static_cast<int32_t>(u);
        return true;
    }
    bool U16(uint32_t offset, uint16_t *v) const
    {
        if (!Has(offset, 2))
            return false;
        std::memcpy(v, bytes + offset, 2);
        return true;
    }
    bool I16(uint32_t offset, int16_t *v) const
    {
        uint16_t u;
        if (!U16(offset, &u))
            return false;
        *v = static_cast<int16_t>(u);
        return true;
    }
    bool F32(uint32_t offset, float *v) const
    {
        if (!Has(offset, 4))
            return false;
        std::memcpy(v, bytes + offset, 4);
        return true;
    }
    bool Copy(uint32_t offset, void *out, uint32_t n) const
    {
        if (!Has(offset, n))
            return false;
        std::memcpy(out, bytes + offset, n);
        return true;
    }
};

// The facts of an EMF header the import and the export translation use.
struct MetaEmfHeaderInfo {
    RECTL frame;        // 0.01 mm
    uint32_t handles;   // object-table entries
    SIZEL device;       // reference device in pixels
    SIZEL millimetres;  // and in millimetres
};

// Checks the structure of an EMF: a header record, records of at least 8
// bytes in steps of 4 that stay inside the data, ending with EMR_EOF. The
// header's facts go to info. 0 with a diagnostic text when damaged.
int MetaCheckEmfBits(const uint8_t *bytes, size_t size, MetaEmfHeaderInfo *info, const char **problem);
// Calls visit for every record after the header until EMR_EOF (included);
// stops when visit returns 0 and gives 0 then. The bits must have passed
// MetaCheckEmfBits.
template <typename Visit>
int MetaWalkEmf(const uint8_t *bytes, size_t size, Visit visit)
{
    size_t offset = 0;
    while (offset + 8 <= size) {
        MetaRecord r;
        std::memcpy(&r.type, bytes + offset, 4);
        std::memcpy(&r.size, bytes + offset + 4, 4);
        r.bytes = bytes + offset;
        if (offset > 0 && !visit(r))
            return 0;
        if (r.type == EMR_EOF)
            return 1;
        offset += r.size;
    }
    return 1;
}

// A WMF in memory: where its standard header starts, the object count and,
// with the placeable header, its box and units per inch.
struct MetaWmfInfo {
    size_t start;        // 0 or 22
    int placeable;
    int16_t box[4];      // left, top, right, bottom
    uint16_t inch;
    uint32_t objects;
};
// Checks the structure of a WMF: the headers, records of at least 3 words
// inside the data, ending with the end record. 0 with a diagnostic text.
int MetaCheckWmfBits(const uint8_t *bytes, size_t size, MetaWmfInfo *info, const char **problem);
template <typename Visit>
int MetaWalkWmf(const uint8_t *bytes, size_t size, const MetaWmfInfo &info, Visit visit)
{
    size_t offset = info.start + 18;
    while (offset + 6 <= size) {
        uint32_t words;
        uint16_t function;
        std::memcpy(&words, bytes + offset, 4);
        std::memcpy(&function, bytes + offset + 4, 2);
        MetaRecord r;
        r.bytes = bytes + offset;
        r.size = words * 2;
        r.type = function;
        if (function == 0)
            return 1;
        if (!visit(r))
            return 0;
        offset += r.size;
    }
    return 1;
}

// Reads a whole file; 0 when it cannot be opened or read, or exceeds limit.
int MetaReadFileBytes(const char *path, std::vector<uint8_t> *out, size_t limit, const char **problem);

// ---------------------------------------------------------------------------
// What the EMF and the WMF export share (meta_export.cpp).

constexpr int META_TITLE_METAFILE = 16; // eHeadlineText

// The progress text of an export: the file's name, or the plain text.
void MetaExportProgressText(const char *path, char *out, size_t size);
// The output context of a metafile device of the given scale and clip range,
// for the output rectangle already in the context.
void MetaSetMetafileContext(const MetaExtent &e, int32_t clipRange, int32_t margin);
// The printable objects of the mask, with the output rectangle set; when
// there are none the user is told.
int MetaPrintableCount(HWND owner, uint32_t mask);

// The closed metafile of a recording, or 0: when it could not be closed
// (the user is told) or the recording is not done (it is discarded).
template <typename Handle>
Handle MetaFinishRecording(HWND owner, Handle handle, int done, BOOL(WINAPI *discard)(Handle))
{
    if (!handle) {
        AlertNoDialog(owner);
        return nullptr;
    }
    if (!done) {
        discard(handle);
        return nullptr;
    }
    return handle;
}

// The WMF export's enumeration callback and its helpers (meta_export_wmf.cpp).
struct EnumerateRecord;
struct FontDef;
struct Matrix;
int __stdcall MetaDrawPrimitive(EnumerateRecord *record);
// Brush and pen of one record, the previous record's deleted.
void MetaSelectPen(HDC dc, const EnumerateRecord *record);
// A font for one character of the combined character and mapping matrix.
HFONT MetaSelectFont(const FontDef *font, const Matrix &m);
// Selects the null brush and pen and deletes the record's own.
void MetaFreeGdiObjects(HDC dc);

// ---------------------------------------------------------------------------
// The import core that the WMF and the EMF player share (meta_import.cpp).


// A point of an imported object with its point kind.
struct MetaPt {
    double x, y;
    int16_t kind;
};

// The attributes the next stored object gets, from the player's state.
struct MetaAttr {
    COLORREF line;
    int32_t fillMode;
    COLORREF fill;
    double width;     // mm
    bool invisible;   // null pen and null brush: nothing is stored
};

struct MetaImportCore {
    MetaAttr attr{};
    uint32_t maxPoints = 0;  // m: point elements in one object
    bool inPath = false;     // objects go to the path list
    std::vector<std::vector<uint8_t>> pathList;
    uint32_t records = 0;
};
extern MetaImportCore g_MetaCore;

// The mapping of a player's logical units to millimetres, kept by the
// mapping-mode and window records. y always points up in the drawing.
struct MetaMapping {
    uint32_t mode;
    double unitX, unitY;          // mm per mapped logical unit
    double pictureW, pictureH;    // mm
    double extX, extY, orgX, orgY;
    double ratioX, ratioY, lengthRatio;
    double textUnitX, textUnitY;  // mm per unit in MM_TEXT
};
// Sets the mode: the units of the metric and English modes keep y up, the
// others turn it; the isotropic and anisotropic modes map the window extent
// onto the picture.
void MetaSetMapMode(MetaMapping *m, uint32_t mode);
inline double MetaMapX(const MetaMapping &m, double x) { return (x - m.orgX) * m.ratioX * m.unitX; }
inline double MetaMapY(const MetaMapping &m, double y) { return (y - m.orgY) * m.ratioY * m.unitY; }
// Pen widths and font heights.
double MetaMapLength(const MetaMapping &m, double n);
void MetaSetWindowOrg(MetaMapping *m, double x, double y);
void MetaOffsetWindowOrg(MetaMapping *m, double dx, double dy);
void MetaSetWindowExt(MetaMapping *m, double x, double y);
// Nothing when a denominator is 0.
void MetaScaleWindowExt(MetaMapping *m, double xNum, double xDenom, double yNum, double yDenom);
// The centre and the two axis ends of the ellipse inscribed in a box.
void MetaEllipseFrame(const MetaMapping &m, double left, double top, double right, double bottom, MetaPt out[3]);
// The progress window of an import from the file (null: the clipboard).
void MetaImportProgress(const char *path);
// Reports a metafile that cannot be imported: the diagnostic, then the
// alert of the given eAlertTextSM entry.
void MetaImportFailed(HWND owner, int alertEntry, const char *problem);
// The record counter of the progress window.
void MetaImportCountRecord();

// m: the most point elements of one imported object.
uint32_t MetaPointLimit();
// Opens the undo step and the scratch buffer of an import; 0 when the
// scratch buffer is taken.
int MetaImportBegin();
// Finishes (ok) or cancels the import's undo step; on success the new
// objects are moved so that the centre of their extents lies at the origin.
void MetaImportEnd(int ok);
// The unit in Universal1 of the given points; its size, 0 when it does not fit.
uint32_t MetaBuildPoints(int32_t type, const MetaPt *points, size_t n);
// An elliptic arc, sector or segment: centre, two axis ends, the two end
// points and the orientation.
uint32_t MetaBuildArc(int32_t type, const MetaPt &centre, const MetaPt &axis1, const MetaPt &axis2, const MetaPt &start,
                      const MetaPt &end, double orientation);
// A standard text of n characters (at most META_TEXT_MAX).
uint32_t MetaBuildText(const char *text, size_t n, const FontDef &font, const Matrix &matrix, COLORREF colour,
                       int32_t alignment);
// Stores the unit prepared in Universal1 with the core's attributes: into
// the drawing, or into the path list inside a path bracket. 1 also when
// nothing is stored because the object would be invisible.
int MetaStoreObject(int32_t type, uint32_t size);
// Stores points as Curve pieces of at most m points, overlapping by one;
// with close the last piece ends with the first point.
int MetaStorePieces(const MetaPt *points, size_t n, bool close);
// Polygons (or polylines) of the given point counts: polygons of more than
// m points, and polylines, as Curve pieces; polygons as one Surface whose
// figures keep their holes, or one Surface each when they are too many
// points together or filled by the winding rule.
int MetaStorePolyPolygon(std::vector<MetaPt> *points, const std::vector<uint32_t> &counts, bool polygon, bool winding);
// Copies every object of the path list into the drawing with the fill mode.
int MetaFillPathList(int32_t fillMode);
// Text alignment of a TA_* word: 1 centred, 2 right, 0 left.
int32_t MetaTextAlignment(uint32_t align);
// The text matrix of a font of height h (mm) turned by angle (radians),
// shifted from the reference point of the alignment to the baseline.
Matrix MetaTextMatrix(double h, double angle, uint32_t align);
