// Construction candidates and the chooser: the one shared array of complete
// geometry records that constructions with several solutions and element
// identification leave, their XOR preview, the stepping through them in the
// multiple-identification box, and the builders that store a candidate.
#pragma once

#include <windows.h>

#include <cstdint>

#include "database/unit.h"
#include "geometry/calc.h"

constexpr int CALC_CANDIDATE_SLOTS = 20;
// Fields of a candidate beyond the defining ones.
constexpr int CANDIDATE_START_PARAMETER = 12; // elliptic arcs: axis-2 start parameter
constexpr int CANDIDATE_SWEEP = 13;
constexpr int CANDIDATE_EXTENTS = 14;         // d14 .. d17: xmin, ymin, xmax, ymax
constexpr int CANDIDATE_PEN_LAYER = 10;       // element candidates: pen and layer as two i32
constexpr int CANDIDATE_DISTANCE = 11;        // element candidates: distance to the pick

extern GeoObject g_CalcCandidates[CALC_CANDIDATE_SLOTS];
extern int32_t g_CalcCandidateCount;  // 0 when idle
extern int32_t g_CalcCandidateIndex;  // candidate shown; -1 when idle
extern int32_t g_CalcCandidateWindow; // window it is shown in; -1 when idle

// Back to idle: 0, -1, -1.
void CalcResetCandidates();

// The pen and layer an element candidate carries in d10.
void CalcCandidateSetPenLayer(GeoObject *g, int32_t pen, int32_t layer);
void CalcCandidatePenLayer(const GeoObject *g, int32_t *pen, int32_t *layer);

void CalcCompleteCandidates(GeoObject *candidates, int count);
// Draws one completed candidate in XOR into the output already set up (twice erases).
void CalcDrawCandidate(HDC hdc, const GeoObject *g);
// Draws or erases the candidate in a drawing window (999 the view window).
void CalcDrawCandidateInWindow(int window, const GeoObject *g);
// The caption of the multiple-identification box: title, position, count.
void CalcCandidateCaption(char *out, size_t size, const char *title, int index, int count);
// The chooser over the first count candidates; 1 when an object was created.
int CalcChooseCandidate(int window, int count, const CalcPoint *pick1, const CalcPoint *pick2,
                        const CalcPoint *pick3);

// Builders: the candidate as a new object of list 0 behind `after` (null: at
// the end), with the current pen and layer; null when it cannot be stored.
Unit *CalcCandidateToLine(int index, Unit *after);
Unit *CalcCandidateToZigzag(int index, Unit *after);
Unit *CalcCandidateToCircle(int index, Unit *after);
Unit *CalcCandidateToCircArc(int index, Unit *after);
Unit *CalcCandidateToEllipse(int index, Unit *after);
Unit *CalcCandidateToElliArc(int index, Unit *after);
