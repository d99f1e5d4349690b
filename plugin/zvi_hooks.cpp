// The empty hook points.
#include "plugin/zvi_hooks.h"

extern "C" {
void __stdcall ZVI_HookPositionEnd(int, double *) {}
void __stdcall ZVI_HookKeyEnd(int, UINT, WPARAM, int, int) {}
void __stdcall ZVI_HookMouseEnd(int, UINT, WPARAM, int, int) {}
}
