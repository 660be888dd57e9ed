#include "InstallerFixture.h"

#include "installer/InstallerCommandLine.h"
#include "installer/InstallerState.h"
#include "installer/PreviousInstall.h"
#include "sysutil/Exceptions.h"

#include <gtest/gtest.h>

namespace {

class PreviousInstallation : public InstallerFixture {
protected:
    PreviousInstallation() {
        SetDefaults();
        App.AppName = UniqueName();
        Defaults = ::Setup;
    }
    ~PreviousInstallation() override {
        DeleteRegistryKey(HKEY_LOCAL_MACHINE, UninstallKey(App.AppName));
        DeleteRegistryKey(HKEY_CURRENT_USER, UninstallKey(App.AppName));
    }

    void Record(HKEY Hive, const std::wstring& Location, const std::wstring& Version) {
        WriteRegistryString(Hive, UninstallKey(App.AppName), L"Publisher", L"Halvex Software");
        if (!Location.empty()) {
            WriteRegistryString(Hive, UninstallKey(App.AppName), L"InstallLocation", Location);
        }
        if (!Version.empty()) {
            WriteRegistryString(Hive, UninstallKey(App.AppName), L"DisplayVersion", Version);
        }
    }

    InstallOptions Defaults;
};

TEST_F(PreviousInstallation, NothingChangesWithoutARecord) {
    // A record in the user hive is not searched when only all-users installations are allowed.
    Record(HKEY_CURRENT_USER, WorkFolder(), L"1.1.0");
    ::Setup.InstallSupport = TInstallSupport::AllUser;
    ::Setup.InstallPick = TInstallPick::AllUser;
    FindPreviousInstall();
    EXPECT_FALSE(Previous.Exists);
    EXPECT_EQ(::Setup.InstallPath, L"");
    EXPECT_EQ(::Setup.InstallPathAll, Defaults.InstallPathAll);
    EXPECT_EQ(TitleSuffix, L"");
    EXPECT_EQ(::Setup.InstallSupport, TInstallSupport::AllUser);
    EXPECT_TRUE(Dialogs.empty());
}

TEST_F(PreviousInstallation, AUserRecordMakesAnUpdateOfThatType) {
    Record(HKEY_CURRENT_USER, WorkFolder(), L"1.1.0");
    FindPreviousInstall();
    EXPECT_TRUE(Previous.Exists);
    EXPECT_EQ(Previous.Kind, TInstallSupport::ThisUser);
    EXPECT_EQ(Previous.InstallPath, WorkFolder());
    EXPECT_EQ(Previous.Version.ToString(true), L"1.1.0.0");
    EXPECT_EQ(::Setup.InstallPath, WorkFolder());
    EXPECT_EQ(::Setup.InstallPathAll, WorkFolder());
    EXPECT_EQ(::Setup.InstallPathUser, WorkFolder());
    EXPECT_FALSE(::Setup.AllowCustomPath) << "the folder exists";
    EXPECT_EQ(TitleSuffix, L" - Update to new version");
    EXPECT_EQ(::Setup.InstallSupport, TInstallSupport::ThisUser);
    EXPECT_EQ(::Setup.InstallPick, TInstallPick::User);
    EXPECT_TRUE(Dialogs.empty()) << "an equal version asks nothing";
}

TEST_F(PreviousInstallation, TheMachineRecordWinsAndMissingValuesKeepTheDefaults) {
    Record(HKEY_CURRENT_USER, WorkFolder(), L"");
    Record(HKEY_LOCAL_MACHINE, L"", L"");
    FindPreviousInstall();
    EXPECT_TRUE(Previous.Exists);
    EXPECT_EQ(Previous.Kind, TInstallSupport::AllUser);
    EXPECT_EQ(::Setup.InstallPath, L"");
    EXPECT_EQ(::Setup.InstallPathAll, Defaults.InstallPathAll);
    EXPECT_TRUE(::Setup.AllowCustomPath);
    EXPECT_EQ(::Setup.InstallSupport, TInstallSupport::AllUser);
    EXPECT_EQ(::Setup.InstallPick, TInstallPick::AllUser);
    EXPECT_EQ(TitleSuffix, L" - Update to new version");
}

TEST_F(PreviousInstallation, AMissingFolderStaysMovable) {
    Record(HKEY_CURRENT_USER, WorkFolder() + L"gone\\", L"1.0");
    FindPreviousInstall();
    EXPECT_EQ(::Setup.InstallPath, WorkFolder() + L"gone\\");
    EXPECT_TRUE(::Setup.AllowCustomPath);
}

TEST_F(PreviousInstallation, ANewerVersionAsksFirst) {
    struct TCase {
        const wchar_t* Version;
        bool Force;
        int Answer;
        bool Asked;
        std::optional<UINT> ExitCode;
    };
    const TCase cases[] = {
        {L"1.2.0", false, IDYES, true, std::nullopt},      {L"1.2.0", false, IDNO, true, ExitNotContinued},
        {L"1.1.0.1", false, IDNO, true, ExitNotContinued}, {L"1.2.0", true, IDNO, false, std::nullopt},
        {L"1.1.0", false, IDNO, false, std::nullopt},      {L"1.0.9", false, IDNO, false, std::nullopt},
    };
    for (const TCase& c : cases) {
        ResetInstallerState();
        SetDefaults();
        App.AppName = UniqueName();
        Dialogs.clear();
        Record(HKEY_CURRENT_USER, WorkFolder(), c.Version);
        ForceInstance = c.Force;
        Answer = c.Answer;
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.Version)));
        EXPECT_EQ(ExitCodeOf(FindPreviousInstall), c.ExitCode);
        ASSERT_EQ(Dialogs.size(), c.Asked ? 1u : 0u);
        if (c.Asked) {
            EXPECT_EQ(Dialogs[0].Title, L"Installed version is newer");
            EXPECT_EQ(Dialogs[0].Text, L"The version of this application you are installing is older than the present "
                                       L"version on this computer. Continue anyways?");
            EXPECT_EQ(Dialogs[0].Flags & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
        }
        EXPECT_EQ(::Setup.InstallSupport, c.ExitCode ? TInstallSupport::Both : TInstallSupport::ThisUser);
    }
}

TEST_F(PreviousInstallation, AMachineRecordRestartsElevatedForAUser) {
    IsAdmin = false;
    Record(HKEY_LOCAL_MACHINE, WorkFolder(), L"1.1.0");
    StartCommandLine = L"Setup.exe -silent";
    EXPECT_EQ(ExitCodeOf(FindPreviousInstall), ExitSuccess);
    ASSERT_EQ(Starts.size(), 1u);
    EXPECT_EQ(Starts[0].Verb, L"runas");
    EXPECT_EQ(Starts[0].Parameters, L"-alluser -force -silent");
    EXPECT_EQ(::Setup.InstallPick, TInstallPick::Unset) << "left to the elevated copy";
}

TEST_F(PreviousInstallation, AnUnreadableVersionIsAnError) {
    Record(HKEY_CURRENT_USER, WorkFolder(), L"1.x");
    EXPECT_THROW(FindPreviousInstall(), EConvertError);
}

} // namespace
