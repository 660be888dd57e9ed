#include "InstallerFixture.h"

#include "installer/InstallerState.h"
#include "sysutil/FileSystem.h"

#include <fstream>
#include <sstream>

void ResetInstallerState() {
    App = AppOptions{};
    Setup = InstallOptions{};
    Previous = PreviousInstall{};
    Installer = nullptr;
    CurrentStep = 0;
    InstallFailed = false;
    AfterFinish = 0;
    TitleSuffix.clear();
    Wizard = TWizardPages{};
    TempFolder.clear();
    TextColor = clBlack;
    FoundProcess = TProcess{};
    AutoDelete = false;
    ForceInstance = false;
    IsAdmin = true;
    StartCommandLine.clear();
}

InstallerFixture::InstallerFixture()
    : FMessages([this](const std::wstring& Title, const std::wstring& Text, UINT Flags) {
          Dialogs.push_back({Title, Text, Flags});
          return Answer;
      }),
      FStarts([this](const TProgramStart& Start) { Starts.push_back(Start); }),
      // EndProgram throws EProgramEnded once the handler returns.
      FExits([](UINT) {}) {
    ResetInstallerState();
}

InstallerFixture::~InstallerFixture() {
    ResetInstallerState();
    if (!FWorkFolder.empty() && FolderExists(FWorkFolder)) {
        RemoveFolderTree(FWorkFolder);
    }
}

std::optional<UINT> InstallerFixture::ExitCodeOf(const std::function<void()>& Action) {
    try {
        Action();
    } catch (const EProgramEnded& ended) {
        return ended.ExitCode;
    }
    return std::nullopt;
}

std::wstring InstallerFixture::UniqueName() const {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::wstring name = L"FetchoraTest";
    for (const char c : std::string(info->name())) {
        name += isalnum(static_cast<unsigned char>(c)) ? static_cast<wchar_t>(c) : L'_';
    }
    return name + L"_" + std::to_wstring(GetCurrentProcessId());
}

const std::wstring& InstallerFixture::WorkFolder() {
    if (FWorkFolder.empty()) {
        wchar_t temp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, temp);
        FWorkFolder = std::wstring(temp) + UniqueName() + L"\\";
        if (FolderExists(FWorkFolder)) {
            RemoveFolderTree(FWorkFolder);
        }
        CreateFolderTree(FWorkFolder);
    }
    return FWorkFolder;
}

std::wstring UninstallKey(const std::wstring& AppName) {
    return L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + AppName;
}

std::optional<TRegistryValueRead> ReadRegistryValue(HKEY Hive, const std::wstring& Key, const std::wstring& Name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(Hive, Key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    TRegistryValueRead value;
    BYTE data[4096] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    const LONG result = RegQueryValueExW(key, Name.c_str(), nullptr, &value.Type, data, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        return std::nullopt;
    }
    if (value.Type == REG_SZ) {
        value.Text = reinterpret_cast<const wchar_t*>(data);
    } else if (value.Type == REG_DWORD) {
        value.Number = *reinterpret_cast<const DWORD*>(data);
    }
    return value;
}

void ExpectRegistryValues(HKEY Hive, const std::wstring& Key, const std::vector<TExpectedValue>& Values) {
    for (const TExpectedValue& expected : Values) {
        const auto value = ReadRegistryValue(Hive, Key, expected.Name);
        ASSERT_TRUE(value) << expected.Name;
        EXPECT_EQ(value->Type, expected.Type) << expected.Name;
        EXPECT_EQ(value->Type == REG_DWORD ? std::to_wstring(value->Number) : value->Text, expected.Content)
            << expected.Name;
    }
}

bool RegistryKeyExists(HKEY Hive, const std::wstring& Key) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(Hive, Key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void WriteRegistryString(HKEY Hive, const std::wstring& Key, const std::wstring& Name, const std::wstring& Value) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(Hive, Key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegSetValueExW(key, Name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                   static_cast<DWORD>((Value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void DeleteRegistryKey(HKEY Hive, const std::wstring& Key) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(Hive, Key.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS) {
        RegDeleteTreeW(key, nullptr);
        RegCloseKey(key);
        RegDeleteKeyExW(Hive, Key.c_str(), KEY_WOW64_64KEY, 0);
    }
}

void WriteTextFile(const std::wstring& FileName, const std::string& Content) {
    std::ofstream file(FileName.c_str(), std::ios::binary);
    file << Content;
}

std::string ReadTextFile(const std::wstring& FileName) {
    std::ifstream file(FileName.c_str(), std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

std::wstring ReadProfileKey(const std::wstring& FileName, const std::wstring& Section, const std::wstring& Key) {
    wchar_t buffer[1024] = {};
    GetPrivateProfileStringW(Section.c_str(), Key.c_str(), L"<missing>", buffer, 1024, FileName.c_str());
    return buffer;
}

void ExpectProfileKeys(const std::wstring& FileName, const std::vector<TExpectedProfileKey>& Keys) {
    for (const TExpectedProfileKey& key : Keys) {
        EXPECT_EQ(ReadProfileKey(FileName, key.Section, key.Key), key.Value) << key.Key;
    }
}
