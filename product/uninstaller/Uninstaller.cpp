#include "product/uninstaller/Uninstaller.h"

#include "product/uninstaller/InstallReport.h"
#include "product/uninstaller/ProtectedFolders.h"
#include "product/uninstaller/ShortcutTarget.h"
#include "sysutil/Exceptions.h"
#include "sysutil/FileSystem.h"
#include "sysutil/Handles.h"
#include "sysutil/Paths.h"
#include "sysutil/Processes.h"
#include "sysutil/Seams.h"
#include "sysutil/ShellRun.h"
#include "sysutil/TextHelpers.h"
#include "sysutil/WinRegistry.h"

namespace {

const wchar_t* const ReportFileName = L"InstallReport.ini";
const wchar_t* const UninstallKeys = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// The shell folders of the shortcuts, as GetUserShellFolder numbers them.
constexpr uint8_t StartMenuPrograms = 13;
constexpr uint8_t Desktop = 5;
// The self-deletion command reads the paths from these variables: cmd expands a variable
// once, so a "%" or "^" in a path stays as it is instead of being read as syntax.
const wchar_t* const SelfVariable = L"FETCHORA_UNINSTALLER";
const wchar_t* const FolderVariable = L"FETCHORA_UNINSTALL_FOLDER";

std::wstring ParentFolder(const std::wstring& Path) {
    const size_t separator = Path.rfind(L'\\');
    return separator == std::wstring::npos ? std::wstring() : NormalizePath(Path.substr(0, separator + 1));
}

// The same folder by the file system's identity, whatever its spelling (short names,
// links, letter case).
bool SameFolder(const std::wstring& A, const std::wstring& B) {
    const auto identify = [](const std::wstring& Path, BY_HANDLE_FILE_INFORMATION& Info) {
        TUniqueFileHandle folder(CreateFileW(Path.c_str(), FILE_READ_ATTRIBUTES,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return folder && GetFileInformationByHandle(folder.get(), &Info) != FALSE;
    };
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    if (!identify(A, a) || !identify(B, b)) {
        return SamePath(A, B);
    }
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

void RemovePlainFile(const std::wstring& Path) {
    // A read-only file cannot be deleted as it is. The attributes of a file link would be
    // set on the file it leads to, which is not the installation's; the link itself goes.
    const DWORD attributes = GetFileAttributesW(Path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        SetFileAttributesW(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    RemoveFile(Path);
}

class TUninstallation {
public:
    TUninstallation(const std::wstring& SelfPath, const TUninstallOptions& Options)
        : FSelf(NormalizePath(SelfPath)), FOptions(Options) {}

    TUninstallResult Run();

private:
    void Check();
    void CheckRegistryRecord();
    void CheckNothingRuns() const;
    bool Confirmed() const;
    void RemoveInstallFolder() const;
    void RemoveShortcut(bool Recorded, uint8_t ShellFolder);
    void RemoveRegistryRecord() const;
    void RemoveDataFolder() const;
    std::wstring Removed() const;
    // Beside the uninstaller, which is the recorded folder once Check has passed.
    std::wstring ReportPath() const { return ParentFolder(FSelf) + L"\\" + ReportFileName; }

    std::wstring FSelf;
    TUninstallOptions FOptions;
    TInstallReport FReport;
    std::wstring FFolder;
    std::wstring FDataFolder;
    std::wstring FNotes;
};

TUninstallResult TUninstallation::Run() {
    // Every check comes before the first change: a refusal leaves everything as it was.
    try {
        if (FSelf.empty()) {
            throw EError(L"The uninstaller cannot tell where it runs from.");
        }
        FReport = TInstallReport::Read(ReportPath());
        Check();
    } catch (const EError& error) {
        return {TUninstallExit::Refused, error.Message()};
    }
    if (!FOptions.Silent && !Confirmed()) {
        return {TUninstallExit::Cancelled, L"The uninstallation was cancelled; nothing was removed."};
    }
    // The folder goes first and the report last: should anything resist, the shortcuts, the
    // record and the report stay, and the uninstallation can be run again.
    try {
        RemoveInstallFolder();
        RemoveShortcut(FReport.ShortcutMenu, StartMenuPrograms);
        RemoveShortcut(FReport.ShortcutDesktop, Desktop);
        RemoveRegistryRecord();
        RemoveDataFolder();
        RemovePlainFile(ReportPath());
    } catch (const EError& error) {
        return {TUninstallExit::Failed, FReport.Name + L" could not be removed completely. " + error.Message()};
    }
    return {TUninstallExit::Success, Removed()};
}

void TUninstallation::Check() {
    const std::wstring reason = ProtectedFolderReason(FReport.InstallPath);
    if (!reason.empty()) {
        throw EError(L"The installation folder \"" + FReport.InstallPath + L"\" is not removed: " + reason + L".");
    }
    FFolder = NormalizePath(FReport.InstallPath);
    const std::wstring ownFolder = ParentFolder(FSelf);
    if (!SameFolder(FFolder, ownFolder)) {
        throw EError(L"The install report names the folder \"" + FReport.InstallPath +
                     L"\", but the uninstaller runs from \"" + ownFolder + L"\"; nothing was removed.");
    }
    if (FOptions.RemoveData && !FReport.DataPath.empty()) {
        const std::wstring dataReason = ProtectedFolderReason(FReport.DataPath);
        if (!dataReason.empty()) {
            throw EError(L"The data folder \"" + FReport.DataPath + L"\" is not removed: " + dataReason + L".");
        }
        FDataFolder = NormalizePath(FReport.DataPath);
    }
    CheckRegistryRecord();
    CheckNothingRuns();
}

void TUninstallation::CheckRegistryRecord() {
    HKEY hive = nullptr;
    if (!TWinRegistry::StringToHiveEx(FReport.RegistryHive, hive) ||
        (hive != HKEY_CURRENT_USER && hive != HKEY_LOCAL_MACHINE)) {
        throw EError(L"The install report names the registry hive \"" + FReport.RegistryHive +
                     L"\"; an uninstall record lies in HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE.");
    }
    // Only a product's own key below the list of installed programs is ever deleted.
    const std::wstring prefix = UninstallKeys;
    const std::wstring name =
        FReport.RegistryRecord.size() > prefix.size() ? FReport.RegistryRecord.substr(prefix.size()) : L"";
    if (!SamePath(FReport.RegistryRecord.substr(0, prefix.size()), prefix) || name.empty() ||
        name.find(L'\\') != std::wstring::npos) {
        throw EError(L"The install report names the registry key \"" + FReport.RegistryRecord +
                     L"\", which is no uninstall record.");
    }
    FReport.RegistryHive = TWinRegistry::HiveToString(hive);
    if ((hive == HKEY_LOCAL_MACHINE || !FReport.UserInstall) && !IsUserAdmin()) {
        throw EError(FReport.Name +
                     L" is installed for all users: start the uninstaller as an administrator to remove it.");
    }
}

void TUninstallation::CheckNothingRuns() const {
    const std::wstring executable = NormalizePath(FReport.Executable);
    for (const TProcess& process : GetRunningProcesses()) {
        if (process.PID == GetCurrentProcessId() || process.FileName.empty()) {
            continue;
        }
        const std::wstring file = NormalizePath(process.FileName);
        if (SamePath(file, executable) || IsInsideFolder(file, FFolder)) {
            throw EError(file + L" is running. Close it, then start the uninstaller again.");
        }
    }
}

bool TUninstallation::Confirmed() const {
    std::wstring text = L"Remove " + FReport.Name + L" from this computer?\n\nThe folder " + FFolder +
                        L" is deleted with everything in it, and so are the program's shortcuts.";
    if (!FDataFolder.empty()) {
        text += L" Your data in " + FDataFolder + L" is deleted as well.";
    }
    return ShowMessage(L"Uninstall " + FReport.Name, text, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void TUninstallation::RemoveInstallFolder() const {
    std::vector<WIN32_FIND_DATAW> entries;
    {
        WIN32_FIND_DATAW entry;
        TUniqueFindHandle find(FindFirstFileW((FFolder + L"\\*").c_str(), &entry));
        if (!find) {
            throw EOSError(GetLastError(), FFolder);
        }
        do {
            entries.push_back(entry);
        } while (FindNextFileW(find.get(), &entry));
    }
    // The folder is the uninstaller's own (Check made sure), so names are compared.
    const std::wstring selfName = FSelf.substr(FSelf.rfind(L'\\') + 1);
    for (const WIN32_FIND_DATAW& entry : entries) {
        const std::wstring name = entry.cFileName;
        const std::wstring path = FFolder + L"\\" + name;
        if (name == L"." || name == L".." || SamePath(name, selfName) || SamePath(name, ReportFileName)) {
            continue;
        }
        // A folder link goes as a link; what it leads to is not part of the installation.
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            RemoveFolderTree(path);
        } else {
            RemovePlainFile(path);
        }
    }
}

void TUninstallation::RemoveShortcut(bool Recorded, uint8_t ShellFolder) {
    if (!Recorded) {
        return;
    }
    const std::wstring folder = GetUserShellFolder(ShellFolder);
    if (folder.empty()) {
        return;
    }
    const std::wstring link = folder + L"\\" + FReport.Name + L".lnk";
    if (!FileExists(link)) {
        return;
    }
    // A shortcut of the same name that leads elsewhere is the user's own.
    if (!SamePath(NormalizePath(ShortcutTarget(link)), NormalizePath(FReport.Executable))) {
        FNotes += L" The shortcut " + link + L" leads to another program and was kept.";
        return;
    }
    RemovePlainFile(link);
}

void TUninstallation::RemoveRegistryRecord() const {
    TWinRegistry registry;
    registry.SetErrorKind(TRegistryErrorKind::OperatingSystem);
    // The installer writes the record in the 64-bit view, whatever its own bitness.
    registry.SetRegistryMode(TRegistryMode::Windows64);
    registry.DeleteKey(FReport.RegistryHive + L"\\" + FReport.RegistryRecord);
}

void TUninstallation::RemoveDataFolder() const {
    if (!FDataFolder.empty() && FolderExists(FDataFolder)) {
        RemoveFolderTree(FDataFolder);
    }
}

std::wstring TUninstallation::Removed() const {
    std::wstring text = FReport.Name + L" was removed from this computer.";
    if (!FOptions.RemoveData && !FReport.DataPath.empty() && FolderExists(FReport.DataPath)) {
        text += L" Its data folder " + FReport.DataPath + L" was kept.";
    }
    return text + FNotes;
}

} // namespace

TUninstallOptions ReadUninstallOptions(const std::vector<std::wstring>& Parameters) {
    TUninstallOptions options;
    for (const std::wstring& parameter : Parameters) {
        std::wstring name = LowerText(parameter);
        if (!name.empty() && name[0] == L'/') {
            name[0] = L'-';
        }
        if (name == L"-silent") {
            options.Silent = true;
        } else if (name == L"-removedata") {
            options.RemoveData = true;
        } else if (options.Unknown.empty()) {
            options.Unknown = parameter;
        }
    }
    return options;
}

void ScheduleSelfDeletion(const std::wstring& SelfPath) {
    const std::wstring self = NormalizePath(SelfPath);
    SetEnvironmentVariableW(SelfVariable, self.c_str());
    SetEnvironmentVariableW(FolderVariable, ParentFolder(self).c_str());
    const std::wstring cmd = SystemProgramPath(L"cmd.exe");
    // Started in the system folder, which also keeps "timeout" from being found anywhere
    // else. /d skips AutoRun commands, /v:off keeps "!" in paths literal; rmdir removes the
    // folder only when it is empty by then.
    const std::wstring command = std::wstring(L"/d /v:off /c timeout /t 3 /nobreak && del /f /q \"%") + SelfVariable +
                                 L"%\" && rmdir \"%" + FolderVariable + L"%\"";
    RunProgram(cmd, false, command, false, ParentFolder(cmd));
}

TUninstallResult Uninstall(const std::wstring& SelfPath, const TUninstallOptions& Options) {
    if (!Options.Unknown.empty()) {
        return {TUninstallExit::BadCommandLine,
                L"Unknown parameter \"" + Options.Unknown + L"\". The uninstaller knows -silent and -removedata."};
    }
    return TUninstallation(SelfPath, Options).Run();
}
