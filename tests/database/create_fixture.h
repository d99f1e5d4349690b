// A drawing with pens and layers, work memory and an open undo history for
// the creation and frame tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/system_defs.h"
#include "commands/input_points.h"
#include "database/object.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "display/output.h"
#include "geometry/frame.h"

// What the alert hook saw.
struct AlertLog {
    std::vector<std::string> texts;
    uint32_t answer = 0; // 0: the first button
};
inline AlertLog &Alerts()
{
    static AlertLog log;
    return log;
}
inline uint32_t CreateTestAlertHook(const char *text, uint32_t code1, uint32_t, uint32_t)
{
    Alerts().texts.push_back(text ? text : "");
    return Alerts().answer ? Alerts().answer : code1;
}

class CreateTest : public ::testing::Test {
protected:
    AlertAnswerHook savedHook_ = nullptr;

    void SetUp() override
    {
        MemFreeChunks();
        MemInitLists();
        ASSERT_EQ(MemEnlargeList(), 1);
        if (!g_WorkArrays.pathPoints) {
            ASSERT_EQ(MemInitWork(), 1);
        }
        UndoReset();
        g_UndoSteps = UNDO_WINDOW_DEFAULT;
        g_ListFilter = {0, 0, 0};
        SystemInitDrawing(0);
        DefinePen(3);
        DefineLayer(2);
        g_ActivePen = 0;
        g_ActiveLayer = 0;
        g_OutputContext.nestingDepth = 0;
        g_OutputContext.currentInstance = nullptr;
        savedHook_ = g_AlertAnswerHook;
        g_AlertAnswerHook = CreateTestAlertHook;
        Alerts() = AlertLog{};
    }
    void TearDown() override
    {
        g_AlertAnswerHook = savedHook_;
        MemFreeChunks();
        MemInitLists();
    }

    static void DefinePen(int pen)
    {
        PenDef &p = g_PenDefs[pen];
        std::snprintf(p.name, sizeof p.name, "pen %d", pen);
        p.setA = p.setB = PropertyDefault();
        p.setB.width = 0.5;
        p.setB.color1 = RGB(10, 20, 30);
        p.state = DEF_STATE_DEFAULT;
        p.layer = PEN_NO_LAYER;
    }
    static void DefineLayer(int layer)
    {
        LayerDef &l = g_LayerDefs[layer];
        std::snprintf(l.name, sizeof l.name, "layer %d", layer);
        l.setA = l.setB = XPropertyDefault();
        l.state = DEF_STATE_DEFAULT;
    }
    static void SetCp(int i, double x, double y, int32_t type = 0)
    {
        g_ConstructionPoints[i] = {x, y, type, 0};
    }
    static Unit *Tail() { return g_ObjectLists[LIST_DRAWING].tail; }
    static uint32_t Count() { return g_ObjectLists[LIST_DRAWING].count; }
    static std::vector<int> Kinds(Unit *u)
    {
        std::vector<int> kinds;
        for (Element *e = UnitFirstElement(u);; e = ElementNext(e)) {
            kinds.push_back(e->kind);
            if (e->kind == ELEM_END || kinds.size() > 64)
                break;
        }
        return kinds;
    }
    static bool FrameHolds(const Unit *u, double x, double y, double tol = 1e-9)
    {
        return u->frame[0] <= x + tol && x - tol <= u->frame[2] && u->frame[1] <= y + tol && y - tol <= u->frame[3];
    }
};
