// The seeded property of the drawing file: random sequences of creating and
// editing commands (draw, change, construct, hatch, dimension, text, block)
// and of the importers (WMF, EMF, bitmap, paste) leave a drawing that the
// program writes, reads back, and writes again to the very same text.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "app/darad4.h"
#include "app/system.h"
#include "command_fixture.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "common/dialog_driver.h"
#include "common/test_commands.h"
#include "common/test_files.h"
#include "database/object.h"
#include "database/object_select.h"
#include "dialogs/box15.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "files/file.h"
#include "files/file_commands.h"
#include "files/meta.h"
#include "files/zvi.h"

namespace {

// The commands of the sequences and the most points each takes.
struct Action {
    int command;
    int points;
};
const Action ACTIONS[] = {
    {501, 2}, {512, 4}, {514, 2}, {523, 3}, {525, 3}, {526, 2}, {533, 2}, {536, 2}, {538, 3}, {540, 3},
    {548, 4}, {550, 3}, {558, 2}, {559, 3}, {560, 3}, {529, 3}, {573, 4}, {574, 5}, {575, 5}, // draw
    {701, 3}, {702, 3}, {704, 2}, {705, 2}, {706, 2}, {707, 2}, {708, 1}, {714, 1}, // change
    {640, 3}, {641, 3}, {642, 3}, {644, 3}, {645, 3}, {646, 3}, {647, 3}, {648, 3}, {649, 3}, // construct
    {809, 3}, {810, 3}, {811, 3}, {814, 3}, {818, 3}, {819, 3}, {821, 3}, {822, 3}, // dimension
    {801, 2}, {802, 3},                                                              // text
    {445, 0},                                                                        // group (block)
    {577, 1}, {578, 3},                                                              // hatch
};
// Importers, chosen like the commands above.
constexpr int IMPORT_EMF = -1, IMPORT_WMF = -2, IMPORT_BITMAP = -3, IMPORT_PASTE = -4;
const int IMPORTS[] = {IMPORT_EMF, IMPORT_WMF, IMPORT_BITMAP, IMPORT_PASTE};

constexpr int SEQUENCES = 200;
constexpr int STEPS = 8;

uint32_t AnswerDefault(const char *, uint32_t code1, uint32_t, uint32_t) { return code1; }

// Both writes carry the same save time, whatever minute they fall in.
void FixedClock(SYSTEMTIME *out)
{
    *out = SYSTEMTIME{2026, 12, 5, 11, 8, 0, 0, 0};
}

// The drawing as the writer writes it; empty when writing failed.
std::string Written()
{
    HGLOBAL block = FileWriteDrawingMemory(FILE_SECTIONS_ALL | FILE_MODE_QUIET);
    if (!block)
        return {};
    std::string text(static_cast<const char *>(GlobalLock(block)), GlobalSize(block));
    GlobalUnlock(block);
    GlobalFree(block);
    return text;
}

int Read(const std::string &text)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size());
    std::memcpy(GlobalLock(block), text.data(), text.size());
    GlobalUnlock(block);
    const int read = FileReadDrawingMemory(block, FILE_SECTIONS_ALL | FILE_MODE_QUIET, 0);
    GlobalFree(block);
    return read;
}

// The first line where two texts differ, for the failure message.
std::string FirstDifference(const std::string &a, const std::string &b)
{
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    const size_t start = a.rfind('\n', i) == std::string::npos ? 0 : a.rfind('\n', i) + 1;
    return a.substr(start, a.find('\n', i) - start) + "  |  " + b.substr(start, b.find('\n', i) - start);
}

class RoundTripProperty : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(PrepareDrawing());
        ASSERT_EQ(ZVI_InitFileBuffers(), 1);
        savedHook_ = g_AlertAnswerHook;
        g_AlertAnswerHook = AnswerDefault;
        savedClock_ = g_FileClock;
        g_FileClock = FixedClock;
        g_ClipboardFormatZvd = RegisterClipboardFormatA("Quirn++Valsev CAD");
    }
    void TearDown() override
    {
        CommandCancel();
        g_AlertAnswerHook = savedHook_;
        g_FileClock = savedClock_;
        FreeStorage();
        CommandTest::TearDown();
    }

    // A point near something already drawn half of the time, so that the
    // editing commands find what they pick.
    void Point(std::mt19937 &random, double *x, double *y)
    {
        std::uniform_real_distribution<double> coordinate(-60.0, 60.0);
        std::vector<Unit *> alive;
        for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u))
            alive.push_back(u);
        if (!alive.empty() && random() % 2) {
            Unit *u = alive[random() % alive.size()];
            for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
                if (ElementIsPoint(e)) {
                    const auto *p = reinterpret_cast<const ElementPoint *>(e);
                    *x = p->x + 0.01, *y = p->y;
                    return;
                }
        }
        *x = coordinate(random), *y = coordinate(random);
    }
    void SelectSome(std::mt19937 &random)
    {
        for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u))
            if (random() % 3 == 0)
                u->flags |= UNIT_SELECTED;
    }
    void RunCommand(std::mt19937 &random, const Action &a)
    {
        SelectSome(random);
        TestStartCommand(a.command, a.command);
        int code = INPUT_CONTINUE;
        for (int i = 0; i < a.points && code == INPUT_CONTINUE; ++i) {
            double x, y;
            Point(random, &x, &y);
            code = InputPoint(x, y, 1);
        }
        if (code == INPUT_COMPLETE || a.points == 0)
            CommandRun(a.command);
        CommandCancel();
        ObjectDeselectAll();
    }
    void Import(int kind)
    {
        switch (kind) {
        case IMPORT_EMF: MetaImportEmf(nullptr, "..\\files\\fixtures\\meta\\inkscape.emf"); break;
        case IMPORT_WMF: MetaImportWmf(nullptr, "..\\files\\fixtures\\meta\\inkscape.wmf"); break;
        case IMPORT_BITMAP: {
            // A 2 x 2 bitmap merged (linked) at the first construction point.
            static const uint8_t bmp[] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0,
                                          2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                          0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 255, 255, 255, 0, 0};
            TestTempFile file("roundtrip_property.bmp");
            FILE *f = std::fopen(file.Path(), "wb");
            std::fwrite(bmp, 1, sizeof bmp, f);
            std::fclose(f);
            FileOpenDrawing(file.Path(), FILE_KIND_BMP, FILE_SECTIONS_ALL, 0, 1);
            break;
        }
        default:
            if (MetaCopyToClipboard(main_, 0))
                MetaPasteFromClipboard(main_);
            break;
        }
    }

    AlertAnswerHook savedHook_ = nullptr;
    FileClockSource savedClock_ = nullptr;
};

TEST_F(RoundTripProperty, WhatTheProgramHoldsItWritesAndReadsBackByteForByte)
{
    // Every dialog a command opens is taken as it comes, with OK.
    DialogDriver dialogs(std::vector<DialogStep>(SEQUENCES * STEPS, [](HWND d) { TestClickButton(d, IDOK); }));
    int objects = 0;
    for (int sequence = 0; sequence < SEQUENCES; ++sequence) {
        std::mt19937 random(uint32_t(sequence) * 7919u + 17u);
        FileClearDrawing();
        UndoReset();
        std::vector<int> done;
        for (int step = 0; step < STEPS; ++step) {
            const size_t pick = random() % (std::size(ACTIONS) + std::size(IMPORTS));
            if (pick < std::size(ACTIONS)) {
                RunCommand(random, ACTIONS[pick]);
                done.push_back(ACTIONS[pick].command);
            } else {
                Import(IMPORTS[pick - std::size(ACTIONS)]);
                done.push_back(IMPORTS[pick - std::size(ACTIONS)]);
            }
            // Now and then a step is taken back.
            if (random() % 5 == 0)
                UndoStepBack();
        }
        std::string trace = "sequence " + std::to_string(sequence) + ":";
        for (int c : done)
            trace += " " + std::to_string(c);
        SCOPED_TRACE(trace);
        for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u))
            ++objects;
        const std::string first = Written();
        ASSERT_FALSE(first.empty()) << "the program could not write what it holds";
        FileClearDrawing();
        ASSERT_EQ(Read(first), 1) << "the program could not read what it wrote";
        const std::string second = Written();
        ASSERT_TRUE(second == first) << FirstDifference(first, second);
    }
    EXPECT_GT(objects, SEQUENCES); // the sequences made something to write
}

} // namespace
