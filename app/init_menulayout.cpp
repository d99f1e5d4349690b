// The menu layout and its built-in template.
#include "app/init_menulayout.h"

#include <array>

#include "plugin/zvi_module.h"

namespace {

// The template in a short notation, turned into entries at compile time:
// "M<n>" starts main menu n, a number is a command item, "<id>(...)" a popup
// with its items, "-" a separator, "*" the palette mark of the entry before
// it and "[<id>]" a placeholder.
constexpr char MENU_TEMPLATE_TEXT[] =
    "M0* 100 101* 102 103 - 104 105(106* 107 108 109 126 110 [98]) 111(112* 113 114 [99]) - 123 124 [0] - 125 "
    "M1 200* 201 202 - 203 204 205 - 206(207* 227 228 208 - 229 230 231 - 232 233) 209 211 - 210 [1] "
    "M2 300(301* 302 303 304 305 306) 328(329* 330 331 - 332 333 334 335) 307(308* 309 310 - 311 312) "
    "336(337* 338 339 340 - 388 389) 341(342* 343 344 345 346 347 - 348 349 350 351) 352(353* 354 355 356) "
    "357(358* 359 360) - 361 - 362(363* - 364 365 366 - 367 368 369 370 371 372 373 374 375) "
    "376(377* 378 379 380 381 382 - 383 384 385 - 386 387) [2] "
    "M3 400* 452 453 401 - 402 403 404(405* 408) 409(410* 411 412) 414(415* 416) 418(419* 420 421) "
    "422(423* 424) 425(426* 427 428 - 429 430 431) - 438(439* 442 - 443) - 444(445* 446) 447(448 451) [3] "
    "M4 500*(501* 506 507 508 509 510 - 512 514) 515(516* 519 520 - 521) 522(523* 524 525 526 - 527) "
    "528(529* 531 533) 535(536* 538 540 541 542 - 543 544 545 546) 547(548* 550 552) 557(558* 559 560) "
    "562(563* 564) 566(567 568 569 - 570* 571) - 572 573 574 575 - 576(577* 578 - 579 580 581 - 582) [4] "
    "M5 635 636 637 653 650 - 638 - 639(640* 641 642) 643(644* 645 646 - 647 648 649) [5] "
    "M6 700*(701* 702 - 703 - 704 705 - 706 707 - 708) 713(714* - 718 719 720) - 721 722(723* - 724 725) "
    "726(727* - 728 729) 730(731* - 732 733) - 734(735* - 745 746) [6] "
    "M7 800*(801* 802 - 804) - 805(806* 807) 808(809* 810 811 812 - 813 814 815 816 - 817 818 819 820 821 - 822) "
    "826 - 827(828* 829) 830(831* 832 833 - 834) - 835(836* 837) - 839 [7] "
    "M8 900*(901* - 902 903 - 904) - 910 912 - 915 [8] "
    "M9 1000* 1001 1002 - 1003(1004* 1005 1006) 1007 1042 1043 - 1008 1009 1010 - 1011 1012 1013 "
    "1014(1015* - 1016 1017 1018 1019 1020 1021 1022 1023 1024 - 1025 1026) - "
    "1027(1028* - 1029 1030 1031 1032 - 1033 1034 1035 1036 - 1037 1038 1039 1040) [9] "
    "[97] "
    "M10 1100* - 1101 1102 1103 - 1105 [10] - 1106";

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Writes the entries of the notation into out (when given) and returns their
// number with the end entry, or -1 when the notation is malformed.
constexpr int ParseMenuTemplate(const char *text, uint32_t *out)
{
    int n = 0;
    bool inPopup = false, inMenu = false;
    auto put = [&](uint32_t entry) {
        if (out)
            out[n] = entry;
        ++n;
    };
    auto number = [&](const char *&p) {
        uint32_t v = 0;
        while (IsDigit(*p))
            v = v * 10 + static_cast<uint32_t>(*p++ - '0');
        return v;
    };
    auto mark = [&](const char *&p) -> uint32_t {
        if (*p != '*')
            return 0;
        ++p;
        return MENU_PALETTE_MARK;
    };
    const char *p = text;
    while (*p) {
        if (*p == ' ') {
            ++p;
        } else if (*p == 'M') {
            if (inPopup || !IsDigit(*++p))
                return -1;
            const uint32_t menu = number(p);
            put(MENU_TOP_HEADER | menu | mark(p));
            inMenu = true;
        } else if (*p == '-') {
            if (!inMenu)
                return -1;
            ++p;
            put(MENU_SEPARATOR | (inPopup ? MENU_POPUP_ITEM : MENU_TOP_ITEM));
        } else if (*p == '[') {
            const uint32_t id = number(++p);
            if (*p++ != ']')
                return -1;
            uint32_t level = inPopup ? MENU_POPUP_ITEM : MENU_TOP_ITEM;
            if (id == MENU_PLACE_OWN_MENUS) {
                if (inPopup)
                    return -1;
                level = MENU_TOP_HEADER;
                inMenu = false;
            }
            put(MENU_PLACEHOLDER | level | id);
        } else if (*p == ')') {
            if (!inPopup)
                return -1;
            ++p;
            inPopup = false;
        } else if (IsDigit(*p)) {
            if (!inMenu)
                return -1;
            const uint32_t id = number(p);
            const uint32_t flags = mark(p);
            if (*p == '(') {
                if (inPopup)
                    return -1;
                ++p;
                put(MENU_POPUP_HEADER | id | flags);
                inPopup = true;
            } else {
                put((inPopup ? MENU_POPUP_ITEM : MENU_TOP_ITEM) | id | flags);
            }
        } else {
            return -1;
        }
    }
    if (inPopup)
        return -1;
    put(MENU_END);
    return n;
}

constexpr int MENU_TEMPLATE_COUNT = ParseMenuTemplate(MENU_TEMPLATE_TEXT, nullptr);
static_assert(MENU_TEMPLATE_COUNT > 0, "the menu template notation is malformed");
static_assert(MENU_TEMPLATE_COUNT < MENU_LAYOUT_SIZE);

constexpr std::array<uint32_t, MENU_TEMPLATE_COUNT> BuildTemplate()
{
    std::array<uint32_t, MENU_TEMPLATE_COUNT> entries{};
    ParseMenuTemplate(MENU_TEMPLATE_TEXT, entries.data());
    return entries;
}

constexpr std::array<uint32_t, MENU_TEMPLATE_COUNT> MENU_TEMPLATE = BuildTemplate();

// Appends one entry; -1 when out is full.
int Put(uint32_t *out, int at, int capacity, uint32_t entry)
{
    if (at < 0 || at >= capacity)
        return -1;
    out[at] = entry;
    return at + 1;
}

uint32_t ModuleCommandId(int module, int k)
{
    return static_cast<uint32_t>(COMMAND_PLUGIN_FIRST + 1 + COMMAND_PLUGIN_PER_MODULE * module + k);
}

uint32_t PlaceOf(const ModuleData *record) { return record->defaultEntry.idFlags & MENU_ID_MASK; }

// The modules with menus of their own: a plug-in header and the commands.
int ExpandOwnMenus(uint32_t *out, int at, int capacity)
{
    for (int m = 0; m < ZviModuleCount() && at >= 0; ++m) {
        const ModuleData *module = ZviModuleRecord(m);
        const int count = ZviModuleCommandCount(module);
        if (PlaceOf(module) != MENU_PLACE_OWN_MENUS || count == 0)
            continue;
        at = Put(out, at, capacity, MENU_PLUGIN_HEADER | MENU_TOP_HEADER | static_cast<uint32_t>(m));
        for (int k = 0; k < count && at >= 0; ++k)
            at = Put(out, at, capacity,
                     (module->list[k].idFlags & MENU_COMMAND_FLAG_MASK) | ModuleCommandId(m, k));
    }
    return at;
}

// The import or export formats placed in a submenu, after a separator.
int ExpandFormats(uint32_t placeholder, uint32_t *out, int at, int capacity)
{
    const bool imports = (placeholder & MENU_ID_MASK) == MENU_PLACE_IMPORTS;
    const int count = imports ? ZviImportCount() : ZviExportCount();
    const uint32_t level = placeholder & MENU_LEVEL_MASK;
    bool first = true;
    for (int i = 0; i < count && at >= 0; ++i) {
        const ModuleData *format = imports ? ZviImportRecord(i) : ZviExportRecord(i);
        if (PlaceOf(format) != (placeholder & MENU_ID_MASK))
            continue;
        if (first)
            at = Put(out, at, capacity, level | MENU_SEPARATOR);
        first = false;
        const int base = imports ? IMPORT_COMMAND_FIRST : EXPORT_COMMAND_FIRST;
        at = Put(out, at, capacity, level | static_cast<uint32_t>(base + i));
    }
    return at;
}

// The modules placed at the end of main menu n: a submenu of their commands,
// or one item for a module without commands.
int ExpandMenuModules(uint32_t placeholder, uint32_t *out, int at, int capacity)
{
    bool first = true;
    for (int m = 0; m < ZviModuleCount() && at >= 0; ++m) {
        const ModuleData *module = ZviModuleRecord(m);
        if (PlaceOf(module) != (placeholder & MENU_ID_MASK))
            continue;
        if (first)
            at = Put(out, at, capacity, MENU_SEPARATOR | MENU_TOP_ITEM);
        first = false;
        const uint32_t moduleId = static_cast<uint32_t>(COMMAND_PLUGIN_FIRST + COMMAND_PLUGIN_PER_MODULE * m);
        const int count = ZviModuleCommandCount(module);
        if (count == 0) {
            at = Put(out, at, capacity, MENU_TOP_ITEM | moduleId);
            continue;
        }
        at = Put(out, at, capacity, MENU_POPUP_HEADER | moduleId);
        for (int k = 0; k < count && at >= 0; ++k)
            at = Put(out, at, capacity,
                     MENU_POPUP_ITEM | (module->list[k].idFlags & MENU_ITEM_FLAG_MASK) | ModuleCommandId(m, k));
    }
    return at;
}

// What a placeholder expands to; the next free index, or -1 when out is full.
int ExpandPlaceholder(uint32_t placeholder, uint32_t *out, int at, int capacity)
{
    const uint32_t id = placeholder & MENU_ID_MASK;
    if (id == MENU_PLACE_OWN_MENUS)
        return ExpandOwnMenus(out, at, capacity);
    if (id == MENU_PLACE_IMPORTS || id == MENU_PLACE_EXPORTS)
        return ExpandFormats(placeholder, out, at, capacity);
    return ExpandMenuModules(placeholder, out, at, capacity);
}

} // namespace

const uint32_t *const g_MenuTemplate = MENU_TEMPLATE.data();

uint32_t g_MenuLayout[MENU_LAYOUT_SIZE] = {MENU_END};

uint32_t InitBuildMenuLayout(const uint32_t *menuTemplate, uint32_t *out, int capacity)
{
    if (!menuTemplate || !out || capacity < 1)
        return 0;
    int n = 0;
    for (const uint32_t *entry = menuTemplate; !(*entry & MENU_END); ++entry) {
        if (*entry & MENU_PLACEHOLDER) {
            n = ExpandPlaceholder(*entry, out, n, capacity - 1);
        } else if (n < capacity - 1) {
            out[n++] = *entry;
        } else {
            n = -1;
        }
        if (n < 0) {
            out[0] = MENU_END;
            return 0;
        }
    }
    out[n] = MENU_END;
    return 1;
}
