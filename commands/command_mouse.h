// The mouse handling of the drawing windows (index 0 to 3 or 999, client pixels).
#pragma once

void CommandMouseMove(int window, int x, int y);
void CommandLButtonDown(int window, int x, int y);
void CommandLButtonUp(int window, int x, int y);
void CommandRButtonDown(int window, int x, int y);
void CommandRButtonUp(int window, int x, int y);
void CommandMButtonDown(int window, int x, int y);
void CommandMButtonUp(int window, int x, int y);
