// The definition-table sections of the drawing file and the translation of
// the file's indices into the drawing's when definitions are merged by name.
#include <windows.h>

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

#include "app/init.h"
#include "app/system_defs.h"
#include "files/file_internal.h"
#include "files/file_onesection.h"
#include "files/file_records.h"
#include "files/zvi.h"
#include "files/zvi_internal.h"
#include "language/language.h"

DrawingView g_DrawingViews[FILE_VIEW_COUNT];

namespace {

constexpr int DEF_FIRST = 1; // slot 0 of a table is fixed and never filed

bool Replacing(uint32_t sections)
{
    return (sections & FILE_MODE_REPLACE) != 0;
}

// Where a definition read from the file goes: a slot holding the same name
// takes its references and nothing is stored (with replaceNamed the slot
// takes the definition); else its own index when that slot is free, else the
// first free slot. Without room it is dropped and its references go to
// slot 0. The file index is translated to the answer.
template <class Def>
int PlaceDefinition(Def *table, int slots, const Def &def, int fileIndex, int32_t *map, bool replaceNamed = false)
{
    for (int i = DEF_FIRST; i < slots; ++i)
        if (table[i].name[0] && lstrcmpA(table[i].name, def.name) == 0) {
            map[fileIndex] = i;
            if (replaceNamed)
                table[i] = def;
            return i;
        }
    int slot = 0;
    if (!table[fileIndex].name[0]) {
        slot = fileIndex;
    } else {
        for (int i = DEF_FIRST; i < slots && !slot; ++i)
            if (!table[i].name[0])
                slot = i;
    }
    map[fileIndex] = slot;
    if (slot)
        table[slot] = def;
    return slot;
}

template <class Def>
void FreeSlots(Def *table, int first, int slots)
{
    for (int i = first; i < slots; ++i)
        table[i].name[0] = 0;
}

template <class Def>
int CountInUse(const Def *table, int first, int slots)
{
    int n = 0;
    for (int i = first; i < slots; ++i)
        if (table[i].name[0])
            ++n;
    return n;
}

// The header of a table section: the count within 0 to the capacity.
bool ReadCount(int32_t *count, int capacity, const char *name)
{
    if (!ZviReadInt(count)) {
        FileReport("Error in %s header", name);
        return false;
    }
    if (*count < 0 || *count > capacity) {
        FileReport("Invalid %s number\n( %ld )", name, long(*count));
        return false;
    }
    return true;
}

bool ReadIndex(int32_t *index, int slots, const char *name)
{
    if (!ZviReadCommaInt(index)) {
        FileReport("Error in %s definition", name);
        return false;
    }
    if (*index < DEF_FIRST || *index >= slots) {
        FileReport("Invalid %s index\n( %ld )", name, long(*index));
        return false;
    }
    return true;
}

bool EndRecord(const char *name)
{
    if (!ZVI_FileReadSemi()) {
        FileReport("Error in %s definition", name);
        return false;
    }
    return true;
}

// An index read from the file that names a free slot or lies outside the
// table becomes 0.
int32_t WithinTable(int32_t index, int slots, bool inUse)
{
    return index >= 0 && index < slots && inUse ? index : 0;
}

// ---------------------------------------------------------------------------
// The fields of a definition record, in file order: one table serves the
// writer and the reader, so the two cannot drift apart. A break makes the
// writer end the line after a separator; the reader needs nothing there.

enum FieldKind : uint8_t {
    FIELD_INT,       // 4 bytes
    FIELD_BOOL,      // 4 bytes, written and read as 0 or 1
    FIELD_DOUBLE,
    FIELD_DOUBLES,   // an array of doubles, one field each
    FIELD_TEXT,      // size: the room of the text, terminator included
    FIELD_COLOR,
    FIELD_PROPERTY,  // translated through the merge tables on reading
    FIELD_XPROPERTY, // likewise
    FIELD_FORMATS,   // two 16-bit words filed as one Int, the first low
    FIELD_BREAK,
};

struct Field {
    FieldKind kind;
    uint16_t offset;
    uint16_t size;
};

#define FIELD(kind, Record, member) Field{kind, uint16_t(offsetof(Record, member)), uint16_t(sizeof(Record::member))}
#define FIELD_SIZED(kind, Record, member, size) Field{kind, uint16_t(offsetof(Record, member)), uint16_t(size)}
constexpr Field LINE_BREAK{FIELD_BREAK, 0, 0};

// Writes the fields, each after a separator unless it begins the record
// (first) or a line. The record's terminator is the caller's.
template <size_t N>
void WriteFields(const void *record, const Field (&fields)[N], bool first)
{
    const char *base = static_cast<const char *>(record);
    for (const Field &f : fields) {
        const char *p = base + f.offset;
        if (f.kind == FIELD_BREAK) {
            ZVI_FileWriteComma();
            ZVI_FileWriteNewline();
            first = true;
            continue;
        }
        int32_t word = 0;
        switch (f.kind) {
        case FIELD_INT:
        case FIELD_BOOL:
            std::memcpy(&word, p, sizeof word);
            if (!first)
                ZVI_FileWriteComma();
            f.kind == FIELD_BOOL ? ZVI_FileWriteBool(word != 0) : ZVI_FileWriteInt(word);
            break;
        case FIELD_DOUBLE:
        case FIELD_DOUBLES:
            for (size_t k = 0; k < f.size / sizeof(double); ++k) {
                double v;
                std::memcpy(&v, p + k * sizeof v, sizeof v);
                if (!first || k)
                    ZVI_FileWriteComma();
                ZVI_FileWriteDouble(v);
            }
            break;
        case FIELD_TEXT: {
            // Never longer than the reader takes back.
            const std::string text(p, strnlen(p, size_t(f.size) - 1));
            if (!first)
                ZVI_FileWriteComma();
            ZVI_FileWriteString(text.c_str());
            break;
        }
        case FIELD_COLOR: {
            COLORREF c;
            std::memcpy(&c, p, sizeof c);
            if (!first)
                ZVI_FileWriteComma();
            ZVI_FileWriteColorref(c);
            break;
        }
        case FIELD_PROPERTY:
            if (!first)
                ZVI_FileWriteComma();
            ZVI_FileWriteProperty(reinterpret_cast<const Property *>(p));
            break;
        case FIELD_XPROPERTY:
            if (!first)
                ZVI_FileWriteComma();
            ZVI_FileWriteXProperty(reinterpret_cast<const XProperty *>(p));
            break;
        case FIELD_FORMATS: {
            uint16_t w[2];
            std::memcpy(w, p, sizeof w);
            if (!first)
                ZVI_FileWriteComma();
            ZVI_FileWriteInt(int32_t(uint32_t(w[0]) | (uint32_t(w[1]) << 16)));
            break;
        }
        case FIELD_BREAK: break;
        }
        first = false;
    }
}

// Reads the fields into the record; the separator before each but the first
// of the record is checked. 1, or 0 on the first that fails.
template <size_t N>
int ReadFields(void *record, const Field (&fields)[N], bool first)
{
    char *base = static_cast<char *>(record);
    for (const Field &f : fields) {
        char *p = base + f.offset;
        if (f.kind == FIELD_BREAK)
            continue;
        if (!first && !ZVI_FileReadComma())
            return 0;
        first = false;
        switch (f.kind) {
        case FIELD_INT:
        case FIELD_BOOL:
        case FIELD_FORMATS: {
            int32_t word = 0;
            int flag = 0;
            if (f.kind == FIELD_BOOL ? !ZviReadBool(&flag) : !ZviReadInt(&word))
                return 0;
            if (f.kind == FIELD_BOOL)
                word = flag;
            std::memcpy(p, &word, sizeof word);
            break;
        }
        case FIELD_DOUBLE:
        case FIELD_DOUBLES:
            for (size_t k = 0; k < f.size / sizeof(double); ++k) {
                double v = 0;
                if ((k && !ZVI_FileReadComma()) || !ZviReadDouble(&v))
                    return 0;
                std::memcpy(p + k * sizeof v, &v, sizeof v);
            }
            break;
        case FIELD_TEXT:
            if (!ZviReadString(p, f.size))
                return 0;
            break;
        case FIELD_COLOR: {
            COLORREF c = 0;
            if (!ZviReadColorref(&c))
                return 0;
            std::memcpy(p, &c, sizeof c);
            break;
        }
        case FIELD_PROPERTY:
            if (!ZVI_FileReadProperty(reinterpret_cast<Property *>(p)) ||
                !FileMapProperty(reinterpret_cast<Property *>(p)))
                return 0;
            break;
        case FIELD_XPROPERTY:
            if (!ZVI_FileReadXProperty(reinterpret_cast<XProperty *>(p)) ||
                !FileMapXProperty(reinterpret_cast<XProperty *>(p)))
                return 0;
            break;
        case FIELD_BREAK: break;
        }
    }
    return 1;
}

// The records of the definition sections. A definition record begins with
// its name and its slot index, which the section code writes and reads; the
// fields after them follow here.
const Field PAGE_FIELDS[] = {
    FIELD(FIELD_INT, PageDef, format),   FIELD(FIELD_INT, PageDef, orientation), FIELD(FIELD_INT, PageDef, anchor),
    FIELD(FIELD_DOUBLE, PageDef, refX),  FIELD(FIELD_DOUBLE, PageDef, refY),      FIELD(FIELD_DOUBLE, PageDef, width),
    FIELD(FIELD_DOUBLE, PageDef, height),
};
const Field COLOR_FIELDS[] = {FIELD(FIELD_TEXT, ColorDef, name), FIELD(FIELD_COLOR, ColorDef, color)};
const Field HATCH_FAMILY_FIELDS[] = {
    FIELD(FIELD_BOOL, HatchFamily, on), FIELD(FIELD_INT, HatchFamily, multiLine), FIELD(FIELD_DOUBLE, HatchFamily, angle)};
const Field HATCH_BLOCK_FIELDS[] = {
    FIELD(FIELD_BOOL, HatchDef, blockOn),        FIELD(FIELD_TEXT, HatchDef, blockLibrary),
    FIELD(FIELD_TEXT, HatchDef, blockName),      LINE_BREAK,
    FIELD(FIELD_DOUBLES, HatchDef, placement),
};
const Field HATCH_PHASE_FIELDS[] = {
    FIELD(FIELD_DOUBLE, HatchDef, baseAngle), FIELD(FIELD_DOUBLE, HatchDef, phaseA), FIELD(FIELD_DOUBLE, HatchDef, phaseB)};
const Field MULTILINE_LINE_FIELDS[] = {FIELD(FIELD_BOOL, MultiLineLine, on), FIELD(FIELD_DOUBLE, MultiLineLine, offset),
                                       FIELD(FIELD_XPROPERTY, MultiLineLine, property)};
// The angle is filed twice; the reader keeps the second.
const Field SYSTEM_FIELDS[] = {
    LINE_BREAK,
    FIELD(FIELD_DOUBLE, SystemDef, angle),        FIELD(FIELD_DOUBLE, SystemDef, angle),
    FIELD(FIELD_DOUBLE, SystemDef, scale),        FIELD(FIELD_INT, SystemDef, axisMode),
    FIELD(FIELD_INT, SystemDef, anchor),          FIELD(FIELD_DOUBLE, SystemDef, originX),
    FIELD(FIELD_DOUBLE, SystemDef, originY),      FIELD(FIELD_INT, SystemDef, lengthUnit),
    FIELD(FIELD_INT, SystemDef, widthUnit),       FIELD(FIELD_INT, SystemDef, angleUnit),
    FIELD_SIZED(FIELD_FORMATS, SystemDef, format1, 4),
    FIELD(FIELD_INT, SystemDef, decimals),        FIELD(FIELD_INT, SystemDef, displayGridKind),
    FIELD(FIELD_DOUBLE, SystemDef, displayGridX), FIELD(FIELD_DOUBLE, SystemDef, displayGridY),
    FIELD(FIELD_INT, SystemDef, catchGridKind),   FIELD(FIELD_DOUBLE, SystemDef, catchGridX),
    FIELD(FIELD_DOUBLE, SystemDef, catchGridY),
};
const Field PEN_FIELDS[] = {LINE_BREAK, FIELD(FIELD_PROPERTY, PenDef, setA), LINE_BREAK,
                            FIELD(FIELD_PROPERTY, PenDef, setB)};
const Field LINE_FIELDS[] = {LINE_BREAK, FIELD(FIELD_INT, LineDef, pairs), FIELD(FIELD_INT, LineDef, kind)};
const Field LAYER_FIELDS[] = {LINE_BREAK, FIELD(FIELD_XPROPERTY, LayerDef, setA), LINE_BREAK,
                              FIELD(FIELD_XPROPERTY, LayerDef, setB), FIELD(FIELD_INT, LayerDef, state)};
// The file admits values shorter than the editors' limit only.
const Field VARIABLE_FIELDS[] = {FIELD(FIELD_TEXT, VariableDef, name),
                                 FIELD_SIZED(FIELD_TEXT, VariableDef, value, VARIABLE_VALUE_EDIT)};
const Field WINDOW_FIELDS[] = {
    FIELD(FIELD_INT, DrawingView, system),  FIELD(FIELD_BOOL, DrawingView, displayGrid),
    FIELD(FIELD_BOOL, DrawingView, catchGrid), FIELD(FIELD_DOUBLE, DrawingView, centerX),
    FIELD(FIELD_DOUBLE, DrawingView, centerY), FIELD(FIELD_DOUBLE, DrawingView, zoom),
};
#undef FIELD
#undef FIELD_SIZED

// A definition record's head: its name and its slot index.
void WriteNamed(const char *name, int index)
{
    ZVI_FileWriteString(name);
    ZVI_FileWriteCommaInt(index);
}

void ShowRead()
{
    FileShowReadProgress(FileProgressText(FILE_PROGRESS_SECTIONS), 0);
}

void ShowWrite()
{
    FileShowWriteProgress(FileProgressText(FILE_PROGRESS_SECTIONS), 0);
}

} // namespace

// ---------------------------------------------------------------------------
// Shared helpers

int FileSectionWanted(uint32_t sections, uint32_t bit)
{
    if (!(sections & bit)) {
        g_FileSkippedSection = 1;
        return 0;
    }
    g_FileSectionsRead |= bit;
    return 1;
}

void FileReport(const char *format, ...)
{
    char text[300];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    InitErrorBox(__FILE_NAME__, __LINE__, text);
}

int FileWriteSectionEnd(const char *name)
{
    ZVI_FileWriteKeyword(KEY_END);
    if (ZVI_FileWriteError()) {
        FileReport("Cannot write section =%s=", name);
        return 0;
    }
    return 1;
}

int FileFailSection(const char *name)
{
    FileReport("Error in section =%s=", name);
    return 0;
}

int FileReadOptionalInt(int32_t *value, int32_t fallback)
{
    if (!ZVI_FileReadContinue()) {
        *value = fallback;
        return ZVI_FileReadError() ? 0 : 1;
    }
    return ZviReadCommaInt(value);
}

const char *FileProgressText(int entry)
{
    return eDialogText[entry];
}

void FileInitDrawingViews()
{
    for (DrawingView &v : g_DrawingViews)
        v = DrawingView{0, 0, 0, 0.0, 0.0, 1.0};
}

// ---------------------------------------------------------------------------
// PAGE

int FileWriteSectionPage(uint32_t sections)
{
    if (!(sections & FILE_SECTION_PAGE))
        return 1;
    ShowWrite();
    const PageTable &t = g_PageDefs;
    const int count = t.count < 0 ? 0 : (t.count > PAGE_SLOTS ? PAGE_SLOTS : t.count);
    ZVI_FileWriteKeyword(KEY_PAGE);
    ZVI_FileWriteInt(count);
    ZVI_FileWriteCommaInt(t.active);
    ZVI_FileWriteSemi();
    for (int i = 0; i < count; ++i) {
        WriteFields(&t.pages[i], PAGE_FIELDS, true);
        ZVI_FileWriteSemi();
    }
    return FileWriteSectionEnd("PAGE");
}

int FileReadSectionPage(uint32_t sections)
{
    if (!FileSectionWanted(sections, FILE_SECTION_PAGE))
        return 1;
    ShowRead();
    PageTable &t = g_PageDefs;
    if (g_FileVersion < FILE_VERSION_460) {
        // One page only: format, orientation, width, height.
        PageDef p{};
        if (!ZviReadInt(&p.format) || !ZviReadCommaInt(&p.orientation) ||
            !ZviReadCommaDouble(&p.width) || !ZviReadCommaDouble(&p.height) || !ZVI_FileReadSemi())
            return FileFailSection("PAGE");
        p.anchor = SYSTEM_ANCHOR_ZERO;
        t.pages[0] = p;
        t.count = 1;
        t.active = 0;
        return 1;
    }
    int32_t count = 0, active = 0;
    if (!ReadCount(&count, PAGE_SLOTS, "PAGE") || !FileReadOptionalInt(&active, 0) || !ZVI_FileReadSemi())
        return FileFailSection("PAGE");
    PageDef pages[PAGE_SLOTS];
    for (int i = 0; i < count; ++i) {
        PageDef p{};
        if (!ReadFields(&p, PAGE_FIELDS, true) || !ZVI_FileReadSemi())
            return FileFailSection("PAGE");
        pages[i] = p;
    }
    if (count == 0)
        return 1; // a drawing always keeps at least one page
    std::memcpy(t.pages, pages, sizeof(PageDef) * size_t(count));
    t.count = count;
    t.active = active >= 0 && active < count ? active : 0;
    return 1;
}

// ---------------------------------------------------------------------------
// COLOR

int FileWriteSectionColor(uint32_t sections)
{
    if (!(sections & FILE_SECTION_COLOR))
        return 1;
    ShowWrite();
    ZVI_FileWriteKeyword(KEY_COLOR);
    ZVI_FileWriteInt(CountInUse(g_ColorDefs, STANDARD_COLORS, COLOR_SLOTS));
    ZVI_FileWriteSemi();
    for (int i = STANDARD_COLORS; i < COLOR_SLOTS; ++i)
        if (g_ColorDefs[i].name[0]) {
            WriteFields(&g_ColorDefs[i], COLOR_FIELDS, true);
            ZVI_FileWriteSemi();
        }
    return FileWriteSectionEnd("COLOR");
}

int FileReadSectionColor(uint32_t sections)
{
    if (!FileSectionWanted(sections, FILE_SECTION_COLOR))
        return 1;
    ShowRead();
    if (Replacing(sections))
        FreeSlots(g_ColorDefs, STANDARD_COLORS, COLOR_SLOTS);
    int32_t count = 0;
    if (!ReadCount(&count, COLOR_SLOTS - STANDARD_COLORS, "COLOR") || !ZVI_FileReadSemi())
        return FileFailSection("COLOR");
    for (int n = 0; n < count; ++n) {
        ColorDef c{};
        if (!ReadFields(&c, COLOR_FIELDS, true) || !EndRecord("COLOR"))
            return FileFailSection("COLOR");
        for (int i = STANDARD_COLORS; i < COLOR_SLOTS; ++i)
            if (!g_ColorDefs[i].name[0]) {
                g_ColorDefs[i] = c;
                break;
            }
    }
    return 1;
}

// ---------------------------------------------------------------------------
// HATCH

int FileWriteSectionHatch(uint32_t sections)
{
    if (!(sections & FILE_SECTION_HATCH))
        return 1;
    ShowWrite();
    ZVI_FileWriteKeyword(KEY_HATCH);
    ZVI_FileWriteInt(CountInUse(g_HatchDefs, DEF_FIRST, HATCH_SLOTS));
    ZVI_FileWriteCommaInt(g_CurrentHatch);
    ZVI_FileWriteSemi();
    for (int i = DEF_FIRST; i < HATCH_SLOTS; ++i) {
        const HatchDef &h = g_HatchDefs[i];
        if (!h.name[0])
            continue;
        WriteNamed(h.name, i);
        ZVI_FileWriteSemi();
        for (const HatchFamily *f : {&h.family1, &h.family2}) {
            WriteFields(f, HATCH_FAMILY_FIELDS, true);
            ZVI_FileWriteSemi();
        }
        WriteFields(&h, HATCH_BLOCK_FIELDS, true);
        ZVI_FileWriteSemi();
        WriteFields(&h, HATCH_PHASE_FIELDS, true);
        ZVI_FileWriteSemi();
    }
    return FileWriteSectionEnd("HATCH");
}

static bool ReadHatchFamily(HatchFamily *f)
{
    if (!ReadFields(f, HATCH_FAMILY_FIELDS, true) || !EndRecord("HATCH"))
        return false;
    if (f->multiLine < 0 || f->multiLine >= MULTILINE_SLOTS) {
        FileReport("Invalid HATCH multiline\n( %ld )", long(f->multiLine));
        return false;
    }
    return true;
}

int FileReadSectionHatch(uint32_t sections)
{
    if (!FileSectionWanted(sections, FILE_SECTION_HATCH))
        return 1;
    ShowRead();
    g_HatchSortIndex[HATCH_SLOTS - 1] = -1; // rebuild the sorted index
    if (Replacing(sections))
        FreeSlots(g_HatchDefs, DEF_FIRST, HATCH_SLOTS);
    int32_t count = 0, current = 0;
    if (!ReadCount(&count, HATCH_SLOTS - 1, "HATCH") || !FileReadOptionalInt(&current, 0) || !ZVI_FileReadSemi())
        return FileFailSection("HATCH");
    for (int n = 0; n < count; ++n) {
        HatchDef h{};
        int32_t index = 0;
        if (!ZviReadString(h.name, sizeof h.name) || !ReadIndex(&index, HATCH_SLOTS, "HATCH") ||
            !EndRecord("HATCH") || !ReadHatchFamily(&h.family1) || !ReadHatchFamily(&h.family2) ||
            !ReadFields(&h, HATCH_BLOCK_FIELDS, true) || !EndRecord("HATCH") ||
            !ReadFields(&h, HATCH_PHASE_FIELDS, true) || !EndRecord("HATCH") || !h.name[0])
            return FileFailSection("HATCH");
        PlaceDefinition(g_HatchDefs, HATCH_SLOTS, h, index, g_FileMaps.hatch);
    }
    g_CurrentHatch = WithinTable(current, HATCH_SLOTS, current >= 0 && current < HATCH_SLOTS && g_HatchDefs[current].name[0]);
    return 1;
}

// ---------------------------------------------------------------------------
// MULTILINE

int FileWriteSectionMultiLine(uint32_t sections)
{
    if (!(sections & FILE_SECTION_MULTILINE))
        return 1;
    ShowWrite();
    ZVI_FileWriteKeyword(KEY_MULTILINE);
    ZVI_FileWriteInt(CountInUse(g_MultiLineDefs, DEF_FIRST, MULTILINE_SLOTS));
    ZVI_FileWriteSemi();
    for (int i = DEF_FIRST; i < MULTILINE_SLOTS; ++i) {
        const MultiLineDef &m = g_MultiLineDefs[i];
        if (!m.name[0])
            continue;
        WriteNamed(m.name, i);
        ZVI_FileWriteSemi();
        for (const MultiLineLine &l : m.lines) {
            WriteFields(&l, MULTILINE_LINE_FIELDS, true);
            ZVI_FileWriteSemi();
        }
    }
    return FileWriteSectionEnd("MULTILINE");
}

int FileReadSectionMultiLine(uint32_t sections)
{
    if (!FileSectionWanted(sections, FILE_SECTION_MULTILINE))
        return 1;
    ShowRead();
    if (Replacing(sections))
        FreeSlots(g_MultiLineDefs, DEF_FIRST, MULTILINE_SLOTS);
    int32_t count = 0;
    if (!ReadCount(&count, MULTILINE_SLOTS - 1, "MULTILINE") || !ZVI_FileReadSemi())
        return FileFailSection("MULTILINE");
    for (int n = 0; n < count; ++n) {
        MultiLineDef m{};
        int32_t index = 0;
        if (!ZviReadString(m.name, sizeof m.name) || !ReadIndex(&index, MULTILINE_SLOTS, "MULTILINE") ||
            !EndRecord("MULTILINE") || !m.name[0])
            return FileFailSection("MULTILINE");
        for (MultiLineLine &l : m.lines)
            if (!ReadFields(&l, MULTILINE_LINE_FIELDS, true) || !EndRecord("MULTILINE"))
                return FileFailSection("MULTILINE");
        PlaceDefinition(g_MultiLineDefs, MULTILINE_SLOTS, m, index, g_FileMaps.multiLine);
    }
    return 1;
}

// ---------------------------------------------------------------------------
// SYSTEM

int FileWriteSectionSystem(uint32_t sections)
{
    if (!(sections & FILE_SECTION_SYSTEM))
        return 1;
    ShowWrite();
    ZVI_FileWriteKeyword(KEY_SYSTEM);
    ZVI_FileWriteInt(CountInUse(g_SystemDefs, DEF_FIRST, SYSTEM_SLOTS));
    ZVI_FileWriteSemi();
    for (int i = DEF_FIRST; i < SYSTEM_SLOTS; ++i) {
        const SystemDef &s = g_SystemDefs[i];
        if (!s.name[0])
            continue;
        WriteNamed(s.name, i);
        WriteFields(&s, SYSTEM_FIELDS, false);
        ZVI_FileWriteSemi();
    }
    return FileWriteSectionEnd("SYSTEM");
}

int FileReadSectionSystem(uint32_t sections)
{
    if (!FileSectionWanted(sections, FILE_SECTION_SYSTEM))
        return 1;
    ShowRead();
    if (Replacing(sections))
        FreeSlots(g_SystemDefs, DEF_FIRST, SYSTEM_SLOTS);
    int32_t count = 0;
    if (!ReadCount(&count, SYSTEM_SLOTS - 1, "SYSTEM") || !ZVI_FileReadSemi())
        return FileFailSection("SYSTEM");
    for (int n = 0; n < count; ++n) {
        SystemDef s{};
        int32_t index = 0;
        if (!ZviReadString(s.name, sizeof s.name) || !ReadIndex(&index, SYSTEM_SLOTS, "SYSTEM") ||
            !ReadFields(&s, SYSTEM_FIELDS, false) || !EndRecord("SYSTEM") || !s.name[0])
            return FileFailSection("SYSTEM");
        PlaceDefinition(g_SystemDefs, SYSTEM_SLOTS, s, index, g_FileMaps.system);
    }
    return 1;
}

// ---------------------------------------------------------------------------
// PEN

int FileWritePens(const PenDef *table, uint32_t link, int32_t active)
{
    ShowWrite();
    ZVI_FileWriteKeyword(KEY_PEN);
    ZVI_FileWriteInt(CountInUse(table, DEF_FIRST, PEN_SLOTS));
    ZVI_FileWriteCommaBool(link);
    ZVI_FileWriteCommaInt(active);
    ZVI_FileWriteSemi();
    ZVI_FileWriteProperty(&table[0].setB);
    ZVI_FileWriteSemi();
    for (int i = DEF_FIRST; i < PEN_SLOTS; ++i) {
        const PenDef &p = table[i];
        if (!p.name[0])
            continue;
        WriteNamed(p.name, i);
        WriteFields(&p, PEN_FIELDS, false);
        // The layer and the state are optional for the reader, the state
        // since version 4.60.
        ZVI_FileWriteComma();
        ZVI_FileWriteNewline();
        ZVI_FileWriteInt(p.layer);
        ZVI_FileWriteCommaInt(int32_t(p.state));
        ZVI_FileWriteSemi();
    }
    return FileWriteSectionEnd("PEN");
}

int FileWriteSectionPen(uint32_t sections)
{
    if (!(sections & FILE_SECTION_PEN))
        return 1;
    return FileWritePens(g_PenDefs, g_PenLink, g_ActivePen);
}

namespace {

// The header of a PEN section: count, link switch, active pen (optional)
// and pen 0's property.
bool ReadPenHeader(int32_t *count, int *linked, int32_t *active, Property *pen0)
{
    return ReadCount(count, PEN_SLOTS - 1, "PEN") && ZviReadCommaBool(linked) &&
           FileReadOptionalInt(active, 0) && ZVI_FileReadSemi() && ZVI_FileReadProperty(pen0) &&
           FileMapProperty(pen0) && EndRecord("PEN");
}

// One pen record, its layer range-checked; the link switch applied.
bool ReadPenRecord(PenDef *p, int32_t *index, bool linked)
{
    *p = PenDef{};
    int32_t state = int32_t(DEF_STATE_DEFAULT);
    if (!ZviReadString(p->name, sizeof p->name) || !ReadIndex(index, PEN_SLOTS, "PEN") ||
        !ReadFields(p, PEN_FIELDS, false))
        return false;
    p->layer = PEN_NO_LAYER;
    if (ZVI_FileReadContinue() && !ZviReadCommaInt(&p->layer))
        return false;
    if (g_FileVersion >= FILE_VERSION_460 && ZVI_FileReadContinue() && !ZviReadCommaInt(&state))
        return false;
    if (!EndRecord("PEN") || !p->name[0])
        return false;
    if (p->layer < PEN_NO_LAYER || p->layer >= LAYER_SLOTS) {
        FileReport("Invalid PEN layer\n( %ld )", long(p->layer));
        return false;
    }
    p->state = uint32_t(state);
    if (linked)
        p->setA = p->setB;
    return true;
}

} // namespace

int FileReadSectionPen(uint32_t sections)
{
    if (!FileSectionWanted(sections, FILE_SECTION_PEN))
        return 1;
    ShowRead();
    g_PenSortIndex[PEN_SLOTS - 1] = -1;
    const bool replace = Replacing(sections);
    if (replace) {
        FreeSlots(g_PenDefs, DEF_FIRST, PEN_SLOTS);
        g_PenListDirty = 1;
    }
    int32_t count = 0, active = 0;
    int linked = 0;
    Property pen0{};
    if (!ReadPenHeader(&count, &linked, &active, &pen0))
        return FileFailSection("PEN");
    if (replace) {
        g_PenLink = uint32_t(linked);
        g_PenDefs[0].setA = pen0;
        g_PenDefs[0].setB = pen0;
    }
    for (int n = 0; n < count; ++n) {
        PenDef p;
        int32_t index = 0;
        if (!ReadPenRecord(&p, &index, g_PenLink != 0))
            return FileFailSection("PEN");
        PlaceDefinition(g_PenDefs, PEN_SLOTS, p, index, g_FileMaps.pen);
        g_PenListDirty = 1;
    }
    g_ActivePen = WithinTable(active, PEN_SLOTS, PenIsDefined(active) || active == 0);
    return 1;
}

int FileReadPens(PenDef *table, uint32_t *linkOut, int32_t *activeOut)
{
    ShowRead();
    int32_t count = 0, active = 0;
    int linked = 0;
    Property pen0{};
    if (!ReadPenHeader(&count, &linked, &active, &pen0))
        return FileFailSection("PEN");
    table[0].setA = pen0;
    table[0].setB = pen0;
    for (int n = 0; n < count; ++n) {
        PenDef p;
        int32_t index = 0;
        if (!ReadPenRecord(&p, &index, linked != 0))
            return FileFailSection("PEN");
        PlaceDefinition(table, PEN_SLOTS, p, index, g_FileMaps.pen, true);
    }
    *linkOut = uint32_t(linked);
    *activeOut = active;
    return 1;
}

// ---------------------------------------------------------------------------
// LINE

int FileWriteSectionLine(uint32_t sections)
{
    if (!(sections & FILE_SECTION_LINE))
        return 1;
    ShowWrite();
    ZVI_FileWriteKeyword(KEY_LINE);
    ZVI_FileWriteInt(CountInUse(g_LineDefs, DEF_FIRST, LINE_SLOTS));
    ZVI_FileWriteSemi();
    for (int i = DEF_FIRST; i < LINE_SLOTS; ++i) {
        const LineDef &l = g_LineDefs[i];
        if (!l.name[0])
            continue;
        const int pairs = l.pairs < 0 ? 0 : (l.pairs > LINE_MAX_PAIRS ? LINE_MAX_PAIRS : l.pairs);
        LineDef filed = l;
        filed.pairs = pairs;
        WriteNamed(l.name, i);
        WriteFields(&filed, LINE_FIELDS, false);
        for (int k = 0; k < 2 * pairs; ++k)
            ZVI_FileWriteCommaInt(l.lengths[k]);
        ZVI_FileWriteSemi();
    }
    return FileWriteSectionEnd("LINE");
}

int FileReadSectionLine(uint32_t sections)
{
    if (!FileSectionWanted(sections, FILE_SECTION_LINE))
        return 1;
    ShowRead();
    if (Replacing(sections))
        FreeSlots(g_LineDefs, DEF_FIRST, LINE_SLOTS);
    int32_t count = 0;
    if (!ReadCount(&count, LINE_SLOTS - 1, "LINE") || !ZVI_FileReadSemi())
        return FileFailSection("LINE");
    for (int n = 0; n < count; ++n) {
        LineDef l{};
        int32_t index = 0;
        if (!ZviReadString(l.name, sizeof l.name) || !ReadIndex(&index, LINE_SLOTS, "LINE") ||
            !ReadFields(&l, LINE_FIELDS, false))
            return FileFailSection("LINE");
        // A line type holds at most eight pairs: more would be stored past the record.
        if (l.pairs < 0 || l.pairs > LINE_MAX_PAIRS) {
            FileReport("Invalid LINE pairs\n( %ld )", long(l.pairs));
            return FileFailSection("LINE");
        }
        for (int k = 0; k < 2 * l.pairs; ++k)
            if (!ZviReadCommaInt(&l.lengths[k]))
                return FileFailSection("LINE");
        if (!EndRecord("LINE") || !l.name[0])
            return FileFailSection("LINE");
        PlaceDefinition(g_LineDefs, LINE_SLOTS, l, index, g_FileMaps.line);
    }
    return 1;
}

// ---------------------------------------------------------------------------
// LAYER

int FileWriteLayers(const LayerDef *table, uint32_t link, int32_t active)
{
    ShowWrite();
    ZVI_FileWriteKeyword(KEY_LAYER);
    ZVI_FileWriteInt(CountInUse(table, DEF_FIRST, LAYER_SLOTS));
    ZVI_FileWriteCommaBool(link);
    ZVI_FileWriteCommaInt(active);
    ZVI_FileWriteSemi();
    for (int i = DEF_FIRST; i < LAYER_SLOTS; ++i) {
        const LayerDef &l = table[i];
        if (!l.name[0])
            continue;
        WriteNamed(l.name, i);
        WriteFields(&l, LAYER_FIELDS, false);
        ZVI_FileWriteSemi();
    }
    return FileWriteSectionEnd("LAYER");
}

int FileWriteSectionLayer(uint32_t sections)
{
    if (!(sections & FILE_SECTION_LAYER))
        return 1;
    return FileWriteLayers(g_LayerDefs, g_LayerLink, g_ActiveLayer);
}

namespace {

bool ReadLayerHeader(int32_t *count, int *linked, int32_t *active)
{
    return ReadCount(count, LAYER_SLOTS - 1, "LAYER") && ZviReadCommaBool(linked) &&
           FileReadOptionalInt(active, 0) && ZVI_FileReadSemi();
}

bool ReadLayerRecord(LayerDef *l, int32_t *index, bool linked)
{
    *l = LayerDef{};
    if (!ZviReadString(l->name, sizeof l->name) || !ReadIndex(index, LAYER_SLOTS, "LAYER") ||
        !ReadFields(l, LAYER_FIELDS, false) || !EndRecord("LAYER") || !l->name[0])
        return false;
    if (linked)
        l->setA = l->setB;
    return true;
}

} // namespace

int FileReadSectionLayer(uint32_t sections)
{
    if (!FileSectionWanted(sections, FILE_SECTION_LAYER))
        return 1;
    ShowRead();
    g_LayerSortIndex[LAYER_SLOTS - 1] = -1;
    const bool replace = Replacing(sections);
    if (replace) {
        FreeSlots(g_LayerDefs, DEF_FIRST, LAYER_SLOTS);
        g_LayerListDirty = 1;
    }
    int32_t count = 0, active = 0;
    int linked = 0;
    if (!ReadLayerHeader(&count, &linked, &active))
        return FileFailSection("LAYER");
    if (replace)
        g_LayerLink = uint32_t(linked);
    for (int n = 0; n < count; ++n) {
        LayerDef l;
        int32_t index = 0;
        if (!ReadLayerRecord(&l, &index, g_LayerLink != 0))
            return FileFailSection("LAYER");
        PlaceDefinition(g_LayerDefs, LAYER_SLOTS, l, index, g_FileMaps.layer);
        g_LayerListDirty = 1;
    }
    g_ActiveLayer = WithinTable(active, LAYER_SLOTS, LayerIsDefined(active) || active == 0);
    return 1;
}

int FileReadLayers(LayerDef *table, uint32_t *linkOut, int32_t *activeOut)
{
    ShowRead();
    int32_t count = 0, active = 0;
    int linked = 0;
    if (!ReadLayerHeader(&count, &linked, &active))
        return FileFailSection("LAYER");
    for (int n = 0; n < count; ++n) {
        LayerDef l;
        int32_t index = 0;
        if (!ReadLayerRecord(&l, &index, linked != 0))
            return FileFailSection("LAYER");
        PlaceDefinition(table, LAYER_SLOTS, l, index, g_FileMaps.layer, true);
    }
    *linkOut = uint32_t(linked);
    *activeOut = active;
    return 1;
}

// ---------------------------------------------------------------------------
// VARIABLE

int FileWriteSectionVariable(uint32_t sections)
{
    if (!(sections & FILE_SECTION_VARIABLE))
        return 1;
    ShowWrite();
    ZVI_FileWriteKeyword(KEY_VARIABLE);
    ZVI_FileWriteInt(CountInUse(g_VariableDefs, 0, VARIABLE_SLOTS));
    ZVI_FileWriteSemi();
    for (const VariableDef &v : g_VariableDefs)
        if (v.name[0]) {
            WriteFields(&v, VARIABLE_FIELDS, true);
            ZVI_FileWriteSemi();
        }
    return FileWriteSectionEnd("VARIABLE");
}

int FileReadSectionVariable(uint32_t sections)
{
    if (!FileSectionWanted(sections, FILE_SECTION_VARIABLE))
        return 1;
    ShowRead();
    if (Replacing(sections))
        FreeSlots(g_VariableDefs, 0, VARIABLE_SLOTS);
    int32_t count = 0;
    if (!ReadCount(&count, VARIABLE_SLOTS, "VARIABLE") || !ZVI_FileReadSemi())
        return FileFailSection("VARIABLE");
    for (int n = 0; n < count; ++n) {
        VariableDef v{};
        if (!ReadFields(&v, VARIABLE_FIELDS, true) || !EndRecord("VARIABLE"))
            return FileFailSection("VARIABLE");
        for (VariableDef &slot : g_VariableDefs)
            if (!slot.name[0]) {
                slot = v;
                break;
            }
    }
    return 1;
}

// ---------------------------------------------------------------------------
// DEFAULT

static void WriteSlots(const int32_t *slots)
{
    int last = 0;
    for (int i = 0; i < DEFAULT_SLOTS; ++i)
        if (slots[i] != DEFAULT_SLOT_UNSET)
            last = i;
    ZVI_FileWriteInt(slots[0]);
    for (int i = 1; i <= last; ++i)
        ZVI_FileWriteCommaInt(slots[i]);
    ZVI_FileWriteSemi();
}

int FileWriteSectionDefault(uint32_t sections)
{
    if (!(sections & FILE_SECTION_DEFAULT))
        return 1;
    ShowWrite();
    ZVI_FileWriteKeyword(KEY_DEFAULT);
    WriteSlots(g_DefaultPens);
    WriteSlots(g_DefaultLayers);
    return FileWriteSectionEnd("DEFAULT");
}

static bool ReadSlots(int32_t *slots, int tableSlots)
{
    int32_t values[DEFAULT_SLOTS];
    for (int32_t &v : values)
        v = DEFAULT_SLOT_UNSET;
    if (!ZviReadInt(&values[0]))
        return false;
    for (int i = 1; i < DEFAULT_SLOTS && ZVI_FileReadContinue(); ++i)
        if (!ZviReadCommaInt(&values[i]))
            return false;
    if (!ZVI_FileReadSemi())
        return false;
    for (int i = 0; i < DEFAULT_SLOTS; ++i)
        slots[i] = values[i] >= 0 && values[i] < tableSlots ? values[i] : DEFAULT_SLOT_UNSET;
    return true;
}

int FileReadSectionDefault(uint32_t sections)
{
    if (!FileSectionWanted(sections, FILE_SECTION_DEFAULT))
        return 1;
    ShowRead();
    if (!ReadSlots(g_DefaultPens, PEN_SLOTS) || !ReadSlots(g_DefaultLayers, LAYER_SLOTS))
        return FileFailSection("DEFAULT");
    return 1;
}

// ---------------------------------------------------------------------------
// WINDOW

int FileWriteSectionWindow(uint32_t sections)
{
    if (!(sections & FILE_SECTION_WINDOW))
        return 1;
    ShowWrite();
    ZVI_FileWriteKeyword(KEY_WINDOW);
    ZVI_FileWriteInt(FILE_VIEW_COUNT);
    ZVI_FileWriteSemi();
    for (const DrawingView &v : g_DrawingViews) {
        WriteFields(&v, WINDOW_FIELDS, true);
        ZVI_FileWriteSemi();
    }
    return FileWriteSectionEnd("WINDOW");
}

int FileReadSectionWindow(uint32_t sections)
{
    if (!FileSectionWanted(sections, FILE_SECTION_WINDOW))
        return 1;
    ShowRead();
    int32_t count = 0;
    if (!ZviReadInt(&count) || !ZVI_FileReadSemi()) {
        FileReport("Error in WINDOW header");
        return FileFailSection("WINDOW");
    }
    if (count < 0 || count > FILE_VIEW_COUNT) {
        FileReport("Invalid WINDOW number\n( %ld )", long(count));
        return FileFailSection("WINDOW");
    }
    if (count == 0)
        count = 1;
    for (int i = 0; i < count; ++i) {
        DrawingView v{};
        if (!ReadFields(&v, WINDOW_FIELDS, true) || !ZVI_FileReadSemi()) {
            FileReport("Error in WINDOW definition");
            return FileFailSection("WINDOW");
        }
        if (v.system < 0 || v.system >= SYSTEM_SLOTS)
            v.system = 0;
        g_DrawingViews[i] = v;
    }
    return 1;
}
