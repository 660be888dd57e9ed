// The installer's entry point.
#include "installer/InstallerStartup.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The installer may run elevated from a Downloads folder: no DLL is ever loaded from
    // beside it or from the current folder.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return static_cast<int>(RunInstaller(GetCommandLineW()));
}
