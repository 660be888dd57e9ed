#include "installer/InstallerStartup.h"

#include "installer/InstallerCommandLine.h"
#include "installer/InstallerState.h"
#include "installer/InstanceGuard.h"
#include "installer/PreviousInstall.h"
#include "installer/ShowDialog.h"
#include "installer/SysConsole.h"
#include "sysutil/CommandLine.h"
#include "sysutil/Exceptions.h"
#include "sysutil/Seams.h"
#include "sysutil/Shortcut.h"
#include "sysutil/Utf8.h"

namespace {

bool ForceGiven() {
    const int count = ParameterCount(StartCommandLine);
    for (int index = 1; index <= count; ++index) {
        if (GetParameter(index, StartCommandLine) == L"-force") {
            return true;
        }
    }
    return false;
}

// This build has no installation wizard: a run that needs it is refused, never ignored.
[[noreturn]] void RefuseWizardRun() {
    if (sysconsole::ConsoleCalled()) {
        ConsoleLog(L"<!> Error: The installation wizard is not available, use -silent to install");
    } else {
        ShowDialog(L"Error", L"The installation wizard is not available. Start the installer with -silent to install.",
                   DialogOK);
    }
    EndProgram(ExitCommandLineRefused);
}

void RunStartup() {
    IsAdmin = IsUserAdmin();
    if (IsAnotherInstanceRunning()) {
        ForceInstance = ForceGiven();
        if (!ForceInstance) {
            ShowDialog(L"Program is already running", L"A instance of the installer is already running.", DialogOK);
            EndProgram(ExitNotContinued);
        }
    }
    SetDefaults();
    FindPreviousInstall();
    ReadCommandLine();
    RefuseWizardRun();
}

} // namespace

void ReportError(const std::wstring& Message) {
    if (sysconsole::ConsoleCalled()) {
        ConsoleLog(L"<!> Error: " + Message);
    } else {
        ShowDialog(L"Error", Message, DialogOK);
    }
}

unsigned RunInstaller(const std::wstring& CommandLine) {
    StartCommandLine = CommandLine;
    try {
        // The shortcuts of step 4 are shell link objects.
        const TComInitializer com;
        RunStartup();
    } catch (const EError& error) {
        ReportError(error.Message());
    } catch (const std::exception& error) {
        ReportError(Utf8ToWide(error.what()));
    }
    return ExitInstallFailed;
}
