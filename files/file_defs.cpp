// The definition-table sections of the drawing file and the translation of
// the file's indices into the drawing's when definitions are merged by name.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "app/init.h"
#include "app/system_defs.h"
#include "files/file_internal.h"
#include "files/file_records.h"
#include "files/zvi.h"
#include "language/language.h"

DrawingView g_DrawingViews[FILE_VIEW_COUNT];

namespace {

constexpr int DEF_FIRST = 1; // slot 0 of a table is fixed and never filed

bool Replacing(uint32_t sections)
{
    return (sections & FILE_MODE_REPLACE) != 0;
}

// Where a definition read from the file goes: a slot holding the same name
// takes its references and nothing is stored; else its own index when that
// slot is free, else the first free slot. Without room it is dropped and its
// references go to slot 0. The file index is translated to the answer.
template <class Def>
int PlaceDefinition(Def *table, int slots, const Def &def, int fileIndex, int32_t *map)
{
    for (int i = DEF_FIRST; i < slots; ++i)
        if (table[i].name[0] && lstrcmpA(table[i].name, def.name) == 0) {
            map[fileIndex] = i;
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
    if (!ZVI_FileReadInt(count)) {
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
    if (!ZVI_FileReadCommaInt(index)) {
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

int ReadBoolInt(int32_t *value)
{
    int v = 0;
    if (!ZVI_FileReadCommaBool(&v))
        return 0;
    *value = v;
    return 1;
}

// An index read from the file that names a free slot or lies outside the
// table becomes 0.
int32_t WithinTable(int32_t index, int slots, bool inUse)
{
    return index >= 0 && index < slots && inUse ? index : 0;
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
    return ZVI_FileReadCommaInt(value);
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
        const PageDef &p = t.pages[i];
        ZVI_FileWriteInt(p.format);
        ZVI_FileWriteCommaInt(p.orientation);
        ZVI_FileWriteCommaInt(p.anchor);
        ZVI_FileWriteCommaDouble(p.refX);
        ZVI_FileWriteCommaDouble(p.refY);
        ZVI_FileWriteCommaDouble(p.width);
        ZVI_FileWriteCommaDouble(p.height);
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
        if (!ZVI_FileReadInt(&p.format) || !ZVI_FileReadCommaInt(&p.orientation) ||
            !ZVI_FileReadCommaDouble(&p.width) || !ZVI_FileReadCommaDouble(&p.height) || !ZVI_FileReadSemi())
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
        if (!ZVI_FileReadInt(&p.format) || !ZVI_FileReadCommaInt(&p.orientation) || !ZVI_FileReadCommaInt(&p.anchor) ||
            !ZVI_FileReadCommaDouble(&p.refX) || !ZVI_FileReadCommaDouble(&p.refY) ||
            !ZVI_FileReadCommaDouble(&p.width) || !ZVI_FileReadCommaDouble(&p.height) || !ZVI_FileReadSemi())
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
            ZVI_FileWriteString(g_ColorDefs[i].name);
            ZVI_FileWriteCommaColorref(g_ColorDefs[i].color);
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
        if (!ZVI_FileReadString(c.name, DEF_NAME_SHORT) || !ZVI_FileReadCommaColorref(&c.color) || !EndRecord("COLOR"))
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
        ZVI_FileWriteString(h.name);
        ZVI_FileWriteCommaInt(i);
        ZVI_FileWriteSemi();
        for (const HatchFamily *f : {&h.family1, &h.family2}) {
            ZVI_FileWriteBool(f->on);
            ZVI_FileWriteCommaInt(f->multiLine);
            ZVI_FileWriteCommaDouble(f->angle);
            ZVI_FileWriteSemi();
        }
        ZVI_FileWriteBool(h.blockOn);
        ZVI_FileWriteCommaString(h.blockLibrary);
        ZVI_FileWriteCommaString(h.blockName);
        ZVI_FileWriteComma();
        ZVI_FileWriteNewline();
        for (int k = 0; k < HATCH_PLACEMENT_VALUES; ++k) {
            if (k)
                ZVI_FileWriteComma();
            ZVI_FileWriteDouble(h.placement[k]);
        }
        ZVI_FileWriteSemi();
        ZVI_FileWriteDouble(h.baseAngle);
        ZVI_FileWriteCommaDouble(h.phaseA);
        ZVI_FileWriteCommaDouble(h.phaseB);
        ZVI_FileWriteSemi();
    }
    return FileWriteSectionEnd("HATCH");
}

static bool ReadHatchFamily(HatchFamily *f)
{
    int on = 0;
    if (!ZVI_FileReadBool(&on) || !ZVI_FileReadCommaInt(&f->multiLine) || !ZVI_FileReadCommaDouble(&f->angle) ||
        !EndRecord("HATCH"))
        return false;
    f->on = on;
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
        int on = 0;
        if (!ZVI_FileReadString(h.name, DEF_NAME_LONG) || !ReadIndex(&index, HATCH_SLOTS, "HATCH") ||
            !EndRecord("HATCH") || !ReadHatchFamily(&h.family1) || !ReadHatchFamily(&h.family2) ||
            !ZVI_FileReadBool(&on) || !ZVI_FileReadCommaString(h.blockLibrary, DEF_NAME_LONG) ||
            !ZVI_FileReadCommaString(h.blockName, DEF_NAME_LONG))
            return FileFailSection("HATCH");
        h.blockOn = on;
        for (double &v : h.placement)
            if (!ZVI_FileReadCommaDouble(&v))
                return FileFailSection("HATCH");
        if (!EndRecord("HATCH") || !ZVI_FileReadDouble(&h.baseAngle) || !ZVI_FileReadCommaDouble(&h.phaseA) ||
            !ZVI_FileReadCommaDouble(&h.phaseB) || !EndRecord("HATCH") || !h.name[0])
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
        ZVI_FileWriteString(m.name);
        ZVI_FileWriteCommaInt(i);
        ZVI_FileWriteSemi();
        for (const MultiLineLine &l : m.lines) {
            ZVI_FileWriteBool(l.on);
            ZVI_FileWriteCommaDouble(l.offset);
            ZVI_FileWriteCommaXProperty(&l.property);
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
        if (!ZVI_FileReadString(m.name, DEF_NAME_SHORT) || !ReadIndex(&index, MULTILINE_SLOTS, "MULTILINE") ||
            !EndRecord("MULTILINE") || !m.name[0])
            return FileFailSection("MULTILINE");
        for (MultiLineLine &l : m.lines) {
            int on = 0;
            if (!ZVI_FileReadBool(&on) || !ZVI_FileReadCommaDouble(&l.offset) ||
                !ZVI_FileReadCommaXProperty(&l.property) || !FileMapXProperty(&l.property) || !EndRecord("MULTILINE"))
                return FileFailSection("MULTILINE");
            l.on = on;
        }
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
        ZVI_FileWriteString(s.name);
        ZVI_FileWriteCommaInt(i);
        ZVI_FileWriteComma();
        ZVI_FileWriteNewline();
        ZVI_FileWriteDouble(s.angle);
        ZVI_FileWriteCommaDouble(s.angle); // filed twice; the reader keeps the second
        ZVI_FileWriteCommaDouble(s.scale);
        ZVI_FileWriteCommaInt(s.axisMode);
        ZVI_FileWriteCommaInt(s.anchor);
        ZVI_FileWriteCommaDouble(s.originX);
        ZVI_FileWriteCommaDouble(s.originY);
        ZVI_FileWriteCommaInt(s.lengthUnit);
        ZVI_FileWriteCommaInt(s.widthUnit);
        ZVI_FileWriteCommaInt(s.angleUnit);
        ZVI_FileWriteCommaInt(int32_t(uint32_t(s.format1) | (uint32_t(s.format2) << 16)));
        ZVI_FileWriteCommaInt(s.decimals);
        ZVI_FileWriteCommaInt(s.displayGridKind);
        ZVI_FileWriteCommaDouble(s.displayGridX);
        ZVI_FileWriteCommaDouble(s.displayGridY);
        ZVI_FileWriteCommaInt(s.catchGridKind);
        ZVI_FileWriteCommaDouble(s.catchGridX);
        ZVI_FileWriteCommaDouble(s.catchGridY);
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
        int32_t index = 0, formats = 0;
        if (!ZVI_FileReadString(s.name, DEF_NAME_SHORT) || !ReadIndex(&index, SYSTEM_SLOTS, "SYSTEM") ||
            !ZVI_FileReadCommaDouble(&s.angle) || !ZVI_FileReadCommaDouble(&s.angle) ||
            !ZVI_FileReadCommaDouble(&s.scale) || !ZVI_FileReadCommaInt(&s.axisMode) ||
            !ZVI_FileReadCommaInt(&s.anchor) || !ZVI_FileReadCommaDouble(&s.originX) ||
            !ZVI_FileReadCommaDouble(&s.originY) || !ZVI_FileReadCommaInt(&s.lengthUnit) ||
            !ZVI_FileReadCommaInt(&s.widthUnit) || !ZVI_FileReadCommaInt(&s.angleUnit) ||
            !ZVI_FileReadCommaInt(&formats) || !ZVI_FileReadCommaInt(&s.decimals) ||
            !ZVI_FileReadCommaInt(&s.displayGridKind) || !ZVI_FileReadCommaDouble(&s.displayGridX) ||
            !ZVI_FileReadCommaDouble(&s.displayGridY) || !ZVI_FileReadCommaInt(&s.catchGridKind) ||
            !ZVI_FileReadCommaDouble(&s.catchGridX) || !ZVI_FileReadCommaDouble(&s.catchGridY) ||
            !EndRecord("SYSTEM") || !s.name[0])
            return FileFailSection("SYSTEM");
        s.format1 = uint16_t(uint32_t(formats) & 0xFFFF);
        s.format2 = uint16_t(uint32_t(formats) >> 16);
        PlaceDefinition(g_SystemDefs, SYSTEM_SLOTS, s, index, g_FileMaps.system);
    }
    return 1;
}

// ---------------------------------------------------------------------------
// PEN

int FileWriteSectionPen(uint32_t sections)
{
    if (!(sections & FILE_SECTION_PEN))
        return 1;
    ShowWrite();
    ZVI_FileWriteKeyword(KEY_PEN);
    ZVI_FileWriteInt(CountInUse(g_PenDefs, DEF_FIRST, PEN_SLOTS));
    ZVI_FileWriteCommaBool(g_PenLink);
    ZVI_FileWriteCommaInt(g_ActivePen);
    ZVI_FileWriteSemi();
    ZVI_FileWriteProperty(&g_PenDefs[0].setB);
    ZVI_FileWriteSemi();
    for (int i = DEF_FIRST; i < PEN_SLOTS; ++i) {
        const PenDef &p = g_PenDefs[i];
        if (!p.name[0])
            continue;
        ZVI_FileWriteString(p.name);
        ZVI_FileWriteCommaInt(i);
        ZVI_FileWriteComma();
        ZVI_FileWriteNewline();
        ZVI_FileWriteProperty(&p.setA);
        ZVI_FileWriteComma();
        ZVI_FileWriteNewline();
        ZVI_FileWriteProperty(&p.setB);
        ZVI_FileWriteComma();
        ZVI_FileWriteNewline();
        ZVI_FileWriteInt(p.layer);
        ZVI_FileWriteCommaInt(int32_t(p.state));
        ZVI_FileWriteSemi();
    }
    return FileWriteSectionEnd("PEN");
}

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
    if (!ReadCount(&count, PEN_SLOTS - 1, "PEN") || !ZVI_FileReadCommaBool(&linked) ||
        !FileReadOptionalInt(&active, 0) || !ZVI_FileReadSemi() || !ZVI_FileReadProperty(&pen0) ||
        !FileMapProperty(&pen0) || !EndRecord("PEN"))
        return FileFailSection("PEN");
    if (replace) {
        g_PenLink = uint32_t(linked);
        g_PenDefs[0].setA = pen0;
        g_PenDefs[0].setB = pen0;
    }
    for (int n = 0; n < count; ++n) {
        PenDef p{};
        int32_t index = 0, state = int32_t(DEF_STATE_DEFAULT);
        if (!ZVI_FileReadString(p.name, DEF_NAME_LONG) || !ReadIndex(&index, PEN_SLOTS, "PEN") ||
            !ZVI_FileReadCommaProperty(&p.setA) || !ZVI_FileReadCommaProperty(&p.setB) ||
            !FileMapProperty(&p.setA) || !FileMapProperty(&p.setB))
            return FileFailSection("PEN");
        p.layer = PEN_NO_LAYER;
        if (ZVI_FileReadContinue() && !ZVI_FileReadCommaInt(&p.layer))
            return FileFailSection("PEN");
        if (g_FileVersion >= FILE_VERSION_460 && ZVI_FileReadContinue() && !ZVI_FileReadCommaInt(&state))
            return FileFailSection("PEN");
        if (!EndRecord("PEN") || !p.name[0])
            return FileFailSection("PEN");
        if (p.layer < PEN_NO_LAYER || p.layer >= LAYER_SLOTS) {
            FileReport("Invalid PEN layer\n( %ld )", long(p.layer));
            return FileFailSection("PEN");
        }
        p.state = uint32_t(state);
        if (g_PenLink)
            p.setA = p.setB;
        PlaceDefinition(g_PenDefs, PEN_SLOTS, p, index, g_FileMaps.pen);
        g_PenListDirty = 1;
    }
    g_ActivePen = WithinTable(active, PEN_SLOTS, PenIsDefined(active) || active == 0);
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
        ZVI_FileWriteString(l.name);
        ZVI_FileWriteCommaInt(i);
        ZVI_FileWriteComma();
        ZVI_FileWriteNewline();
        ZVI_FileWriteInt(pairs);
        ZVI_FileWriteCommaInt(l.kind);
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
        if (!ZVI_FileReadString(l.name, DEF_NAME_SHORT) || !ReadIndex(&index, LINE_SLOTS, "LINE") ||
            !ZVI_FileReadCommaInt(&l.pairs) || !ZVI_FileReadCommaInt(&l.kind))
            return FileFailSection("LINE");
        // A line type holds at most eight pairs: more would be stored past the record.
        if (l.pairs < 0 || l.pairs > LINE_MAX_PAIRS) {
            FileReport("Invalid LINE pairs\n( %ld )", long(l.pairs));
            return FileFailSection("LINE");
        }
        for (int k = 0; k < 2 * l.pairs; ++k)
            if (!ZVI_FileReadCommaInt(&l.lengths[k]))
                return FileFailSection("LINE");
        if (!EndRecord("LINE") || !l.name[0])
            return FileFailSection("LINE");
        PlaceDefinition(g_LineDefs, LINE_SLOTS, l, index, g_FileMaps.line);
    }
    return 1;
}

// ---------------------------------------------------------------------------
// LAYER

int FileWriteSectionLayer(uint32_t sections)
{
    if (!(sections & FILE_SECTION_LAYER))
        return 1;
    ShowWrite();
    ZVI_FileWriteKeyword(KEY_LAYER);
    ZVI_FileWriteInt(CountInUse(g_LayerDefs, DEF_FIRST, LAYER_SLOTS));
    ZVI_FileWriteCommaBool(g_LayerLink);
    ZVI_FileWriteCommaInt(g_ActiveLayer);
    ZVI_FileWriteSemi();
    for (int i = DEF_FIRST; i < LAYER_SLOTS; ++i) {
        const LayerDef &l = g_LayerDefs[i];
        if (!l.name[0])
            continue;
        ZVI_FileWriteString(l.name);
        ZVI_FileWriteCommaInt(i);
        ZVI_FileWriteComma();
        ZVI_FileWriteNewline();
        ZVI_FileWriteXProperty(&l.setA);
        ZVI_FileWriteComma();
        ZVI_FileWriteNewline();
        ZVI_FileWriteXProperty(&l.setB);
        ZVI_FileWriteCommaInt(int32_t(l.state));
        ZVI_FileWriteSemi();
    }
    return FileWriteSectionEnd("LAYER");
}

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
    if (!ReadCount(&count, LAYER_SLOTS - 1, "LAYER") || !ZVI_FileReadCommaBool(&linked) ||
        !FileReadOptionalInt(&active, 0) || !ZVI_FileReadSemi())
        return FileFailSection("LAYER");
    if (replace)
        g_LayerLink = uint32_t(linked);
    for (int n = 0; n < count; ++n) {
        LayerDef l{};
        int32_t index = 0, state = 0;
        if (!ZVI_FileReadString(l.name, DEF_NAME_LONG) || !ReadIndex(&index, LAYER_SLOTS, "LAYER") ||
            !ZVI_FileReadCommaXProperty(&l.setA) || !ZVI_FileReadCommaXProperty(&l.setB) ||
            !ZVI_FileReadCommaInt(&state) || !EndRecord("LAYER") || !l.name[0] || !FileMapXProperty(&l.setA) ||
            !FileMapXProperty(&l.setB))
            return FileFailSection("LAYER");
        l.state = uint32_t(state);
        if (g_LayerLink)
            l.setA = l.setB;
        PlaceDefinition(g_LayerDefs, LAYER_SLOTS, l, index, g_FileMaps.layer);
        g_LayerListDirty = 1;
    }
    g_ActiveLayer = WithinTable(active, LAYER_SLOTS, LayerIsDefined(active) || active == 0);
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
            char value[VARIABLE_VALUE_EDIT];
            std::snprintf(value, sizeof value, "%s", v.value); // the file admits shorter values only
            ZVI_FileWriteString(v.name);
            ZVI_FileWriteCommaString(value);
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
        if (!ZVI_FileReadString(v.name, DEF_NAME_SHORT) || !ZVI_FileReadCommaString(v.value, VARIABLE_VALUE_EDIT) ||
            !EndRecord("VARIABLE"))
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
    if (!ZVI_FileReadInt(&values[0]))
        return false;
    for (int i = 1; i < DEFAULT_SLOTS && ZVI_FileReadContinue(); ++i)
        if (!ZVI_FileReadCommaInt(&values[i]))
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
        ZVI_FileWriteInt(v.system);
        ZVI_FileWriteCommaBool(v.displayGrid);
        ZVI_FileWriteCommaBool(v.catchGrid);
        ZVI_FileWriteCommaDouble(v.centerX);
        ZVI_FileWriteCommaDouble(v.centerY);
        ZVI_FileWriteCommaDouble(v.zoom);
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
    if (!ZVI_FileReadInt(&count) || !ZVI_FileReadSemi()) {
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
        int grid = 0, grid2 = 0;
        if (!ZVI_FileReadInt(&v.system) || !ZVI_FileReadCommaBool(&grid) || !ZVI_FileReadCommaBool(&grid2) ||
            !ZVI_FileReadCommaDouble(&v.centerX) || !ZVI_FileReadCommaDouble(&v.centerY) ||
            !ZVI_FileReadCommaDouble(&v.zoom) || !ZVI_FileReadSemi()) {
            FileReport("Error in WINDOW definition");
            return FileFailSection("WINDOW");
        }
        v.displayGrid = grid;
        v.catchGrid = grid2;
        if (v.system < 0 || v.system >= SYSTEM_SLOTS)
            v.system = 0;
        g_DrawingViews[i] = v;
    }
    return 1;
}
