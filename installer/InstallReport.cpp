#include "installer/InstallReport.h"

#include "installer/InstallerState.h"
#include "sysutil/Exceptions.h"
#include "sysutil/Handles.h"
#include "sysutil/TextHelpers.h"

#include <windows.h>

namespace {

// Writes keys into one profile file through the system's profile functions.
class TIniWriter {
public:
    explicit TIniWriter(std::wstring FileName) : FFileName(std::move(FileName)) { CreateUnicodeFile(); }

    void Write(const wchar_t* Section, const wchar_t* Key, const std::wstring& Value) const {
        if (!WritePrivateProfileStringW(Section, Key, Value.c_str(), FFileName.c_str())) {
            throw EOSError(GetLastError(), FFileName);
        }
    }

private:
    // The profile functions keep the encoding of the file they find: a new file would be
    // written in the ANSI code page, so it starts as an empty UTF-16 file with its byte-order mark.
    void CreateUnicodeFile() const {
        const TUniqueFileHandle file(
            CreateFileW(FFileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS) {
                return;
            }
            throw EOSError(error, FFileName);
        }
        const BYTE bom[] = {0xFF, 0xFE};
        DWORD written = 0;
        if (!WriteFile(file.get(), bom, sizeof(bom), &written, nullptr) || written != sizeof(bom)) {
            throw EOSError(GetLastError(), FFileName);
        }
    }

    std::wstring FFileName;
};

std::wstring Flag(bool Value) {
    return Value ? L"1" : L"0";
}

std::wstring FlagList(bool First, bool Second, bool Third) {
    return BooleanToText(First) + L"," + BooleanToText(Second) + L"," + BooleanToText(Third);
}

} // namespace

void WriteInstallReport(const std::wstring& Folder) {
    const TIniWriter report(IncludeTrailingBackslash(Folder) + L"InstallReport.ini");
    report.Write(L"Report", L"File Type", L"Halvex Software Installer Report");
    report.Write(L"Report", L"Installer", L"Halvex Software Installer");
    report.Write(L"Report", L"Version", InstallerVersion.ToString());
    report.Write(L"Report", L"Report Version", ReportVersion.ToString());
    report.Write(L"Application", L"Name", App.AppName);
    report.Write(L"Application", L"Install Path", Setup.InstallPath);
    report.Write(L"Application", L"Data Path", App.AppDataPath);
    report.Write(L"Application", L"Executable", App.ExeLocation());
    report.Write(L"Configuration", L"Shortcut-Menu", Flag(Setup.CreateStartMenu));
    report.Write(L"Configuration", L"Shortcut-Desktop", Flag(Setup.CreateDesktop));
    report.Write(L"Configuration", L"Options", FlagList(Setup.Option1, Setup.Option2, Setup.Option3));
    report.Write(L"Configuration", L"Extensions", FlagList(Setup.Extension1, Setup.Extension2, Setup.Extension3));
    report.Write(L"Installation", L"Has EULA", Flag(Setup.HasEULA));
    report.Write(L"Installation", L"User Install", Flag(Setup.InstallPick == TInstallPick::User));
    report.Write(L"Installation", L"Registry Record", Setup.RegistryRecord);
    report.Write(L"Installation", L"Registry HIVE", Setup.RegistryHIVE);
}
