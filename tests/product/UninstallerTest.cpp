#include "FixtureInstallation.h"

#include "product/uninstaller/Uninstaller.h"
#include "sysutil/Handles.h"
#include "sysutil/Seams.h"
#include "sysutil/ShellRun.h"
#include "sysutil/Shortcut.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using TOverrides = TFixtureInstallation::TOverrides;

// Answers the question, records every program start, and answers the administrator check.
struct TRecordingSeams {
    int Answer = IDNO;
    bool Admin = true;
    std::vector<std::wstring> Questions;
    std::vector<UINT> QuestionFlags;
    std::vector<TProgramStart> Starts;

    TMessageOverride Messages{[this](const std::wstring&, const std::wstring& Text, UINT Flags) {
        Questions.push_back(Text);
        QuestionFlags.push_back(Flags);
        return Answer;
    }};
    TStartOverride Programs{[this](const TProgramStart& Start) { Starts.push_back(Start); }};
    TAdminOverride AdminCheck{[this] { return Admin; }};
    TComInitializer Com;
};

TUninstallOptions Options(bool Silent, bool RemoveData = false) {
    TUninstallOptions options;
    options.Silent = Silent;
    options.RemoveData = RemoveData;
    return options;
}

std::wstring Environment(const wchar_t* Name) {
    wchar_t value[32768];
    const DWORD length = GetEnvironmentVariableW(Name, value, 32768);
    return std::wstring(value, length);
}

bool Contains(const std::wstring& Text, const std::wstring& Part) {
    return Text.find(Part) != std::wstring::npos;
}

// The self-deletion: a hidden cmd, started by its full path, that waits for the uninstaller
// to end and then deletes its file and the emptied folder.
TEST(Uninstaller, SchedulesItsOwnDeletionThroughAHiddenCmd) {
    const std::wstring base = UniqueTempFolder(L"SelfDeletion");
    const std::wstring folder = base + L"\\50% off %TEMP%";
    const std::wstring self = folder + L"\\Uninstall.exe";
    TRecordingSeams seams;
    ScheduleSelfDeletion(self);
    RemoveTestTree(base);
    ASSERT_EQ(seams.Starts.size(), 1u);
    const TProgramStart& start = seams.Starts[0];
    EXPECT_EQ(start.Verb, L"open");
    EXPECT_EQ(start.FileName, SystemProgramPath(L"cmd.exe"));
    EXPECT_EQ(start.ShowCommand, SW_HIDE);
    EXPECT_EQ(start.Parameters, L"/d /v:off /c timeout /t 3 /nobreak && del /f /q \"%FETCHORA_UNINSTALLER%\" && "
                                L"rmdir \"%FETCHORA_UNINSTALL_FOLDER%\"");
    // cmd reads the paths from its environment, so no character of theirs is taken as syntax.
    EXPECT_EQ(Environment(L"FETCHORA_UNINSTALLER"), self);
    EXPECT_EQ(Environment(L"FETCHORA_UNINSTALL_FOLDER"), folder);
}

TEST(Uninstaller, SilentRunRemovesEverythingButItselfAndTheDataFolder) {
    const struct {
        bool Utf16Report;
        bool RemoveData;
    } cases[] = {{true, false}, {true, true}, {false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "UTF-16 report " << c.Utf16Report << ", -removedata " << c.RemoveData);
        TFixtureInstallation fixture(TOverrides{}, c.Utf16Report);
        TRecordingSeams seams;
        const TUninstallResult result = Uninstall(fixture.SelfPath(), Options(true, c.RemoveData));
        EXPECT_EQ(result.Exit, TUninstallExit::Success) << result.Message;
        EXPECT_TRUE(fixture.RemovedButSelf());
        EXPECT_EQ(PathExists(fixture.DataFolder() + L"\\settings.ini"), !c.RemoveData);
        EXPECT_EQ(PathExists(fixture.DataFolder()), !c.RemoveData);
        EXPECT_EQ(Contains(result.Message, L"was kept"), !c.RemoveData) << result.Message;
        EXPECT_TRUE(seams.Questions.empty());
    }
}

TEST(Uninstaller, AsksFirstAndRemovesNothingWhenTheAnswerIsNo) {
    for (const int answer : {IDNO, IDYES}) {
        TFixtureInstallation fixture;
        TRecordingSeams seams;
        seams.Answer = answer;
        const TUninstallResult result = Uninstall(fixture.SelfPath(), Options(false));
        ASSERT_EQ(seams.Questions.size(), 1u);
        EXPECT_EQ(seams.QuestionFlags[0] & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
        EXPECT_TRUE(Contains(seams.Questions[0], fixture.Folder())) << seams.Questions[0];
        if (answer == IDNO) {
            EXPECT_EQ(result.Exit, TUninstallExit::Cancelled);
            EXPECT_TRUE(fixture.Intact());
        } else {
            EXPECT_EQ(result.Exit, TUninstallExit::Success) << result.Message;
            EXPECT_TRUE(fixture.RemovedButSelf());
            // The self-deletion must wait until the final message box is closed.
            EXPECT_TRUE(seams.Starts.empty());
        }
    }
}

// A report the uninstaller cannot act on changes nothing, and no question is asked first.
TEST(Uninstaller, RefusesReportsItCannotUse) {
    const struct {
        const wchar_t* Key;
        const wchar_t* Value;
        const wchar_t* Reason;
    } cases[] = {
        {L"Report/Report Version", L"1.0.1", L"newer than this uninstaller knows"},
        {L"Report/Report Version", L"2.0", L"newer than this uninstaller knows"},
        {L"Report/Report Version", L"one", L"no version"},
        {L"Report/Report Version", L"", L"is missing"},
        {L"Configuration/Shortcut-Menu", L"yes", L"instead of 1 or 0"},
        {L"Installation/User Install", L"", L"instead of 1 or 0"},
        {L"Application/Name", L"..\\..\\Fetchora", L"no plain name"},
        {L"Application/Executable", L"", L"is missing"},
        {L"Installation/Registry Record", L"SOFTWARE", L"no uninstall record"},
        {L"Installation/Registry Record", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\",
         L"no uninstall record"},
        {L"Installation/Registry Record", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\A\\B",
         L"no uninstall record"},
        {L"Installation/Registry HIVE", L"HKEY_CLASSES_ROOT", L"registry hive"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Key << " = " << testing::PrintToString(std::wstring(c.Value)));
        TFixtureInstallation fixture(TOverrides{{c.Key, c.Value}});
        TRecordingSeams seams;
        seams.Answer = IDYES;
        const TUninstallResult result = Uninstall(fixture.SelfPath(), Options(false));
        EXPECT_EQ(result.Exit, TUninstallExit::Refused) << result.Message;
        EXPECT_TRUE(Contains(result.Message, c.Reason)) << result.Message;
        EXPECT_TRUE(fixture.Intact());
        EXPECT_TRUE(seams.Questions.empty());
    }
}

TEST(Uninstaller, RefusesAMissingOrLockedReport) {
    for (const bool locked : {false, true}) {
        TFixtureInstallation fixture;
        TRecordingSeams seams;
        const std::wstring report = fixture.Folder() + L"\\InstallReport.ini";
        TUniqueFileHandle lock;
        if (locked) {
            lock.reset(CreateFileW(report.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(lock);
        } else {
            ASSERT_TRUE(DeleteFileW(report.c_str()));
        }
        const TUninstallResult result = Uninstall(fixture.SelfPath(), Options(true));
        EXPECT_EQ(result.Exit, TUninstallExit::Refused) << result.Message;
        EXPECT_TRUE(Contains(result.Message, L"cannot be read")) << result.Message;
        lock.reset();
        if (locked) {
            EXPECT_TRUE(fixture.Intact());
        }
        EXPECT_TRUE(PathExists(fixture.Executable()) && PathExists(fixture.MenuLink()) && fixture.RecordExists());
    }
}

TEST(Uninstaller, RefusesDangerousFolders) {
    wchar_t windows[MAX_PATH];
    GetSystemWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring profile = Environment(L"USERPROFILE");
    const std::wstring profiles = profile.substr(0, profile.rfind(L'\\'));
    const std::wstring programFiles = Environment(L"ProgramFiles");
    const wchar_t* const install = L"Application/Install Path";
    const wchar_t* const data = L"Application/Data Path";
    const struct {
        const wchar_t* Key;
        std::wstring Path;
        const wchar_t* Reason;
    } cases[] = {
        {install, L"", L"the path is empty"},
        {install, L"   ", L"the path is empty"},
        {install, L"C:\\", L"a drive root"},
        {install, L"C:/", L"a drive root"},
        {install, programFiles + L"\\..\\", L"a drive root"},
        {install, L"\\\\server\\share\\", L"a drive root"},
        {install, L"C:", L"not a full path"},
        {install, L"Fetchora\\", L"not a full path"},
        {install, L"\\Fetchora", L"not a full path"},
        {install, L"\\\\?\\C:\\Fetchora", L"not a full path"},
        {install, windows, L"it is the Windows folder"},
        {install, std::wstring(windows) + L"\\System32\\", L"inside the Windows folder"},
        {install, programFiles + L"\\", L"it is the program-files folder"},
        {install, profiles, L"it is the folder of user profiles"},
        {install, profiles + L"\\Someone Else", L"a user's profile folder"},
        {install, profile, L"it is your profile folder"},
        {install, Environment(L"LOCALAPPDATA"), L"it is your local application-data folder"},
        {install, Environment(L"APPDATA") + L"\\..", L"it holds your local application-data folder"},
        {data, profile + L"\\", L"The data folder"},
        {data, L"C:\\", L"a drive root"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Key << " = " << testing::PrintToString(c.Path));
        TFixtureInstallation fixture(TOverrides{{c.Key, c.Path}});
        TRecordingSeams seams;
        const TUninstallResult result = Uninstall(fixture.SelfPath(), Options(true, true));
        EXPECT_EQ(result.Exit, TUninstallExit::Refused) << result.Message;
        EXPECT_TRUE(Contains(result.Message, c.Reason)) << result.Message;
        EXPECT_TRUE(fixture.Intact());
    }
}

TEST(Uninstaller, RefusesAReportOfAnotherFolder) {
    TFixtureInstallation fixture;
    const TFixtureInstallation other;
    fixture.WriteReport({{L"Application/Install Path", other.Folder()}});
    TRecordingSeams seams;
    const TUninstallResult result = Uninstall(fixture.SelfPath(), Options(true));
    EXPECT_EQ(result.Exit, TUninstallExit::Refused) << result.Message;
    EXPECT_TRUE(Contains(result.Message, L"but the uninstaller runs from")) << result.Message;
    EXPECT_TRUE(fixture.Intact());
    EXPECT_TRUE(other.Intact());
}

TEST(Uninstaller, AnAllUsersInstallationNeedsAnAdministrator) {
    for (const bool admin : {false, true}) {
        TFixtureInstallation fixture(TOverrides{{L"Installation/User Install", L"0"}});
        TRecordingSeams seams;
        seams.Admin = admin;
        const TUninstallResult result = Uninstall(fixture.SelfPath(), Options(true));
        if (admin) {
            EXPECT_EQ(result.Exit, TUninstallExit::Success) << result.Message;
            EXPECT_TRUE(fixture.RemovedButSelf());
            // The self-deletion must wait until the final message box is closed.
            EXPECT_TRUE(seams.Starts.empty());
        } else {
            EXPECT_EQ(result.Exit, TUninstallExit::Refused) << result.Message;
            EXPECT_TRUE(Contains(result.Message, L"administrator")) << result.Message;
            EXPECT_TRUE(fixture.Intact());
        }
    }
}

TEST(Uninstaller, RemovesOnlyRecordedShortcutsToTheProduct) {
    {
        TFixtureInstallation fixture(
            {{L"Configuration/Shortcut-Menu", L"0"}, {L"Configuration/Shortcut-Desktop", L"0"}});
        TRecordingSeams seams;
        EXPECT_EQ(Uninstall(fixture.SelfPath(), Options(true)).Exit, TUninstallExit::Success);
        EXPECT_TRUE(PathExists(fixture.MenuLink()));
        EXPECT_TRUE(PathExists(fixture.DesktopLink()));
    }
    {
        TFixtureInstallation fixture;
        TRecordingSeams seams;
        // The user's own shortcut of the same name, to another program.
        CreateShortcut(fixture.Base() + L"\\Other.exe", fixture.DesktopLink(), L"Other", L"");
        const TUninstallResult result = Uninstall(fixture.SelfPath(), Options(true));
        EXPECT_EQ(result.Exit, TUninstallExit::Success) << result.Message;
        EXPECT_FALSE(PathExists(fixture.MenuLink()));
        EXPECT_TRUE(PathExists(fixture.DesktopLink()));
        EXPECT_TRUE(Contains(result.Message, L"leads to another program")) << result.Message;
    }
}

TEST(Uninstaller, RemovesAJunctionButNotWhereItLeads) {
    TFixtureInstallation fixture;
    const std::wstring outside = fixture.Base() + L"\\Outside";
    ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr));
    WriteTextFile(outside + L"\\keep.txt", "not part of the installation");
    if (!MakeJunction(fixture.Folder() + L"\\Library", outside)) {
        GTEST_SKIP() << "this system cannot make a junction (Wine 8 does not support FSCTL_SET_REPARSE_POINT)";
    }
    ASSERT_TRUE(PathExists(fixture.Folder() + L"\\Library\\keep.txt"));
    TRecordingSeams seams;
    const TUninstallResult result = Uninstall(fixture.SelfPath(), Options(true));
    EXPECT_EQ(result.Exit, TUninstallExit::Success) << result.Message;
    EXPECT_TRUE(fixture.RemovedButSelf());
    EXPECT_TRUE(PathExists(outside + L"\\keep.txt"));
}

// A file that cannot go stops the run with the shortcuts, the record and the report still
// in place, so that the uninstallation can simply be run again.
TEST(Uninstaller, StopsAtAFileInUseAndCanRunAgain) {
    TFixtureInstallation fixture;
    TRecordingSeams seams;
    TUniqueFileHandle inUse(CreateFileW((fixture.Folder() + L"\\media\\codecs\\codec.bin").c_str(), GENERIC_READ, 0,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(inUse);
    const TUninstallResult failed = Uninstall(fixture.SelfPath(), Options(true));
    EXPECT_EQ(failed.Exit, TUninstallExit::Failed) << failed.Message;
    EXPECT_TRUE(Contains(failed.Message, L"codec.bin")) << failed.Message;
    EXPECT_TRUE(PathExists(fixture.Folder() + L"\\InstallReport.ini"));
    EXPECT_TRUE(PathExists(fixture.MenuLink()) && PathExists(fixture.DesktopLink()) && fixture.RecordExists());

    inUse.reset();
    const TUninstallResult again = Uninstall(fixture.SelfPath(), Options(true));
    EXPECT_EQ(again.Exit, TUninstallExit::Success) << again.Message;
    EXPECT_TRUE(fixture.RemovedButSelf());
}

TEST(Uninstaller, RefusesWhileAProgramOfTheFolderRuns) {
    TFixtureInstallation fixture;
    ASSERT_TRUE(CopyFileW(FETCHORA_BINARY_DIR L"\\product\\Fetchora.exe", fixture.Executable().c_str(), FALSE));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    std::wstring command = L"\"" + fixture.Executable() + L"\"";
    ASSERT_TRUE(CreateProcessW(fixture.Executable().c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &started));
    const TUniqueKernelHandle process(started.hProcess);
    const TUniqueKernelHandle thread(started.hThread);
    WaitForInputIdle(process.get(), 10000);

    TRecordingSeams seams;
    const TUninstallResult result = Uninstall(fixture.SelfPath(), Options(true));
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 10000);
    EXPECT_EQ(result.Exit, TUninstallExit::Refused) << result.Message;
    EXPECT_TRUE(Contains(result.Message, L"Fetchora.exe is running")) << result.Message;
    EXPECT_TRUE(fixture.Intact());
}

TEST(Uninstaller, KnowsOnlyItsSwitches) {
    const struct {
        std::vector<std::wstring> Parameters;
        bool Silent;
        bool RemoveData;
        const wchar_t* Unknown;
    } cases[] = {
        {{}, false, false, L""},
        {{L"-silent"}, true, false, L""},
        {{L"/SILENT", L"-RemoveData"}, true, true, L""},
        {{L"-silent", L"--removedata", L"-x"}, true, false, L"--removedata"},
        {{L"silent"}, false, false, L"silent"},
    };
    for (const auto& c : cases) {
        const TUninstallOptions options = ReadUninstallOptions(c.Parameters);
        EXPECT_EQ(options.Silent, c.Silent);
        EXPECT_EQ(options.RemoveData, c.RemoveData);
        EXPECT_EQ(options.Unknown, c.Unknown);
    }
    TFixtureInstallation fixture;
    TRecordingSeams seams;
    const TUninstallResult result = Uninstall(fixture.SelfPath(), ReadUninstallOptions({L"-silent", L"-all"}));
    EXPECT_EQ(result.Exit, TUninstallExit::BadCommandLine);
    EXPECT_TRUE(Contains(result.Message, L"\"-all\"")) << result.Message;
    EXPECT_TRUE(fixture.Intact());
}

} // namespace
