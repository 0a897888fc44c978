// Placeholder bodies; hot zones and clicks replace them.
#include "window/clicks.h"

void trackHover(HWND, LPARAM) {}
void handleClick(HWND) {}
void handleDrop(HWND, HDROP drop) { DragFinish(drop); }
void startJob(HWND) {}
void abortJob() {}
void togglePause(HWND) {}
int chooseFile(HWND, char*, const char*) { return 0; }
int chooseFolder(HWND, char*) { return 0; }
void openHelp() {}
