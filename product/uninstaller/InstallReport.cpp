#include "product/uninstaller/InstallReport.h"

#include "sysutil/Exceptions.h"
#include "sysutil/Handles.h"

#include <windows.h>

#include <vector>

const TVersionRec TInstallReport::KnownVersion(1, 0, 0, 0);

namespace {

class TReportReader {
public:
    explicit TReportReader(const std::wstring& FileName) : FFileName(FileName) {}

    std::wstring Text(const wchar_t* Section, const wchar_t* Key) const {
        // Paths may be long; the profile functions cut a value at the buffer's size.
        std::vector<wchar_t> buffer(32768);
        const DWORD length = GetPrivateProfileStringW(Section, Key, L"", buffer.data(),
                                                      static_cast<DWORD>(buffer.size()), FFileName.c_str());
        return std::wstring(buffer.data(), length);
    }

    std::wstring Required(const wchar_t* Section, const wchar_t* Key) const {
        std::wstring value = Text(Section, Key);
        if (value.empty()) {
            throw Malformed(Key, L"is missing");
        }
        return value;
    }

    bool Flag(const wchar_t* Section, const wchar_t* Key) const {
        const std::wstring value = Text(Section, Key);
        if (value != L"1" && value != L"0") {
            throw Malformed(Key, L"is \"" + value + L"\" instead of 1 or 0");
        }
        return value == L"1";
    }

    EError Malformed(const wchar_t* Key, const std::wstring& Problem) const {
        return EError(L"The install report " + FFileName + L" cannot be used: \"" + Key + L"\" " + Problem + L".");
    }

private:
    std::wstring FFileName;
};

// The profile functions answer a missing or locked file with the default values, which
// would read as an empty report: the file is opened first to tell the two apart.
void CheckReadable(const std::wstring& FileName) {
    TUniqueFileHandle file(CreateFileW(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw EError(L"The install report " + FileName + L" cannot be read. " + SystemErrorMessage(GetLastError()));
    }
}

// A file name of its own: no folders, no device or stream syntax.
bool IsPlainName(const std::wstring& Name) {
    return Name != L"." && Name != L".." && Name.find_first_of(L"\\/:*?\"<>|") == std::wstring::npos;
}

} // namespace

TInstallReport TInstallReport::Read(const std::wstring& FileName) {
    CheckReadable(FileName);
    const TReportReader reader(FileName);
    TInstallReport report;

    const std::wstring version = reader.Required(L"Report", L"Report Version");
    try {
        report.ReportVersion.Parse(version);
    } catch (const EConvertError&) {
        throw reader.Malformed(L"Report Version", L"is \"" + version + L"\", which is no version");
    }
    if (report.ReportVersion.NewerThan(KnownVersion)) {
        throw EError(L"The install report " + FileName + L" has the format " + report.ReportVersion.ToString() +
                     L", newer than this uninstaller knows (" + KnownVersion.ToString() +
                     L"). Use the uninstaller of the newer installation.");
    }

    report.Name = reader.Required(L"Application", L"Name");
    if (!IsPlainName(report.Name)) {
        throw reader.Malformed(L"Name", L"is \"" + report.Name + L"\", which is no plain name");
    }
    report.InstallPath = reader.Text(L"Application", L"Install Path");
    report.DataPath = reader.Text(L"Application", L"Data Path");
    report.Executable = reader.Required(L"Application", L"Executable");
    report.ShortcutMenu = reader.Flag(L"Configuration", L"Shortcut-Menu");
    report.ShortcutDesktop = reader.Flag(L"Configuration", L"Shortcut-Desktop");
    report.UserInstall = reader.Flag(L"Installation", L"User Install");
    report.RegistryRecord = reader.Required(L"Installation", L"Registry Record");
    report.RegistryHive = reader.Required(L"Installation", L"Registry HIVE");
    return report;
}
