// Removes the installation that the install report beside the uninstaller describes: the
// installation folder, the recorded shortcuts, the uninstall record and, on request, the
// product's data folder. The uninstaller's own file goes last: it runs from inside the
// folder, so a hidden command interpreter deletes it (and the then empty folder) once the
// uninstaller has ended.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The process's exit code. Refused: nothing was changed; Failed: the removal began and
// stopped at an error.
enum class TUninstallExit : UINT { Success = 0, Failed = 1, BadCommandLine = 2, Cancelled = 3, Refused = 4 };

struct TUninstallOptions {
    bool Silent = false;     // -silent: no question and no message boxes, console lines only
    bool RemoveData = false; // -removedata: the product's data folder goes as well
    std::wstring Unknown;    // the first parameter that is none of these; the run is refused
};

// The parameters after the program name, each switch with "-" or "/" in any letter case.
TUninstallOptions ReadUninstallOptions(const std::vector<std::wstring>& Parameters);

struct TUninstallResult {
    TUninstallExit Exit = TUninstallExit::Success;
    std::wstring Message;
};

// Performs one uninstallation; options with an unknown parameter are refused at once
// (BadCommandLine). SelfPath is the uninstaller's own executable, which must lie in the
// recorded installation folder beside "InstallReport.ini"; everything else in that folder
// goes. The confirmation is asked through ShowMessage (sysutil/Seams.h); COM must be
// initialised on the calling thread.
TUninstallResult Uninstall(const std::wstring& SelfPath, const TUninstallOptions& Options);

// Starts, through StartProgram, the hidden command interpreter that waits three seconds,
// then deletes SelfPath and its folder if that is empty by then. The file cannot go while
// the uninstaller runs: call this last, right before the program ends (after any message
// box, which could otherwise outlast the wait).
void ScheduleSelfDeletion(const std::wstring& SelfPath);
