#pragma once

// Cuts a module path at its last backslash, leaving the folder; false when there is none.
bool CutToFolder(char* path);

struct WindowOrigin {
    int x;
    int y;
};

// Centres a 420 x 300 area in the full-screen client area (signed: may be negative).
WindowOrigin MainWindowOrigin(int fullScreenWidth, int fullScreenHeight);
