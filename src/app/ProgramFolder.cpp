#include "app/ProgramFolder.h"

#include <cstring>

bool CutToFolder(char* path) {
    char* last = std::strrchr(path, '\\');
    if (!last)
        return false;
    *last = '\0';
    return true;
}

WindowOrigin MainWindowOrigin(int fullScreenWidth, int fullScreenHeight) {
    return {(fullScreenWidth - 420) / 2, (fullScreenHeight - 300) / 2};
}
