#include "installer/InstallerCommandLine.h"

#include "installer/InstallSteps.h"
#include "installer/InstallerState.h"
#include "installer/InstanceGuard.h"
#include "installer/ShowDialog.h"
#include "installer/SysConsole.h"
#include "sysutil/CommandLine.h"
#include "sysutil/FileSystem.h"
#include "sysutil/Paths.h"
#include "sysutil/Seams.h"
#include "sysutil/TextHelpers.h"

#include <optional>

namespace {

// An optionally signed decimal number that fits 32 bits, and nothing else.
std::optional<int32_t> ReadInteger(const std::wstring& Text) {
    size_t index = 0;
    bool negative = false;
    if (index < Text.size() && (Text[index] == L'+' || Text[index] == L'-')) {
        negative = Text[index] == L'-';
        ++index;
    }
    if (index == Text.size()) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (; index < Text.size(); ++index) {
        if (Text[index] < L'0' || Text[index] > L'9') {
            return std::nullopt;
        }
        value = value * 10 + (Text[index] - L'0');
        if (value > 0x80000000LL) {
            return std::nullopt;
        }
    }
    value = negative ? -value : value;
    if (value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

[[noreturn]] void ShowHelp(bool FromConsole) {
    if (!FromConsole) {
        ShowDialog(L"Help", HelpText, DialogOK);
        EndProgram(ExitSuccess);
    }
    for (const std::wstring& line : SplitText(HelpText, L"\r")) {
        sysconsole::QuickOutput(line);
    }
    sysconsole::Disconnect();
    EndProgram(ExitSuccess);
}

void PickInstallType(TInstallPick Pick) {
    if (Setup.InstallSupport != TInstallSupport::Both) {
        ConsoleLog(L"(!) Installation does not allow changing install type.");
        return;
    }
    Setup.InstallPick = Pick;
}

void ReadInstallPath(const std::wstring& Value, bool FromConsole) {
    const std::wstring parent = ParentFolderOf(Value);
    if (!parent.empty() && FolderExists(parent)) {
        Setup.InstallPath = Value;
        return;
    }
    if (FromConsole) {
        ConsoleLog(L"(!) Attention: The installation path provided is invalid!");
    } else {
        ShowDialog(L"Error", L"The provided instalation path is invalid!", DialogOK);
    }
    EndProgram(ExitCommandLineRefused);
}

void ReadOption(const std::wstring& Number, const std::wstring& Value, bool FromConsole) {
    const std::optional<int32_t> option = ReadInteger(Number);
    if (!option) {
        if (FromConsole) {
            ConsoleLog(L"<!> Error: The provided parameter is incorrect");
        } else {
            ShowDialog(L"Error", L"The provided parameters are invalid!", DialogOK);
        }
        EndProgram(ExitCommandLineRefused);
    }
    const bool state = TextToBoolean(Value);
    switch (*option) {
    case 1:
        Setup.Option1 = state;
        break;
    case 2:
        Setup.Option2 = state;
        break;
    case 3:
        Setup.Option3 = state;
        break;
    default:
        break;
    }
}

} // namespace

void ConsoleLog(const std::wstring& Text) {
    if (sysconsole::ConsoleCalled()) {
        sysconsole::QuickOutput(Text);
    }
}

std::wstring ParentFolderOf(const std::wstring& Path) {
    std::wstring folder = ExpandPath(Path);
    if (!folder.empty() && folder.back() == L'\\') {
        folder.pop_back();
    }
    const size_t separator = folder.rfind(L'\\');
    if (separator == std::wstring::npos) {
        return {};
    }
    folder.resize(separator);
    if (folder.size() == 2 && folder[1] == L':') {
        folder += L'\\';
    }
    return folder;
}

int ReadCommandLine() {
    const bool fromConsole = sysconsole::ConsoleCalled();
    int runMode = 0;
    const int count = ParameterCount(StartCommandLine);
    // Every parameter is tested against every switch, the values of "-installpath" and
    // "-option" included, and a later parameter overrides an earlier one.
    for (int index = 1; index <= count; ++index) {
        const std::wstring parameter = GetParameter(index, StartCommandLine);
        if (parameter == L"-ad") {
            AutoDelete = true;
        }
        if (parameter == L"-help") {
            ShowHelp(fromConsole);
        }
        if (parameter == L"-startafterfinish") {
            AfterFinish = 2;
        }
        if (parameter == L"-user") {
            PickInstallType(TInstallPick::User);
        }
        if (parameter == L"-alluser") {
            PickInstallType(TInstallPick::AllUser);
        }
        if (parameter == L"-closeafterfinish") {
            AfterFinish = 1;
        }
        if (parameter == L"-start") {
            runMode = 1;
        }
        if (parameter == L"-silent") {
            runMode = 2;
        }
        if (parameter == L"-installpath") {
            ReadInstallPath(GetParameter(index + 1, StartCommandLine), fromConsole);
        }
        if (parameter == L"-option") {
            ReadOption(GetParameter(index + 1, StartCommandLine), GetParameter(index + 2, StartCommandLine),
                       fromConsole);
        }
    }

    if (Setup.InstallPick == TInstallPick::AllUser && !IsAdmin) {
        ConsoleLog(L"(!) Restarting as administrator");
        RestartAsAdmin(L"-alluser");
    }
    if (runMode == 0) {
        return runMode;
    }
    ConsoleLog(L"(!) Beginning instalation");
    if (runMode == 1) {
        ConsoleLog(L"(!) Installation type: normal");
        Wizard.StartPage = 7;
        return runMode;
    }
    ConsoleLog(L"(!) Installation type: silent");
    AfterFinish = 1;

    EstablishTempFolder();
    for (int32_t step = 1; step <= 5; ++step) {
        RunInstallStep(step);
    }
    ConsoleLog(InstallFailed ? L"(!) Installation has failed" : L"(!) Installation successfull");
    DoAfterFinish();
    // DoAfterFinish closes the installer, which ends the program when no window is shown.
    EndProgram(InstallFailed ? ExitInstallFailed : ExitSuccess);
}
