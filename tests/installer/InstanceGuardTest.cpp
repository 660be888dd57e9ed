#include "InstallerFixture.h"

#include "installer/InstallerCommandLine.h"
#include "installer/InstallerStartup.h"
#include "installer/InstallerState.h"
#include "installer/InstanceGuard.h"

#include <gtest/gtest.h>

namespace {

TEST(InstanceName, IsThePathWithoutSeparatorsCutTo100) {
    EXPECT_EQ(InstanceNameOf(L"C:\\Users\\User\\Downloads\\setup.exe"), L"C_Users_User_Downloads_setup_exe");
    EXPECT_EQ(InstanceNameOf(L"a.b.c"), L"a_b_c");

    // 150 characters: the name is characters 50 to 149 of the transformed path.
    std::wstring path = L"\\\\server\\share\\";
    for (int i = 0; path.size() < 146; ++i) {
        path += static_cast<wchar_t>(L'a' + i % 26);
    }
    path += L".exe";
    ASSERT_EQ(path.size(), 150u);
    std::wstring transformed = path;
    for (wchar_t& c : transformed) {
        c = (c == L'.' || c == L'\\') ? L'_' : c;
    }
    EXPECT_EQ(InstanceNameOf(path), transformed.substr(49, 100));
    EXPECT_EQ(InstanceNameOf(path).back(), L'x') << "the very last character is dropped";
}

// The guard and the start-up that asks it, in one test: every case of this test program
// runs from the same path and so shares the one semaphore name.
class StartUp : public InstallerFixture {};

TEST_F(StartUp, ASecondCopyEndsUnlessForced) {
    EXPECT_FALSE(IsAnotherInstanceRunning()) << "the first copy";
    EXPECT_TRUE(IsAnotherInstanceRunning()) << "the semaphore is held";

    EXPECT_EQ(ExitCodeOf([] { RunInstaller(L"Setup.exe -silent"); }), ExitNotContinued);
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(Dialogs[0].Title, L"Program is already running");
    EXPECT_EQ(Dialogs[0].Text, L"A instance of the installer is already running.");
    EXPECT_FALSE(ForceInstance);

    // Forced, the start-up goes on to the command line, and without the wizard a run that
    // needs it is refused.
    Dialogs.clear();
    ResetInstallerState();
    EXPECT_EQ(ExitCodeOf([] { RunInstaller(L"Setup.exe /force"); }), ExitCommandLineRefused);
    EXPECT_TRUE(ForceInstance);
    ASSERT_FALSE(Dialogs.empty());
    EXPECT_EQ(Dialogs.back().Title, L"Error");
    EXPECT_NE(Dialogs.back().Text.find(L"-silent"), std::wstring::npos);
    EXPECT_EQ(App.AppName, L"Fetchora") << "the defaults were set";
}

} // namespace
