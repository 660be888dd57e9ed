// The real Uninstall.exe, run as a script would run it.
#include "FixtureInstallation.h"
#include "ProcessRun.h"

#include "sysutil/ShellRun.h"

#include <gtest/gtest.h>

namespace {

using TOverrides = TFixtureInstallation::TOverrides;

const wchar_t* const BuiltUninstaller = FETCHORA_BINARY_DIR L"\\product\\Uninstall.exe";

TProcessRun RunUninstaller(const TFixtureInstallation& Fixture, const std::wstring& Parameters) {
    if (!CopyFileW(BuiltUninstaller, Fixture.SelfPath().c_str(), FALSE)) {
        return {};
    }
    return RunAndWait(Fixture.SelfPath(), L"\"" + Fixture.SelfPath() + L"\" " + Parameters, 60000);
}

TEST(UninstallProgram, RemovesTheInstallationAndThenItself) {
    ASSERT_TRUE(PathExists(SystemProgramPath(L"timeout.exe")))
        << "the self-deletion needs timeout.exe in the system folder (scripts/ctest-under-wine.sh puts it there)";
    TFixtureInstallation fixture;
    const TProcessRun run = RunUninstaller(fixture, L"-silent");
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(run.ExitCode, 0u) << run.Output;
    EXPECT_NE(run.Output.find("was removed from this computer"), std::string::npos) << run.Output;
    EXPECT_FALSE(PathExists(fixture.MenuLink()) || PathExists(fixture.DesktopLink()) || fixture.RecordExists());
    EXPECT_TRUE(PathExists(fixture.DataFolder() + L"\\settings.ini"));

    // The hidden cmd waits three seconds, then deletes the uninstaller and the empty folder.
    const ULONGLONG deadline = GetTickCount64() + 90000;
    while (PathExists(fixture.Folder()) && GetTickCount64() < deadline) {
        Sleep(200);
    }
    EXPECT_FALSE(PathExists(fixture.SelfPath()));
    EXPECT_FALSE(PathExists(fixture.Folder()));
}

TEST(UninstallProgram, TellsAFailureByItsExitCode) {
    const struct {
        const wchar_t* Parameters;
        const wchar_t* ReportVersion;
        DWORD ExitCode;
        const char* Output;
    } cases[] = {
        {L"-silent -keepdata", L"1.0.0", 2, "Unknown parameter \"-keepdata\""},
        {L"/silent", L"3.0.0", 4, "newer than this uninstaller knows"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.Parameters)));
        TFixtureInstallation fixture(TOverrides{{L"Report/Report Version", c.ReportVersion}});
        const TProcessRun run = RunUninstaller(fixture, c.Parameters);
        ASSERT_TRUE(run.Finished);
        EXPECT_EQ(run.ExitCode, c.ExitCode) << run.Output;
        EXPECT_NE(run.Output.find(c.Output), std::string::npos) << run.Output;
        EXPECT_TRUE(fixture.Intact());
    }
}

} // namespace
