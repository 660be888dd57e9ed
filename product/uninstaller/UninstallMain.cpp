// The uninstaller's entry point: reads the switches, removes the installation it lies in
// and tells the outcome in a message box (unless -silent) and on the console of whoever
// started it. The exit code is TUninstallExit.
#include "product/ProductInfo.h"
#include "product/uninstaller/ConsoleOutput.h"
#include "product/uninstaller/Uninstaller.h"
#include "sysutil/CommandLine.h"
#include "sysutil/Exceptions.h"
#include "sysutil/Processes.h"
#include "sysutil/Seams.h"
#include "sysutil/Shortcut.h"
#include "sysutil/Utf8.h"

#include <windows.h>

namespace {

UINT Icon(TUninstallExit Exit) {
    return Exit == TUninstallExit::Success ? MB_ICONINFORMATION : MB_ICONERROR;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The uninstaller runs from a folder its user can write to: DLLs come from the system
    // folder only, and the current folder must not hold the folder being removed.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    wchar_t system[MAX_PATH];
    if (GetSystemDirectoryW(system, MAX_PATH) != 0) {
        SetCurrentDirectoryW(system);
    }

    std::vector<std::wstring> parameters;
    for (int i = 1; i <= ParameterCount(); ++i) {
        parameters.push_back(GetParameter(i));
    }
    const TUninstallOptions options = ReadUninstallOptions(parameters);

    const std::wstring self = ProcessImagePath(GetCurrentProcess());
    TUninstallResult result;
    try {
        TComInitializer com;
        result = Uninstall(self, options);
    } catch (const EError& error) {
        result = {TUninstallExit::Failed, error.Message()};
    } catch (const std::exception& error) {
        result = {TUninstallExit::Failed, Utf8ToWide(error.what())};
    }

    TConsoleOutput console;
    console.WriteLine(result.Message);
    if (!options.Silent && result.Exit != TUninstallExit::Cancelled) {
        ShowMessage(L"Uninstall " FETCHORA_FULL_NAME, result.Message, MB_OK | Icon(result.Exit));
    }
    // After a failure the uninstaller stays, so that the removal can be run again.
    if (result.Exit == TUninstallExit::Success) {
        try {
            ScheduleSelfDeletion(self);
        } catch (const EError& error) {
            console.WriteLine(error.Message());
        }
    }
    return static_cast<int>(result.Exit);
}
