#include "installer/UninstallRecord.h"

#include "installer/InstallerState.h"
#include "sysutil/Paths.h"
#include "sysutil/RegistryAccessor.h"
#include "sysutil/WinRegistry.h"

#include <windows.h>

namespace {

// Full access in the 64-bit view, whatever the bitness of the running process.
constexpr REGSAM RecordAccess = KEY_ALL_ACCESS | KEY_WOW64_64KEY;

void WriteString(TRegistryAccessor& Key, const std::wstring& Name, const std::wstring& Value) {
    Key.WriteValue(Name, REG_SZ, Value.c_str(), static_cast<DWORD>((Value.size() + 1) * sizeof(wchar_t)));
}

void WriteInteger(TRegistryAccessor& Key, const std::wstring& Name, DWORD Value) {
    Key.WriteValue(Name, REG_DWORD, &Value, sizeof(Value));
}

void WriteLink(TRegistryAccessor& Key, const std::wstring& Name, const std::wstring& Value) {
    if (!Value.empty()) {
        WriteString(Key, Name, Value);
    }
}

} // namespace

void WriteUninstallRecord() {
    TRegistryAccessor key(RecordAccess, TWinRegistry::StringToHive(Setup.RegistryHIVE, HKEY_CURRENT_USER));
    // A failed open needs no test here: the first write raises its error.
    key.OpenKey(Setup.RegistryRecord, true);

    const uint64_t size = static_cast<uint64_t>(GetFolderSize(Setup.InstallPath)) / 1024;
    // Quoted, so that a path with blanks cannot start a program at its first blank.
    const std::wstring uninstaller =
        Setup.EnableUninstaller ? IncludeTrailingBackslash(Setup.InstallPath) + L"Uninstall.exe" : App.ExeLocation();

    WriteString(key, L"DisplayIcon", App.ExeLocation());
    WriteString(key, L"DisplayName", App.AppFullName);
    WriteString(key, L"DisplayVersion", App.ProgramVersion.ToString());
    WriteInteger(key, L"EstimatedSize", static_cast<DWORD>(size));
    WriteString(key, L"InstallLocation", Setup.InstallPath);
    WriteInteger(key, L"NoModify", 1);
    WriteInteger(key, L"NoRepair", 1);
    WriteString(key, L"Publisher", App.Publisher);
    WriteString(key, L"UninstallString", L"\"" + uninstaller + L"\"");
    WriteLink(key, L"URLInfoAbout", App.HelpLink);
    WriteLink(key, L"HelpLink", App.SupportLink);
    WriteLink(key, L"URLUpdateInfo", App.UpdateLink);
}

void DeleteUninstallRecord() {
    // An empty record path would name the hive itself.
    if (Setup.RegistryRecord.empty()) {
        return;
    }
    const HKEY hive = TWinRegistry::StringToHive(Setup.RegistryHIVE, HKEY_LOCAL_MACHINE);
    TRegistryAccessor::DeleteTree(hive, Setup.RegistryRecord, KEY_WOW64_64KEY);
}
