#include "InstallerFixture.h"

#include "installer/InstallerCommandLine.h"
#include "installer/InstallerState.h"
#include "installer/InstanceGuard.h"

#include <gtest/gtest.h>

namespace {

class CommandLine : public InstallerFixture {
protected:
    CommandLine() { SetDefaults(); }

    // Runs ReadCommandLine over the parameters, with {W} standing for the test's folder.
    std::optional<UINT> Read(std::wstring Parameters, int* RunMode = nullptr) {
        for (size_t at; (at = Parameters.find(L"{W}")) != std::wstring::npos;) {
            Parameters.replace(at, 3, Folder());
        }
        StartCommandLine = L"Setup.exe " + Parameters;
        return ExitCodeOf([&] {
            const int mode = ReadCommandLine();
            if (RunMode != nullptr) {
                *RunMode = mode;
            }
        });
    }
    std::wstring Folder() { return WorkFolder().substr(0, WorkFolder().size() - 1); }
};

// What a command line leaves behind when it returns to the start-up.
struct TSettingsCase {
    const wchar_t* Parameters;
    int RunMode;
    uint8_t AfterFinish;
    bool AutoDelete;
    TInstallPick Pick;
    const wchar_t* InstallPath; // {W} for the test's folder
    bool Options[3];
};

TEST_F(CommandLine, AppliesSwitchesInOrder) {
    const TSettingsCase cases[] = {
        {L"", 0, 0, false, TInstallPick::Unset, L"", {}},
        {L"-ad", 0, 0, true, TInstallPick::Unset, L"", {}},
        {L"/ad /user", 0, 0, true, TInstallPick::User, L"", {}},
        {L"-AD -User -SILENT", 0, 0, false, TInstallPick::Unset, L"", {}},
        {L"-startafterfinish -closeafterfinish", 0, 1, false, TInstallPick::Unset, L"", {}},
        {L"-closeafterfinish -startafterfinish", 0, 2, false, TInstallPick::Unset, L"", {}},
        {L"-user -alluser", 0, 0, false, TInstallPick::AllUser, L"", {}},
        {L"-alluser -user", 0, 0, false, TInstallPick::User, L"", {}},
        {L"-silent -start", 1, 0, false, TInstallPick::Unset, L"", {}},
        {L"-installpath {W}\\Target", 0, 0, false, TInstallPick::Unset, L"{W}\\Target", {}},
        {L"-installpath \"{W}\\with blank\\\"", 0, 0, false, TInstallPick::Unset, L"{W}\\with blank\\", {}},
        {L"-installpath %TEMP%\\Fetchora", 0, 0, false, TInstallPick::Unset, L"%TEMP%\\Fetchora", {}},
        {L"-installpath {W}\\a -installpath {W}\\b", 0, 0, false, TInstallPick::Unset, L"{W}\\b", {}},
        {L"-option 2 TRUE", 0, 0, false, TInstallPick::Unset, L"", {false, true, false}},
        {L"-option 2 yes", 0, 0, false, TInstallPick::Unset, L"", {}},
        {L"-option 1 1 -option +3 -1", 0, 0, false, TInstallPick::Unset, L"", {true, false, true}},
        {L"-option 7 true -option -1 true", 0, 0, false, TInstallPick::Unset, L"", {}},
        {L"-option 1", 0, 0, false, TInstallPick::Unset, L"", {}},
        // A value that equals a switch acts as that switch as well.
        {L"-option 1 -ad", 0, 0, true, TInstallPick::Unset, L"", {}},
    };
    for (const TSettingsCase& c : cases) {
        ResetInstallerState();
        SetDefaults();
        int mode = -1;
        EXPECT_FALSE(Read(c.Parameters, &mode)) << "ended the program: " << ::testing::PrintToString(c.Parameters);
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.Parameters)));
        std::wstring path = c.InstallPath;
        if (const size_t at = path.find(L"{W}"); at != std::wstring::npos) {
            path.replace(at, 3, Folder());
        }
        EXPECT_EQ(mode, c.RunMode);
        EXPECT_EQ(Wizard.StartPage, c.RunMode == 1 ? 7 : 2);
        EXPECT_EQ(AfterFinish, c.AfterFinish);
        EXPECT_EQ(AutoDelete, c.AutoDelete);
        EXPECT_EQ(::Setup.InstallPick, c.Pick);
        EXPECT_EQ(::Setup.InstallPath, path);
        EXPECT_EQ(::Setup.Option1, c.Options[0]);
        EXPECT_EQ(::Setup.Option2, c.Options[1]);
        EXPECT_EQ(::Setup.Option3, c.Options[2]);
        EXPECT_TRUE(Dialogs.empty());
    }
}

TEST_F(CommandLine, RefusesBadValuesWithAMessage) {
    struct TCase {
        const wchar_t* Parameters;
        const wchar_t* Text;
    };
    const TCase cases[] = {
        {L"-installpath", L"The provided instalation path is invalid!"},
        {L"-installpath {W}\\missing\\Target", L"The provided instalation path is invalid!"},
        {L"-installpath Target", L"The provided instalation path is invalid!"},
        {L"-silent -installpath %NOSUCHVARIABLE%\\Target", L"The provided instalation path is invalid!"},
        {L"-option", L"The provided parameters are invalid!"},
        {L"-option two true", L"The provided parameters are invalid!"},
        {L"-option 1.5 true", L"The provided parameters are invalid!"},
        {L"-option 4294967297 true", L"The provided parameters are invalid!"},
    };
    for (const TCase& c : cases) {
        Dialogs.clear();
        EXPECT_EQ(Read(c.Parameters), ExitCommandLineRefused) << ::testing::PrintToString(c.Parameters);
        ASSERT_EQ(Dialogs.size(), 1u);
        EXPECT_EQ(Dialogs[0].Title, L"Error");
        EXPECT_EQ(Dialogs[0].Text, c.Text);
        EXPECT_EQ(::Setup.InstallPath, L"");
    }
}

TEST_F(CommandLine, HelpShowsOneDialogAndEnds) {
    EXPECT_EQ(Read(L"-ad -help -silent"), ExitSuccess);
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(Dialogs[0].Title, L"Help");
    EXPECT_EQ(Dialogs[0].Text, HelpText);
    EXPECT_TRUE(AutoDelete) << "switches before it were applied";
}

TEST_F(CommandLine, AFixedInstallTypeIgnoresTheTypeSwitches) {
    ::Setup.InstallSupport = TInstallSupport::ThisUser;
    ::Setup.InstallPick = TInstallPick::User;
    EXPECT_FALSE(Read(L"-alluser"));
    EXPECT_EQ(::Setup.InstallPick, TInstallPick::User);
    EXPECT_TRUE(Dialogs.empty());
}

TEST_F(CommandLine, AllUsersWithoutAdministratorRightsRestartsElevated) {
    IsAdmin = false;
    EXPECT_EQ(Read(L"/alluser -installpath \"{W}\\with blank\""), ExitSuccess);
    ASSERT_EQ(Starts.size(), 1u);
    EXPECT_EQ(Starts[0].Verb, L"runas");
    EXPECT_EQ(Starts[0].FileName, InstallerExecutablePath());
    EXPECT_EQ(Starts[0].Parameters, L"-alluser -force -alluser -installpath \"" + Folder() + L"\\with blank\"");
    EXPECT_EQ(Starts[0].ShowCommand, SW_SHOWNORMAL);
}

TEST(InstallPathParent, IsTheExpandedFolderAbove) {
    wchar_t temp[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
    struct TCase {
        std::wstring Path;
        std::wstring Parent;
    };
    const TCase cases[] = {
        {L"C:\\Program Files\\Fetchora", L"C:\\Program Files"},
        {L"C:\\Program Files\\Fetchora\\", L"C:\\Program Files"},
        {L"C:\\Fetchora", L"C:\\"},
        {L"%TEMP%\\Fetchora", std::wstring(temp)},
        {L"Fetchora", L""},
        {L"", L""},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(ParentFolderOf(c.Path), c.Parent) << ::testing::PrintToString(c.Path);
    }
}

} // namespace
