// The empty hook points.
#include "plugin/zvi_hooks.h"

void ZVI_HookPositionEnd(int, double *) {}
void ZVI_HookKeyEnd(int, UINT, WPARAM, int, int) {}
void ZVI_HookMouseEnd(int, UINT, WPARAM, int, int) {}
