#include "sysutil/Paths.h"

#include "ScratchFolder.h"
#include "sysutil/Exceptions.h"
#include "sysutil/FileSystem.h"
#include "sysutil/Handles.h"
#include "sysutil/Seams.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace {

constexpr const wchar_t* ShellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const wchar_t* UserShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::wstring Environment(const wchar_t* Name) {
    wchar_t value[32768];
    return std::wstring(value, GetEnvironmentVariableW(Name, value, 32768));
}

// Sets a process environment variable for the lifetime of the object.
class TScopedVariable {
public:
    TScopedVariable(const wchar_t* Name, const wchar_t* Value) : FName(Name) {
        if (GetEnvironmentVariableW(Name, nullptr, 0) != 0) {
            FPrevious = Environment(Name);
        }
        SetEnvironmentVariableW(Name, Value);
    }
    ~TScopedVariable() { SetEnvironmentVariableW(FName, FPrevious ? FPrevious->c_str() : nullptr); }
    TScopedVariable(const TScopedVariable&) = delete;
    TScopedVariable& operator=(const TScopedVariable&) = delete;

private:
    const wchar_t* FName;
    std::optional<std::wstring> FPrevious;
};

// One registry value of the real (Wine) registry, changed by a test and put back exactly as it
// was (type and data, or absent) when the test ends.
class TScopedRegValue {
public:
    TScopedRegValue(HKEY Root, const wchar_t* Key, const wchar_t* Name) : FName(Name) {
        EXPECT_EQ(
            RegCreateKeyExW(Root, Key, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, FKey.put(), nullptr),
            ERROR_SUCCESS);
        DWORD size = 0;
        if (RegQueryValueExW(FKey.get(), Name, nullptr, &FType, nullptr, &size) == ERROR_SUCCESS) {
            FData.emplace(size);
            RegQueryValueExW(FKey.get(), Name, nullptr, &FType, FData->data(), &size);
        }
    }
    ~TScopedRegValue() {
        if (FData) {
            RegSetValueExW(FKey.get(), FName, 0, FType, FData->data(), static_cast<DWORD>(FData->size()));
        } else {
            RegDeleteValueW(FKey.get(), FName);
        }
    }
    TScopedRegValue(const TScopedRegValue&) = delete;
    TScopedRegValue& operator=(const TScopedRegValue&) = delete;

    void SetText(const std::wstring& Value, DWORD Type = REG_SZ) {
        ASSERT_EQ(RegSetValueExW(FKey.get(), FName, 0, Type, reinterpret_cast<const BYTE*>(Value.c_str()),
                                 static_cast<DWORD>((Value.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    void SetNumber(DWORD Value) {
        ASSERT_EQ(RegSetValueExW(FKey.get(), FName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Value), sizeof(Value)),
                  ERROR_SUCCESS);
    }
    void Remove() { RegDeleteValueW(FKey.get(), FName); }

private:
    TUniqueKey FKey;
    const wchar_t* FName;
    DWORD FType = 0;
    std::optional<std::vector<BYTE>> FData;
};

std::wstring ReadRegText(HKEY Root, const wchar_t* Key, const wchar_t* Name) {
    wchar_t value[2048];
    DWORD size = sizeof(value);
    if (RegGetValueW(Root, Key, Name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value, &size) !=
        ERROR_SUCCESS) {
        return std::wstring();
    }
    return value;
}

struct ExpandCase {
    const wchar_t* Text;
    std::wstring Expected;
};

TEST(Paths, ExpandPercentVariablesTriesEveryPairOfSigns) {
    const TScopedVariable a(L"FX_S2_A", L"alpha");
    const TScopedVariable b(L"FX_S2_B", L"beta");
    const TScopedVariable c(L"FX_S2_C", L"%FX_S2_A%");
    const std::wstring longValue(1000, L'v');
    const TScopedVariable l(L"FX_S2_LONG", longValue.c_str());
    const std::wstring programFiles = Environment(L"ProgramFiles");
    ASSERT_FALSE(programFiles.empty());

    const ExpandCase cases[] = {
        {L"%PROGRAMFILES%\\Fetchora\\", programFiles + L"\\Fetchora\\"},
        {L"%FX_S2_A%;%FX_S2_A%", L"alpha;alpha"},
        {L"%fx_s2_a%\\%Fx_S2_B%", L"alpha\\beta"},
        {L"%temp%", Environment(L"TEMP")},
        {L"%FX_S2_A%;%;%;%FX_S2_B%", L"alpha;%;%;beta"},
        // The middle sign closes one pair and opens the next.
        {L"%FX_S2_A%FX_S2_B%", L"alphaFX_S2_B%"},
        {L"%FX_S2_UNSET%FX_S2_B%", L"%FX_S2_UNSETbeta"},
        // Pairs come from the text as given; each replaces its first match in the result.
        {L"%FX_S2_C%-%FX_S2_A%", L"alpha-%FX_S2_A%"},
        {L"[%FX_S2_LONG%]", L"[" + longValue + L"]"},
        {L"%FX_S2_UNSET%", L"%FX_S2_UNSET%"},
        {L"100%% sure", L"100%% sure"},
        {L"50% off", L"50% off"},
        {L"no signs", L"no signs"},
        {L"", L""},
    };
    for (const ExpandCase& c : cases) {
        EXPECT_EQ(ExpandPercentVariables(c.Text), c.Expected) << c.Text;
        EXPECT_EQ(ExpandPath(c.Text), c.Expected) << c.Text;
    }
}

TEST(Paths, ExpandShellFoldersNeedsLowerCaseShellThenIgnoresCase) {
    const std::wstring desktop = ReadRegText(HKEY_CURRENT_USER, ShellFolders, L"Desktop");
    ASSERT_FALSE(desktop.empty());
    // The machine key goes first; names match inside longer names, the first listed winning.
    TScopedRegValue both(HKEY_LOCAL_MACHINE, ShellFolders, L"FxS2Both");
    both.SetText(L"C:\\machine");
    TScopedRegValue userBoth(HKEY_CURRENT_USER, ShellFolders, L"FxS2Both");
    userBoth.SetText(L"C:\\user");
    TScopedRegValue shorter(HKEY_CURRENT_USER, ShellFolders, L"FxS2Abc");
    shorter.SetText(L"C:\\short");
    TScopedRegValue longer(HKEY_CURRENT_USER, ShellFolders, L"FxS2AbcDef");
    longer.SetText(L"C:\\long");
    TScopedRegValue number(HKEY_CURRENT_USER, ShellFolders, L"FxS2Number");
    number.SetNumber(7);
    const TScopedVariable a(L"FX_S2_A", L"alpha");

    const ExpandCase cases[] = {
        {L"shell:desktop\\x", desktop + L"\\x"},
        {L"Shell:Desktop\\x", L"Shell:Desktop\\x"},
        {L"SHELL:desktop", L"SHELL:desktop"},
        {L"shell:nothing;SHELL:Desktop;shell:DESKTOP", L"shell:nothing;" + desktop + L";" + desktop},
        {L"shell:fxs2both", L"C:\\machine"},
        {L"shell:fxs2abcdef", L"C:\\shortdef"},
        {L"shell:fxs2number", L"shell:fxs2number"},
        {L"C:\\plain", L"C:\\plain"},
    };
    for (const ExpandCase& c : cases) {
        EXPECT_EQ(ExpandShellFolders(c.Text), c.Expected) << c.Text;
    }
    EXPECT_EQ(ExpandPath(L"shell:desktop\\%FX_S2_A%"), desktop + L"\\alpha");
}

TEST(Paths, SystemFacts) {
    const std::wstring drive = GetSystemDrive();
    ASSERT_EQ(drive.size(), 2u) << drive;
    EXPECT_EQ(drive[1], L':');
    EXPECT_EQ(GetCurrentUserName(), Environment(L"USERNAME"));

    // RtlGetVersion answers truthfully whatever the manifest says.
    using TRtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    const auto rtlGetVersion = reinterpret_cast<TRtlGetVersion>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(rtlGetVersion, nullptr);
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_EQ(rtlGetVersion(&version), 0);
    EXPECT_FLOAT_EQ(GetWindowsVersionNumber(),
                    static_cast<float>(version.dwMajorVersion) + static_cast<float>(version.dwMinorVersion) / 10.0f);
}

TEST(Paths, AppDataPathPerKind) {
    const std::wstring name = L"FetchoraS2-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring local = ExpandPath(L"%LOCALAPPDATA%\\");
    EXPECT_EQ(GetAppDataPath(name, true, false, TAppDataKind::adLocal), local + L"HalvexSoftware\\" + name + L"\\");
    EXPECT_FALSE(FolderExists(local + L"HalvexSoftware\\" + name)) << "nothing is created";
    EXPECT_EQ(GetAppDataPath(name, false, false, TAppDataKind::adRoaming),
              Environment(L"APPDATA") + L"\\" + name + L"\\");
    EXPECT_EQ(GetAppDataPath(name, false, false, TAppDataKind::adLocalLow),
              Environment(L"USERPROFILE") + L"\\AppData\\LocalLow\\" + name + L"\\");
    EXPECT_THROW(GetAppDataPath(name, false, false, static_cast<TAppDataKind>(3)), ERangeError);
}

TEST(Paths, AppDataPathCreatesTheMissingFolders) {
    TScratchFolder scratch(L"appdata");
    {
        const TScopedVariable local(L"LOCALAPPDATA", scratch.Path().c_str());
        EXPECT_EQ(GetAppDataPath(L"Halvex Installer", true, true, TAppDataKind::adLocal),
                  scratch.Path() + L"\\HalvexSoftware\\Halvex Installer\\");
        EXPECT_TRUE(FolderExists(scratch / L"HalvexSoftware\\Halvex Installer"));
        EXPECT_EQ(GetAppDataPath(L"Plain", false, true, TAppDataKind::adLocal), scratch.Path() + L"\\Plain\\");
        EXPECT_TRUE(FolderExists(scratch / L"Plain"));
    }
    scratch.MakeFile(L"blocked", 1);
    const TScopedVariable blocked(L"LOCALAPPDATA", (scratch / L"blocked").c_str());
    EXPECT_THROW(GetAppDataPath(L"Name", true, true, TAppDataKind::adLocal), EOSError);
    EXPECT_NO_THROW(GetAppDataPath(L"Name", true, false, TAppDataKind::adLocal)) << "without creating, no check";
}

// Runs only in the copy that the next test starts, which Wine reports as Windows XP.
TEST(PathsOnOldSystems, DISABLED_AppDataPathUsesDocumentsAndSettings) {
    ASSERT_LT(GetWindowsVersionNumber(), 6.0f);
    const std::wstring expected = GetSystemDrive() + L"\\Documents and Settings\\" + GetCurrentUserName() +
                                  L"\\Application Data\\HalvexSoftware\\Fetchora\\";
    for (TAppDataKind kind : {TAppDataKind::adLocal, TAppDataKind::adRoaming, TAppDataKind::adLocalLow}) {
        EXPECT_EQ(GetAppDataPath(L"Fetchora", true, false, kind), expected);
    }
}

TEST(Paths, AppDataPathOnOldSystems) {
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr) {
        GTEST_SKIP() << "needs Wine, which can report an old Windows version for one program";
    }
    TScratchFolder scratch(L"oldsystem");
    const std::wstring program = L"fetchora-xp-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileW(self, (scratch / program).c_str(), TRUE));
    const std::wstring appDefaults = L"Software\\Wine\\AppDefaults\\" + program;
    {
        TScopedRegValue version(HKEY_CURRENT_USER, appDefaults.c_str(), L"Version");
        version.SetText(L"winxp");
        std::wstring command = L"\"" + (scratch / program) +
                               L"\" --gtest_also_run_disabled_tests --gtest_filter=PathsOnOldSystems.* "
                               L"--gtest_output=xml:\"" +
                               (scratch / L"result.xml") + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(
            CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process));
        const TUniqueKernelHandle processHandle(process.hProcess);
        const TUniqueKernelHandle threadHandle(process.hThread);
        ASSERT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
        DWORD exitCode = 1;
        GetExitCodeProcess(process.hProcess, &exitCode);
        EXPECT_EQ(exitCode, 0u);
    }
    RegDeleteKeyW(HKEY_CURRENT_USER, appDefaults.c_str());
    std::ostringstream result;
    result << std::ifstream((scratch / L"result.xml").c_str()).rdbuf();
    // The exit code alone would not tell a passing test from a filter that matched none.
    EXPECT_NE(result.str().find("<testsuites tests=\"1\" failures=\"0\""), std::string::npos) << result.str();
    EXPECT_NE(result.str().find("status=\"run\""), std::string::npos) << result.str();
}

TEST(Paths, FolderSizeCountsFilesOfEveryLevel) {
    TScratchFolder scratch(L"size");
    EXPECT_EQ(GetFolderSize(scratch.Path()), 0);
    scratch.MakeFile(L"two.bin", 2048);
    scratch.MakeFolder(L"sub");
    scratch.MakeFile(L"sub\\one.bin", 1024);
    EXPECT_EQ(GetFolderSize(scratch.Path()), 3072);
    EXPECT_EQ(GetFolderSize(scratch.Path() + L"\\"), 3072);

    // A folder named like a variable is itself; only the caller's path is expanded.
    scratch.MakeFolder(L"%TEMP%");
    scratch.MakeFile(L"%TEMP%\\five.bin", 5);
    const TScopedVariable variable(L"FX_S2_SCRATCH", scratch.Path().c_str());
    EXPECT_EQ(GetFolderSize(L"%FX_S2_SCRATCH%"), 3077);

    // Past 4 GiB the high half of the size counts. Setting the end only, so it costs no disk.
    {
        const TUniqueFileHandle big(
            CreateFileW((scratch / L"big.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(big);
        LARGE_INTEGER end{};
        end.QuadPart = 5LL << 30;
        ASSERT_TRUE(SetFilePointerEx(big.get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(big.get()));
    }
    EXPECT_EQ(GetFolderSize(scratch.Path()), (5LL << 30) + 3077);
    RemoveFile(scratch / L"big.bin");

    for (const std::wstring& path : {scratch / L"missing", scratch / L"two.bin", std::wstring()}) {
        EXPECT_EQ(GetFolderSize(path), 0) << path;
    }
}

TEST(Paths, FolderSizeDoesNotEnterFolderLinks) {
    TScratchFolder scratch(L"sizelink");
    scratch.MakeFolder(L"counted");
    scratch.MakeFile(L"counted\\file.bin", 100);
    scratch.MakeFolder(L"outside");
    scratch.MakeFile(L"outside\\elsewhere.bin", 7000);
    if (!scratch.MakeFolderLink(scratch / L"counted\\back-up", scratch / L"counted") ||
        !scratch.MakeFolderLink(scratch / L"counted\\away", scratch / L"outside")) {
        GTEST_SKIP() << "no folder links on this system";
    }
    EXPECT_EQ(GetFolderSize(scratch / L"counted"), 100);
}

TEST(Paths, UserShellFolderByNumber) {
    const std::wstring profile = ExpandPath(L"%USERPROFILE%");
    ASSERT_FALSE(profile.empty());
    EXPECT_EQ(GetUserShellFolder(0), profile);

    struct {
        uint8_t Folder;
        const wchar_t* ValueName;
    } const folders[] = {
        {1, L"AppData"},   {2, L"Local AppData"}, {3, L"Personal"}, {4, L"My Pictures"},
        {5, L"Desktop"},   {6, L"My Music"},      {7, L"My Video"}, {8, L"NetHood"},
        {9, L"Recent"},    {10, L"Start Menu"},   {11, L"Startup"}, {12, L"{374DE290-123F-4565-9164-39C4925E467B}"},
        {13, L"Programs"},
    };
    for (const auto& f : folders) {
        EXPECT_EQ(GetUserShellFolder(f.Folder),
                  ExpandPath(ReadRegText(HKEY_CURRENT_USER, UserShellFolders, f.ValueName)))
            << f.ValueName;
    }
    EXPECT_EQ(GetUserShellFolder(5), profile + L"\\Desktop") << "stored unexpanded, returned expanded";

    std::vector<std::wstring> messages;
    const TMessageOverride recorder([&messages](const std::wstring&, const std::wstring& Text, UINT) {
        messages.push_back(Text);
        return IDOK;
    });
    TScopedRegValue netHood(HKEY_CURRENT_USER, UserShellFolders, L"NetHood");
    netHood.SetText(L"%USERPROFILE%\\FxS2Net", REG_EXPAND_SZ);
    EXPECT_EQ(GetUserShellFolder(8), profile + L"\\FxS2Net");
    netHood.Remove();
    EXPECT_EQ(GetUserShellFolder(8), L"");
    EXPECT_EQ(GetUserShellFolder(14), L"");
    EXPECT_EQ(GetUserShellFolder(255), L"");
    EXPECT_TRUE(messages.empty()) << "a missing value is no error";

    netHood.SetNumber(1);
    EXPECT_EQ(GetUserShellFolder(8), L"");
    EXPECT_EQ(messages, std::vector<std::wstring>{L"Windows Registry Error: Cannot read from the Windows Registry"});
}

} // namespace
