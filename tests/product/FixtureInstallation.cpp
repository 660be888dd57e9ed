#include "FixtureInstallation.h"

#include "sysutil/FileSystem.h"
#include "sysutil/Handles.h"
#include "sysutil/Paths.h"
#include "sysutil/Shortcut.h"

#include <winioctl.h>

#include <stdexcept>
#include <vector>

namespace {

const wchar_t* const UninstallKeys = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::wstring UniqueName() {
    static int counter = 0;
    return L"FetchoraTest" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
}

void MakeFolder(const std::wstring& Path) {
    if (!CreateDirectoryW(Path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        throw std::runtime_error("cannot create a test folder");
    }
}

// The sections and keys of a report in the order the installer writes them.
const wchar_t* const ReportLayout[][2] = {
    {L"Report", L"File Type"},
    {L"Report", L"Installer"},
    {L"Report", L"Version"},
    {L"Report", L"Report Version"},
    {L"Application", L"Name"},
    {L"Application", L"Install Path"},
    {L"Application", L"Data Path"},
    {L"Application", L"Executable"},
    {L"Configuration", L"Shortcut-Menu"},
    {L"Configuration", L"Shortcut-Desktop"},
    {L"Configuration", L"Options"},
    {L"Configuration", L"Extensions"},
    {L"Installation", L"Has EULA"},
    {L"Installation", L"User Install"},
    {L"Installation", L"Registry Record"},
    {L"Installation", L"Registry HIVE"},
};

} // namespace

void WriteTextFile(const std::wstring& Path, const std::string& Bytes) {
    TUniqueFileHandle file(
        CreateFileW(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), Bytes.data(), static_cast<DWORD>(Bytes.size()), &written, nullptr) ||
        written != Bytes.size()) {
        throw std::runtime_error("cannot write a test file");
    }
}

bool PathExists(const std::wstring& Path) {
    return GetFileAttributesW(Path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring UniqueTempFolder(const std::wstring& Tag) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + Tag + L"-" + UniqueName();
    MakeFolder(folder);
    return folder;
}

void RemoveTestTree(const std::wstring& Path) {
    try {
        if (PathExists(Path)) {
            RemoveFolderTree(Path);
        }
    } catch (const std::exception&) {
        // A test that failed may leave a file in use; the prefix's temporary folder takes it.
    }
}

bool MakeJunction(const std::wstring& Link, const std::wstring& Target) {
    // The mount-point layout of REPARSE_DATA_BUFFER, which MinGW's headers leave to the DDK.
    const std::wstring substitute = L"\\??\\" + Target;
    const std::wstring print = Target;
    const size_t names = (substitute.size() + 1 + print.size() + 1) * sizeof(wchar_t);
    std::vector<BYTE> buffer(8 + 8 + names);
    const auto put16 = [&](size_t Offset, size_t Value) {
        const WORD word = static_cast<WORD>(Value);
        memcpy(buffer.data() + Offset, &word, sizeof(word));
    };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    memcpy(buffer.data(), &tag, sizeof(tag));
    put16(4, 8 + names);
    put16(8, 0);
    put16(10, substitute.size() * sizeof(wchar_t));
    put16(12, (substitute.size() + 1) * sizeof(wchar_t));
    put16(14, print.size() * sizeof(wchar_t));
    memcpy(buffer.data() + 16, substitute.c_str(), (substitute.size() + 1) * sizeof(wchar_t));
    memcpy(buffer.data() + 16 + (substitute.size() + 1) * sizeof(wchar_t), print.c_str(),
           (print.size() + 1) * sizeof(wchar_t));

    if (!CreateDirectoryW(Link.c_str(), nullptr)) {
        return false;
    }
    bool made = false;
    {
        TUniqueFileHandle link(CreateFileW(Link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                           FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        DWORD returned = 0;
        made = link && DeviceIoControl(link.get(), FSCTL_SET_REPARSE_POINT, buffer.data(),
                                       static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    }
    if (!made) {
        RemoveDirectoryW(Link.c_str());
    }
    return made;
}

TFixtureInstallation::TFixtureInstallation(const TOverrides& Overrides, bool Utf16Report) {
    FName = UniqueName();
    FBase = UniqueTempFolder(L"Uninstall 100%");
    FFolder = FBase + (Utf16Report ? L"\\\u0141ukasz Quorvane" : L"\\Quorvane Media Fetcher");
    FData = FBase + L"\\Data";
    for (const std::wstring& folder : {FFolder, FFolder + L"\\media", FFolder + L"\\media\\codecs", FData}) {
        MakeFolder(folder);
    }
    WriteTextFile(Executable(), "MZ demo product");
    WriteTextFile(SelfPath(), "MZ uninstaller");
    WriteTextFile(FFolder + L"\\Readme.txt", "Quorvane Media Fetcher\r\n");
    WriteTextFile(FFolder + L"\\License.txt", "Licence\r\n");
    SetFileAttributesW((FFolder + L"\\License.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteTextFile(FFolder + L"\\media\\codecs\\codec.bin", std::string(4096, '\x5A'));
    WriteTextFile(FData + L"\\settings.ini", "[Fetcher]\r\nFolder=C:\\Media\r\n");
    WriteReport(Overrides, Utf16Report);

    const TComInitializer com;
    CreateShortcut(Executable(), MenuLink(), L"Quorvane Media Fetcher", L"");
    CreateShortcut(Executable(), DesktopLink(), L"Quorvane Media Fetcher", L"");

    TUniqueKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, RecordKey().c_str(), 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create the test's uninstall record");
    }
    const std::wstring name = L"Quorvane Media Fetcher";
    RegSetValueExW(key.get(), L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                   static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)));
}

TFixtureInstallation::~TFixtureInstallation() {
    DeleteFileW(MenuLink().c_str());
    DeleteFileW(DesktopLink().c_str());
    RegDeleteKeyExW(HKEY_CURRENT_USER, RecordKey().c_str(), KEY_WOW64_64KEY, 0);
    RemoveTestTree(FBase);
}

void TFixtureInstallation::WriteReport(const TOverrides& Overrides, bool Utf16Report) const {
    TOverrides values = {
        {L"Report/File Type", L"Halvex Software Installer Report"},
        {L"Report/Installer", L"Halvex Software Installer"},
        {L"Report/Version", L"1.8.0"},
        {L"Report/Report Version", L"1.0.0"},
        {L"Application/Name", FName},
        {L"Application/Install Path", FFolder + L"\\"},
        {L"Application/Data Path", FData + L"\\"},
        {L"Application/Executable", Executable()},
        {L"Configuration/Shortcut-Menu", L"1"},
        {L"Configuration/Shortcut-Desktop", L"1"},
        {L"Configuration/Options", L"false,false,false"},
        {L"Configuration/Extensions", L"false,false,false"},
        {L"Installation/Has EULA", L"1"},
        {L"Installation/User Install", L"1"},
        {L"Installation/Registry Record", std::wstring(UninstallKeys) + FName},
        {L"Installation/Registry HIVE", L"HKEY_CURRENT_USER"},
    };
    for (const auto& [key, value] : Overrides) {
        values[key] = value;
    }
    std::wstring text;
    std::wstring section;
    for (const auto& [sectionName, key] : ReportLayout) {
        if (section != sectionName) {
            section = sectionName;
            text += L"[" + section + L"]\r\n";
        }
        text += std::wstring(key) + L"=" + values[section + L"/" + key] + L"\r\n";
    }
    std::string bytes;
    if (Utf16Report) {
        bytes = "\xFF\xFE";
        bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    } else {
        const int size =
            WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        bytes.resize(static_cast<size_t>(size));
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                            nullptr);
    }
    WriteTextFile(FFolder + L"\\InstallReport.ini", bytes);
}

std::wstring TFixtureInstallation::MenuLink() const {
    return GetUserShellFolder(13) + L"\\" + FName + L".lnk";
}

std::wstring TFixtureInstallation::DesktopLink() const {
    return GetUserShellFolder(5) + L"\\" + FName + L".lnk";
}

std::wstring TFixtureInstallation::RecordKey() const {
    return UninstallKeys + FName;
}

bool TFixtureInstallation::RecordExists() const {
    TUniqueKey key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, RecordKey().c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.put()) ==
           ERROR_SUCCESS;
}

bool TFixtureInstallation::Intact() const {
    for (const std::wstring& file : {Executable(), SelfPath(), FFolder + L"\\Readme.txt", FFolder + L"\\License.txt",
                                     FFolder + L"\\media\\codecs\\codec.bin", FFolder + L"\\InstallReport.ini",
                                     FData + L"\\settings.ini", MenuLink(), DesktopLink()}) {
        if (!PathExists(file)) {
            return false;
        }
    }
    return RecordExists();
}

bool TFixtureInstallation::RemovedButSelf() const {
    std::vector<std::wstring> left;
    WIN32_FIND_DATAW entry;
    TUniqueFindHandle find(FindFirstFileW((FFolder + L"\\*").c_str(), &entry));
    if (find) {
        do {
            const std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..") {
                left.push_back(name);
            }
        } while (FindNextFileW(find.get(), &entry));
    }
    return left == std::vector<std::wstring>{L"Uninstall.exe"} && !PathExists(MenuLink()) &&
           !PathExists(DesktopLink()) && !RecordExists();
}
