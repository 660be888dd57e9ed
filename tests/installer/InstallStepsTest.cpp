#include "InstallerFixture.h"

#include "installer/InstallSteps.h"
#include "installer/InstallerCommandLine.h"
#include "installer/InstallerState.h"
#include "installer/InstanceGuard.h"
#include "installer/PayloadResource.h"
#include "sysutil/Exceptions.h"
#include "sysutil/FileSystem.h"
#include "sysutil/Handles.h"
#include "sysutil/Paths.h"
#include "sysutil/Shortcut.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;

namespace {

// What the steps ask of the wizard window, recorded.
class TRecordingWindow : public TInstallerWindow {
public:
    bool Showing() const override { return Visible; }
    void SetProgress(int Percent) override { Progress.push_back(Percent); }
    void StopInstallTick() override { ++TickStops; }
    void ChangePage(uint8_t Page) override { Pages.push_back(Page); }
    void Close() override { ++Closes; }

    bool Visible = true;
    std::vector<int> Progress;
    int TickStops = 0;
    std::vector<int> Pages;
    int Closes = 0;
};

// Installations of a product with a name of the test's own: its shortcuts and uninstall
// record never meet another test's.
class InstallSteps : public InstallerFixture {
protected:
    InstallSteps() {
        SetDefaults();
        App.AppName = UniqueName();
        ::Setup.InstallPick = TInstallPick::User;
        TempFolder = WorkFolder() + L"Temp\\";
        CreateFolderTree(TempFolder);
        ::Setup.InstallPath = WorkFolder() + L"Product";
    }
    ~InstallSteps() override {
        DeleteRegistryKey(HKEY_CURRENT_USER, Record());
        DeleteRegistryKey(HKEY_LOCAL_MACHINE, Record());
        DeleteFileW(Shortcut(5).c_str());
        DeleteFileW(Shortcut(13).c_str());
    }

    std::wstring Record() const { return UninstallKey(App.AppName); }
    std::wstring Shortcut(uint8_t Folder) const { return GetUserShellFolder(Folder) + L"\\" + App.AppName + L".lnk"; }
    std::wstring Installed(const wchar_t* Name) const { return IncludeTrailingBackslash(::Setup.InstallPath) + Name; }

    void RunAllSteps() {
        for (int32_t step = 1; step <= 5; ++step) {
            RunInstallStep(step);
        }
    }
    void ExpectNothingWritten() {
        EXPECT_TRUE(InstallFailed);
        EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, Record()));
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, Record()));
        EXPECT_FALSE(FileExists(Shortcut(5)));
        EXPECT_FALSE(FileExists(Shortcut(13)));
        EXPECT_FALSE(FileExists(ArchivePath())) << "the exported archive is removed all the same";
    }

    const TComInitializer FCom;
    TRecordingWindow Window;
};

TEST_F(InstallSteps, ACleanRunTakesSixTicks) {
    Installer = &Window;
    for (int tick = 1; tick <= 6; ++tick) {
        InstallTickTimer();
        EXPECT_EQ(Window.Pages.empty(), tick < 6) << "tick " << tick;
    }
    EXPECT_THAT(Window.Progress, ElementsAre(0, 20, 40, 60, 80, 100));
    EXPECT_THAT(Window.Pages, ElementsAre(8));
    EXPECT_EQ(Window.TickStops, 1);
    EXPECT_FALSE(InstallFailed);

    EXPECT_EQ(::Setup.InstallPath, WorkFolder() + L"Product");
    for (const wchar_t* file :
         {L"Fetchora.exe", L"License.txt", L"Readme.txt", L"Uninstall.exe", L"InstallReport.ini"}) {
        EXPECT_TRUE(FileExists(Installed(file))) << file;
    }
    EXPECT_FALSE(FileExists(ArchivePath()));
    EXPECT_TRUE(FileExists(Shortcut(5)));
    EXPECT_TRUE(FileExists(Shortcut(13)));
    EXPECT_EQ(::Setup.RegistryHIVE, L"HKEY_CURRENT_USER");
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, Record(), L"InstallLocation")->Text, ::Setup.InstallPath);
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, Record()));

    const TPayloadResource uninstaller(L"uninstall");
    EXPECT_EQ(ReadTextFile(Installed(L"Uninstall.exe")),
              std::string(reinterpret_cast<const char*>(uninstaller.Data()), uninstaller.Size()));
}

TEST_F(InstallSteps, AFailedExtractionStillWritesOnce) {
    // A folder where the archive has a file: the extraction fails.
    CreateFolderTree(Installed(L"License.txt"));
    Installer = &Window;
    for (int tick = 1; tick <= 4; ++tick) {
        InstallTickTimer();
    }
    EXPECT_TRUE(InstallFailed);
    EXPECT_THAT(Window.Progress, ElementsAre(0, 20, 40, 60));
    EXPECT_THAT(Window.Pages, ElementsAre(9));
    EXPECT_EQ(CurrentStep, 4);
    EXPECT_TRUE(FileExists(Installed(L"InstallReport.ini"))) << "step 4 ran";
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, Record()));
}

TEST_F(InstallSteps, WithoutAnInstallationFolderNothingIsWritten) {
    WriteTextFile(WorkFolder() + L"file", "in the way");
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    const std::wstring here = IncludeTrailingBackslash(current);
    for (const std::wstring& path : {std::wstring(), WorkFolder() + L"file\\Product", WorkFolder() + L"bad|name",
                                     WorkFolder() + L"NUL\\Product"}) {
        SCOPED_TRACE(::testing::PrintToString(path));
        InstallFailed = false;
        ::Setup.InstallPath = path;
        RunAllSteps();
        ExpectNothingWritten();
        EXPECT_FALSE(FileExists(here + L"InstallReport.ini"));
        EXPECT_FALSE(FileExists(here + L"Uninstall.exe"));
        EXPECT_FALSE(FileExists(here + L"License.txt"));
    }
}

TEST_F(InstallSteps, AFailedUpdateLeavesTheEarlierRecord) {
    WriteRegistryString(HKEY_CURRENT_USER, Record(), L"InstallLocation", L"C:\\Earlier");
    WriteRegistryString(HKEY_CURRENT_USER, Record(), L"DisplayVersion", L"1.0.0");
    WriteTextFile(WorkFolder() + L"file", "in the way");
    ::Setup.InstallPath = WorkFolder() + L"file\\Product";
    RunAllSteps();
    EXPECT_TRUE(InstallFailed);
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, Record(), L"InstallLocation")->Text, L"C:\\Earlier");
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, Record(), L"DisplayVersion")->Text, L"1.0.0");
    EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, Record(), L"UninstallString"));
}

TEST_F(InstallSteps, AnExpandedRelativePathBecomesAbsolute) {
    SetEnvironmentVariableW(L"FETCHORA_TEST_FOLDER", WorkFolder().c_str());
    ::Setup.InstallPath = L"%FETCHORA_TEST_FOLDER%Sub\\..\\Product\\";
    RunInstallStep(1);
    EXPECT_FALSE(InstallFailed);
    EXPECT_EQ(::Setup.InstallPath, WorkFolder() + L"Product\\");
    EXPECT_TRUE(FolderExists(::Setup.InstallPath));
}

TEST_F(InstallSteps, AChangedArchiveIsNotExtracted) {
    RunInstallStep(1);
    RunInstallStep(2);
    std::string archive = ReadTextFile(ArchivePath());
    archive[archive.size() / 2] ^= 0x55;
    WriteTextFile(ArchivePath(), archive);
    RunInstallStep(3);
    EXPECT_TRUE(InstallFailed);
    EXPECT_FALSE(FileExists(Installed(L"Fetchora.exe")));
}

TEST_F(InstallSteps, AnArchiveOthersMayWriteIsNotOpened) {
    RunInstallStep(1);
    RunInstallStep(2);
    const TUniqueFileHandle writer(CreateFileW(ArchivePath().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                               nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    EXPECT_THROW(RunInstallStep(3), EOSError);
    EXPECT_FALSE(FileExists(Installed(L"Fetchora.exe")));
}

TEST_F(InstallSteps, AMissingArchiveFailsTheExtraction) {
    RunInstallStep(1);
    RunInstallStep(3);
    EXPECT_TRUE(InstallFailed);
}

TEST_F(InstallSteps, VerifyChecksTheFolderAndTheProduct) {
    RunInstallStep(1);
    RunInstallStep(5);
    EXPECT_TRUE(InstallFailed) << "no product yet";
    InstallFailed = false;
    ::Setup.CanBeRun = false;
    RunInstallStep(5);
    EXPECT_FALSE(InstallFailed) << "only the folder counts";
    RunInstallStep(0);
    RunInstallStep(6);
    EXPECT_FALSE(InstallFailed);
}

TEST(SelfDeletion, NeverHandsCmdAPathItWouldExpand) {
    EXPECT_EQ(SelfDeletionParameters(L"C:\\Users\\Ann\\Downloads\\Setup (1).exe"),
              L"/c \"timeout /t 3 && del \"C:\\Users\\Ann\\Downloads\\Setup (1).exe\"\"");
    for (const wchar_t* path : {L"C:\\Users\\%USERNAME%\\Setup.exe", L"C:\\100%\\Setup.exe", L"C:\\a\"b\\Setup.exe"}) {
        EXPECT_EQ(SelfDeletionParameters(path), L"") << ::testing::PrintToString(path);
    }
}

TEST_F(InstallSteps, ClosingEndsWithTheRunsExitCode) {
    AutoDelete = true;
    EXPECT_EQ(ExitCodeOf(CloseInstaller), ExitSuccess);
    ASSERT_EQ(Starts.size(), 1u);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(Starts[0].FileName, std::wstring(system) + L"\\cmd.exe");
    EXPECT_EQ(Starts[0].Verb, L"open");
    EXPECT_EQ(Starts[0].ShowCommand, SW_HIDE);
    EXPECT_EQ(Starts[0].WorkingFolder, ExpandPath(L"%SYSTEMROOT%"));
    EXPECT_EQ(Starts[0].Parameters, SelfDeletionParameters(InstallerExecutablePath()));

    AutoDelete = false;
    InstallFailed = true;
    EXPECT_EQ(ExitCodeOf(CloseInstaller), ExitInstallFailed);
    EXPECT_EQ(Starts.size(), 1u);

    // A shown wizard window is closed instead; closing it ends the program.
    Installer = &Window;
    EXPECT_EQ(ExitCodeOf(CloseInstaller), std::nullopt);
    EXPECT_EQ(Window.Closes, 1);
}

TEST_F(InstallSteps, TheAfterFinishActions) {
    ::Setup.InstallPath = WorkFolder() + L"Product\\";
    struct TCase {
        uint8_t AfterFinish;
        bool CanBeRun;
        size_t Starts;
        std::optional<UINT> ExitCode;
    };
    const TCase cases[] = {
        {0, true, 0, std::nullopt},
        {1, true, 0, ExitSuccess},
        {2, true, 1, ExitSuccess},
        {2, false, 0, ExitSuccess},
    };
    for (const TCase& c : cases) {
        Starts.clear();
        AfterFinish = c.AfterFinish;
        ::Setup.CanBeRun = c.CanBeRun;
        EXPECT_EQ(ExitCodeOf(DoAfterFinish), c.ExitCode) << int(c.AfterFinish);
        ASSERT_EQ(Starts.size(), c.Starts);
    }
    AfterFinish = 2;
    ::Setup.CanBeRun = true;
    Starts.clear();
    ExitCodeOf(DoAfterFinish);
    EXPECT_EQ(Starts[0].FileName, WorkFolder() + L"Product\\Fetchora.exe");
    EXPECT_EQ(Starts[0].Verb, L"open");
    EXPECT_EQ(Starts[0].ShowCommand, SW_SHOWNORMAL);
    EXPECT_EQ(Starts[0].WorkingFolder, WorkFolder() + L"Product");
    EXPECT_EQ(Starts[0].Parameters, L"");
}

TEST_F(InstallSteps, DeletingTemporaryFilesAsksAndSparesAnUpdate) {
    RunAllSteps();
    ASSERT_FALSE(InstallFailed);
    WriteTextFile(ArchivePath(), "left over");

    Answer = IDNO;
    DeleteTemporaryFiles();
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(Dialogs[0].Title, L"Are you sure?");
    EXPECT_EQ(Dialogs[0].Text, L"Are you sure you want to delete all the temporary files");
    EXPECT_TRUE(FileExists(ArchivePath()));

    Answer = IDYES;
    Previous.Exists = true;
    DeleteTemporaryFiles();
    EXPECT_FALSE(FileExists(ArchivePath()));
    EXPECT_TRUE(FolderExists(::Setup.InstallPath)) << "the earlier installation stays";
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, Record()));

    Previous.Exists = false;
    DeleteTemporaryFiles();
    EXPECT_FALSE(FolderExists(::Setup.InstallPath));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, Record()));
}

} // namespace
