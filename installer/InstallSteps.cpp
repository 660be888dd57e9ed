#include "installer/InstallSteps.h"

#include "installer/InstallReport.h"
#include "installer/InstallerCommandLine.h"
#include "installer/InstallerState.h"
#include "installer/InstanceGuard.h"
#include "installer/PayloadResource.h"
#include "installer/ShowDialog.h"
#include "installer/UninstallRecord.h"
#include "installer/ZipArchive.h"
#include "sysutil/Exceptions.h"
#include "sysutil/FileSystem.h"
#include "sysutil/Handles.h"
#include "sysutil/Paths.h"
#include "sysutil/Seams.h"
#include "sysutil/ShellRun.h"
#include "sysutil/Shortcut.h"

#include <windows.h>

#include <cmath>
#include <vector>

namespace {

const wchar_t* const UninstallKeyPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// A guarded operation: its error only marks the run as failed.
template <typename TOperation> void Guarded(TOperation&& Operation) {
    try {
        Operation();
    } catch (const std::exception&) {
        InstallFailed = true;
    }
}

// The folder is taken as an absolute path with its environment references resolved, so
// that nothing lands relative to the current folder and the record names a real place.
std::wstring ResolveInstallPath(const std::wstring& Path) {
    if (Path.empty()) {
        throw EError(L"No installation folder was given.");
    }
    const std::wstring expanded = ExpandPath(Path);
    const DWORD length = GetFullPathNameW(expanded.c_str(), 0, nullptr, nullptr);
    if (length == 0) {
        throw EOSError(GetLastError(), expanded);
    }
    std::vector<wchar_t> buffer(length + 1);
    const DWORD written = GetFullPathNameW(expanded.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (written == 0 || written >= buffer.size()) {
        throw EOSError(GetLastError(), expanded);
    }
    return std::wstring(buffer.data(), written);
}

// Steps 3 and 4 write only into an installation folder that exists: an empty path or a
// folder step 1 could not create would put files, shortcuts and a record elsewhere.
bool InstallFolderMissing() {
    if (Setup.InstallPath.empty() || !FolderExists(Setup.InstallPath)) {
        InstallFailed = true;
        return true;
    }
    return false;
}

std::wstring ShortcutFile(uint8_t ShellFolder) {
    return IncludeTrailingBackslash(GetUserShellFolder(ShellFolder)) + App.AppName + L".lnk";
}

void Prepare() {
    Setup.RegistryRecord = UninstallKeyPath + App.AppName;
    Setup.RegistryHIVE = Setup.InstallPick == TInstallPick::User ? L"HKEY_CURRENT_USER" : L"HKEY_LOCAL_MACHINE";
    Guarded([] {
        Setup.InstallPath = ResolveInstallPath(Setup.InstallPath);
        if (!FolderExists(Setup.InstallPath)) {
            CreateFolderTree(Setup.InstallPath);
        }
    });
}

void Export() {
    const TPayloadResource program(L"program");
    Guarded([&] { program.SaveToFile(ArchivePath()); });
}

void Extract() {
    if (InstallFolderMissing()) {
        return;
    }
    const std::wstring archive = ArchivePath();
    if (!FileExists(archive)) {
        InstallFailed = true;
        return;
    }
    // Others may read the file but neither change nor delete it while it is checked
    // against the installer's own copy and extracted from this same handle.
    const TUniqueFileHandle file(CreateFileW(archive.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        throw EOSError(GetLastError(), archive);
    }
    const TPayloadResource program(L"program");
    Guarded([&] {
        if (!program.MatchesFile(file.get())) {
            throw EError(L"The exported archive was changed: " + archive);
        }
        TZipArchive zip(file.get());
        zip.ExtractAll(Setup.InstallPath);
    });
}

void Write() {
    const std::wstring archive = ArchivePath();
    if (FileExists(archive)) {
        RemoveFile(archive);
    }
    if (InstallFolderMissing()) {
        return;
    }
    if (Setup.CreateStartMenu) {
        CreateShortcut(App.ExeLocation(), ShortcutFile(13), App.AppFullName, L"");
    }
    if (Setup.CreateDesktop) {
        CreateShortcut(App.ExeLocation(), ShortcutFile(5), App.AppFullName, L"");
    }
    if (Setup.EnableUninstaller) {
        const TPayloadResource uninstaller(L"uninstall");
        Guarded([&] { uninstaller.SaveToFile(IncludeTrailingBackslash(Setup.InstallPath) + L"Uninstall.exe"); });
    }
    Guarded([] {
        if (Setup.AddRecordToRegistry) {
            WriteUninstallRecord();
        }
        WriteInstallReport(Setup.InstallPath);
    });
}

void Verify() {
    if (!FolderExists(Setup.InstallPath)) {
        InstallFailed = true;
    }
    if (Setup.CanBeRun && !FileExists(App.ExeLocation())) {
        InstallFailed = true;
    }
}

std::wstring FolderOf(const std::wstring& Path) {
    const size_t separator = Path.rfind(L'\\');
    return separator == std::wstring::npos ? std::wstring() : Path.substr(0, separator);
}

} // namespace

void RunInstallStep(int32_t Step) {
    switch (Step) {
    case 1:
        Prepare();
        break;
    case 2:
        Export();
        break;
    case 3:
        Extract();
        break;
    case 4:
        Write();
        break;
    case 5:
        Verify();
        break;
    default:
        break;
    }
}

void InstallTickTimer() {
    if (Installer != nullptr) {
        Installer->SetProgress(static_cast<int>(std::lround(CurrentStep / 5.0 * 100)));
    }
    ++CurrentStep;
    if (CurrentStep > 5 || InstallFailed) {
        FinishInstall();
    }
    RunInstallStep(CurrentStep);
}

void FinishInstall() {
    if (Installer != nullptr) {
        Installer->StopInstallTick();
        if (Installer->Showing()) {
            Installer->ChangePage(InstallFailed ? 9 : 8);
        }
    }
    DoAfterFinish();
}

void DoAfterFinish() {
    if (AfterFinish == 1) {
        CloseInstaller();
    } else if (AfterFinish == 2) {
        StartInstalledApp();
    }
}

void StartInstalledApp() {
    if (Setup.CanBeRun) {
        const std::wstring program = App.ExeLocation();
        RunProgram(program, true, L"", false, FolderOf(program));
        Sleep(500);
    }
    CloseInstaller();
}

std::wstring SelfDeletionParameters(const std::wstring& InstallerPath) {
    // cmd expands %...% even between quotation marks, and a quotation mark would end the
    // quoted path: such a path is never handed to it.
    if (InstallerPath.find_first_of(L"%\"") != std::wstring::npos) {
        return {};
    }
    return L"/c \"timeout /t 3 && del \"" + InstallerPath + L"\"\"";
}

void CloseInstaller() {
    if (AutoDelete) {
        const std::wstring parameters = SelfDeletionParameters(InstallerExecutablePath());
        if (!parameters.empty()) {
            RunProgram(SystemProgramPath(L"cmd.exe"), false, parameters, false, ExpandPath(L"%SYSTEMROOT%"));
        }
    }
    if (Installer != nullptr && Installer->Showing()) {
        Installer->Close();
        return;
    }
    EndProgram(InstallFailed ? ExitInstallFailed : ExitSuccess);
}

void DeleteTemporaryFiles() {
    if (ShowDialog(L"Are you sure?", L"Are you sure you want to delete all the temporary files", DialogYesNo) !=
        DialogResultYes) {
        return;
    }
    const std::wstring archive = ArchivePath();
    if (FileExists(archive)) {
        RemoveFile(archive);
    }
    // After a failed update the folder and the record belong to the earlier, working
    // installation: they stay.
    if (Previous.Exists) {
        return;
    }
    if (!Setup.InstallPath.empty() && FolderExists(Setup.InstallPath)) {
        RemoveFolderTree(Setup.InstallPath);
    }
    DeleteUninstallRecord();
}

void EstablishTempFolder() {
    TempFolder = GetAppDataPath(L"Halvex Installer", true, true, TAppDataKind::adLocal) + L"Temp\\";
    if (!FolderExists(TempFolder)) {
        CreateFolderTree(TempFolder);
    }
}

std::wstring ArchivePath() {
    return IncludeTrailingBackslash(TempFolder) + L"program.zip";
}
