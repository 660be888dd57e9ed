// The real Setup.exe run from a command prompt: silent installations, the help, refused
// switches, failing runs, an update, the instance guard, self-deletion, and the uninstaller
// the installation leaves behind.
#include "SetupProcess.h"

#include "installer/InstallerFixture.h"
#include "installer/InstanceGuard.h"
#include "sysutil/FileSystem.h"
#include "sysutil/Handles.h"
#include "sysutil/Paths.h"
#include "sysutil/Shortcut.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <shlobj.h>
#include <shobjidl.h>

#include <atomic>
#include <thread>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

const std::wstring SetupFolder = FETCHORA_BINARY_DIR L"\\installer";
const std::wstring SetupPath = SetupFolder + L"\\Setup.exe";
const std::wstring RecordKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Fetchora";

std::wstring Shortcut(uint8_t ShellFolder) {
    return GetUserShellFolder(ShellFolder) + L"\\Fetchora.lnk";
}

std::wstring Quoted(const std::wstring& Text) {
    return L"\"" + Text + L"\"";
}

struct TLinkRead {
    std::wstring Target;
    std::wstring WorkingFolder;
    std::wstring Description;
};

TLinkRead ReadShortcut(const std::wstring& LinkFile) {
    TComPtr<IShellLinkW> link;
    TComPtr<IPersistFile> file;
    TLinkRead read;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) ||
        FAILED(file->Load(LinkFile.c_str(), STGM_READ))) {
        ADD_FAILURE() << "cannot load the shortcut";
        return read;
    }
    wchar_t text[MAX_PATH * 2] = {};
    link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH);
    read.Target = text;
    link->GetWorkingDirectory(text, MAX_PATH * 2);
    read.WorkingFolder = text;
    link->GetDescription(text, MAX_PATH * 2);
    read.Description = text;
    return read;
}

// Clicks OK on the message box with Title as soon as it shows, until stopped.
class TDialogCloser {
public:
    explicit TDialogCloser(std::wstring Title)
        : FThread([this, title = std::move(Title)] {
              while (!FStop) {
                  if (const HWND box = FindWindowW(nullptr, title.c_str())) {
                      Seen = true;
                      PostMessageW(box, WM_COMMAND, IDOK, 0);
                  }
                  Sleep(100);
              }
          }) {}
    ~TDialogCloser() {
        FStop = true;
        FThread.join();
    }
    std::atomic<bool> Seen = false;

private:
    std::atomic<bool> FStop = false;
    std::thread FThread;
};

class SetupRun : public InstallerFixture {
protected:
    SetupRun() { RemoveProduct(); }
    ~SetupRun() override { RemoveProduct(); }

    static void RemoveProduct() {
        DeleteRegistryKey(HKEY_LOCAL_MACHINE, RecordKey);
        DeleteRegistryKey(HKEY_CURRENT_USER, RecordKey);
        for (const uint8_t folder : {uint8_t{5}, uint8_t{13}}) {
            DeleteFileW(Shortcut(folder).c_str());
        }
    }

    TCommandRun RunSetup(const std::wstring& Parameters) {
        return RunFromCommandPrompt(SetupFolder, L"Setup.exe", Parameters);
    }

    static std::vector<std::wstring> SilentLines(const wchar_t* Result) {
        return {L"(!) Beginning instalation", L"(!) Installation type: silent", Result};
    }

    // Every file, value, key and shortcut of a complete installation into Folder.
    void ExpectInstalled(const std::wstring& Folder, HKEY Hive, bool UserInstall) {
        const std::wstring exe = Folder + L"\\Fetchora.exe";
        for (const wchar_t* file : {L"Fetchora.exe", L"Uninstall.exe", L"InstallReport.ini", L"License.txt"}) {
            EXPECT_TRUE(FileExists(Folder + L"\\" + file)) << file;
        }
        ExpectRegistryValues(Hive, RecordKey,
                             {
                                 {L"DisplayIcon", REG_SZ, exe},
                                 {L"DisplayName", REG_SZ, L"Quorvane Media Fetcher"},
                                 {L"DisplayVersion", REG_SZ, L"1.1.0"},
                                 {L"InstallLocation", REG_SZ, Folder},
                                 {L"NoModify", REG_DWORD, L"1"},
                                 {L"NoRepair", REG_DWORD, L"1"},
                                 {L"Publisher", REG_SZ, L"Halvex Software"},
                                 {L"UninstallString", REG_SZ, Quoted(Folder + L"\\Uninstall.exe")},
                                 {L"URLInfoAbout", REG_SZ, L"https://www.halvex-software.com/fetchora/"},
                                 {L"HelpLink", REG_SZ, L"https://www.halvex-software.com/contact/"},
                                 {L"URLUpdateInfo", REG_SZ, L"https://www.halvex-software.com/fetchora/"},
                             });
        const auto size = ReadRegistryValue(Hive, RecordKey, L"EstimatedSize");
        ASSERT_TRUE(size);
        EXPECT_EQ(size->Type, static_cast<DWORD>(REG_DWORD));
        EXPECT_GT(size->Number, 0u);
        EXPECT_LE(size->Number, static_cast<DWORD>(GetFolderSize(Folder) / 1024));

        const std::wstring report = Folder + L"\\InstallReport.ini";
        EXPECT_EQ(ReadTextFile(report).substr(0, 2), "\xFF\xFE") << "a UTF-16 report";
        ExpectProfileKeys(
            report, {
                        {L"Report", L"File Type", L"Halvex Software Installer Report"},
                        {L"Report", L"Installer", L"Halvex Software Installer"},
                        {L"Report", L"Version", L"1.8.0"},
                        {L"Report", L"Report Version", L"1.0.0"},
                        {L"Application", L"Name", L"Fetchora"},
                        {L"Application", L"Install Path", Folder},
                        {L"Application", L"Data Path", GetAppDataPath(L"Fetchora", true, false, TAppDataKind::adLocal)},
                        {L"Application", L"Executable", exe},
                        {L"Configuration", L"Shortcut-Menu", L"1"},
                        {L"Configuration", L"Shortcut-Desktop", L"1"},
                        {L"Configuration", L"Options", L"false,false,false"},
                        {L"Configuration", L"Extensions", L"false,false,false"},
                        {L"Installation", L"Has EULA", L"1"},
                        {L"Installation", L"User Install", UserInstall ? L"1" : L"0"},
                        {L"Installation", L"Registry Record", RecordKey},
                        {L"Installation", L"Registry HIVE", UserInstall ? L"HKEY_CURRENT_USER" : L"HKEY_LOCAL_MACHINE"},
                    });

        const TComInitializer com;
        for (const uint8_t folder : {uint8_t{5}, uint8_t{13}}) {
            const TLinkRead link = ReadShortcut(Shortcut(folder));
            EXPECT_EQ(link.Target, exe);
            EXPECT_EQ(link.WorkingFolder, Folder);
            EXPECT_EQ(link.Description, L"Quorvane Media Fetcher");
        }
    }

    static void ExpectNothingInstalled() {
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, RecordKey));
        EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, RecordKey));
        EXPECT_FALSE(FileExists(Shortcut(5)));
        EXPECT_FALSE(FileExists(Shortcut(13)));
    }
};

TEST_F(SetupRun, InstallsForAllUsersAndTheUninstallerRemovesIt) {
    // A blank in the path, and only the parent folder exists beforehand.
    CreateFolderTree(WorkFolder() + L"Program Files");
    const std::wstring folder = WorkFolder() + L"Program Files\\Fetchora";
    const TCommandRun run = RunSetup(L"-silent -alluser -installpath " + Quoted(folder));
    EXPECT_THAT(run.Lines, ElementsAreArray(SilentLines(L"(!) Installation successfull")));
    EXPECT_EQ(run.ExitCode, 0u);
    ExpectInstalled(folder, HKEY_LOCAL_MACHINE, false);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, RecordKey));

    // The product's data folder is the user's and stays.
    const std::wstring data = GetAppDataPath(L"Fetchora", true, false, TAppDataKind::adLocal);
    const bool dataExisted = FolderExists(data);
    CreateFolderTree(data);
    WriteTextFile(data + L"settings.ini", "[Window]\r\n");

    const TCommandRun uninstall = RunFromCommandPrompt(folder, L"Uninstall.exe", L"-silent");
    EXPECT_EQ(uninstall.ExitCode, 0u);
    for (int wait = 0; wait < 100 && FolderExists(folder); ++wait) {
        Sleep(100);
    }
    EXPECT_FALSE(FolderExists(folder));
    ExpectNothingInstalled();
    EXPECT_TRUE(FileExists(data + L"settings.ini"));
    if (!dataExisted) {
        RemoveFolderTree(data);
    }
}

TEST_F(SetupRun, InstallsForThisUser) {
    const std::wstring folder = WorkFolder() + L"Mine";
    const TCommandRun run = RunSetup(L"-silent -user -installpath " + Quoted(folder));
    EXPECT_THAT(run.Lines, ElementsAreArray(SilentLines(L"(!) Installation successfull")));
    EXPECT_EQ(run.ExitCode, 0u);
    ExpectInstalled(folder, HKEY_CURRENT_USER, true);
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, RecordKey));
}

TEST_F(SetupRun, PrintsTheHelpText) {
    const TCommandRun run = RunSetup(L"/help -silent");
    EXPECT_THAT(run.Lines,
                ElementsAre(L"Avalabile Parameters:", L"", L"------------------------",
                            L"-help -> Shows this information",
                            L"-silent -> Installs the program in the background with no GUI",
                            L"-start -> Starts the instalation process after opening the program",
                            L"-startafterfinish -> Starts the program after the installation is finished",
                            L"-closeafterfinish -> Close the installer after the installation is finnished",
                            L"-installpath <PATH> -> Set the install path",
                            L"-option <ID> TRUE/FALSE -> Set a option to a boolean value",
                            L"-user -> Install application for this user",
                            L"-force -> Force multiple instances of the installer, also bypasses dialog confirmations",
                            L"-alluser -> Install application for all users",
                            L"-ad -> Auto-delete installer when closed", L""));
    EXPECT_EQ(run.ExitCode, 0u);
    ExpectNothingInstalled();
}

TEST_F(SetupRun, RefusesBadSwitches) {
    const std::wstring invalidPath = L"(!) Attention: The installation path provided is invalid!";
    const std::wstring noWizard = L"<!> Error: The installation wizard is not available, use -silent to install";
    struct TCase {
        std::wstring Parameters;
        std::vector<std::wstring> Lines;
    };
    const TCase cases[] = {
        {L"-silent -installpath", {invalidPath}},
        {L"-silent -installpath " + Quoted(WorkFolder() + L"missing\\Fetchora"), {invalidPath}},
        {L"-silent -option one true", {L"<!> Error: The provided parameter is incorrect"}},
        {L"-silent -option", {L"<!> Error: The provided parameter is incorrect"}},
        {L"-start -installpath " + Quoted(WorkFolder() + L"Fetchora"),
         {L"(!) Beginning instalation", L"(!) Installation type: normal", noWizard}},
        {L"", {noWizard}},
    };
    for (const TCase& c : cases) {
        const TCommandRun run = RunSetup(c.Parameters);
        EXPECT_THAT(run.Lines, ElementsAreArray(c.Lines)) << c.Parameters;
        EXPECT_EQ(run.ExitCode, 2u) << c.Parameters;
    }
    ExpectNothingInstalled();
    EXPECT_FALSE(FolderExists(WorkFolder() + L"Fetchora"));
}

TEST_F(SetupRun, FailsWithoutAUsableFolder) {
    WriteTextFile(WorkFolder() + L"file", "in the way");
    for (const std::wstring& parameters :
         {std::wstring(L"-silent"), L"-silent -installpath " + Quoted(WorkFolder() + L"bad|name")}) {
        const TCommandRun run = RunSetup(parameters);
        EXPECT_THAT(run.Lines, ElementsAreArray(SilentLines(L"(!) Installation has failed"))) << parameters;
        EXPECT_EQ(run.ExitCode, 1u) << parameters;
        ExpectNothingInstalled();
    }
    EXPECT_FALSE(FileExists(SetupFolder + L"\\InstallReport.ini"));
    EXPECT_FALSE(FileExists(SetupFolder + L"\\Fetchora.exe"));
}

TEST_F(SetupRun, UpdatesAnEarlierInstallation) {
    const std::wstring folder = WorkFolder() + L"Fetchora";
    ASSERT_EQ(RunSetup(L"-silent -alluser -installpath " + Quoted(folder)).ExitCode, 0u);
    DeleteFileW((folder + L"\\License.txt").c_str());

    // The earlier folder is reused and its install type is the only one allowed.
    TCommandRun run = RunSetup(L"-silent -user");
    std::vector<std::wstring> lines = SilentLines(L"(!) Installation successfull");
    lines.insert(lines.begin(), L"(!) Installation does not allow changing install type.");
    EXPECT_THAT(run.Lines, ElementsAreArray(lines));
    EXPECT_EQ(run.ExitCode, 0u);
    ExpectInstalled(folder, HKEY_LOCAL_MACHINE, false);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, RecordKey));

    // A newer installed version would ask; "-force" takes effect beside a running copy and
    // passes the question over.
    WriteRegistryString(HKEY_LOCAL_MACHINE, RecordKey, L"DisplayVersion", L"1.2.0");
    const TUniqueKernelHandle running(CreateSemaphoreW(nullptr, 0, 1, InstanceNameOf(SetupPath).c_str()));
    run = RunSetup(L"-silent -force");
    EXPECT_THAT(run.Lines, ElementsAreArray(SilentLines(L"(!) Installation successfull")));
    EXPECT_EQ(run.ExitCode, 0u);
    EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, RecordKey, L"DisplayVersion")->Text, L"1.1.0");
}

TEST_F(SetupRun, ASecondCopyIsRefused) {
    const TUniqueKernelHandle running(CreateSemaphoreW(nullptr, 0, 1, InstanceNameOf(SetupPath).c_str()));
    const TDialogCloser closer(L"Program is already running");
    const TCommandRun run = RunSetup(L"-silent -installpath " + Quoted(WorkFolder() + L"Fetchora"));
    EXPECT_TRUE(closer.Seen);
    EXPECT_TRUE(run.Lines.empty());
    EXPECT_EQ(run.ExitCode, 3u);
    ExpectNothingInstalled();
}

TEST_F(SetupRun, DeletesItselfWithAd) {
    const std::wstring copyFolder = WorkFolder() + L"download";
    CreateFolderTree(copyFolder);
    const std::wstring copy = copyFolder + L"\\Setup.exe";
    ASSERT_TRUE(CopyFileW(SetupPath.c_str(), copy.c_str(), FALSE));
    const TCommandRun run = RunFromCommandPrompt(copyFolder, L"Setup.exe",
                                                 L"-silent -ad -installpath " + Quoted(WorkFolder() + L"Fetchora"));
    EXPECT_EQ(run.ExitCode, 0u);
    for (int wait = 0; wait < 150 && FileExists(copy); ++wait) {
        Sleep(100);
    }
    EXPECT_FALSE(FileExists(copy));
}

} // namespace
