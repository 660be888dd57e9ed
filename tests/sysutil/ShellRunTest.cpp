#include "sysutil/ShellRun.h"
#include "sysutil/Seams.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct RunCase {
    bool Visible;
    bool Elevated;
    const wchar_t* Verb;
    int ShowCommand;
};

TEST(ShellRun, RunProgramMapsVisibleAndElevated) {
    const RunCase cases[] = {
        {true, false, L"open", SW_SHOWNORMAL},
        {false, false, L"open", SW_HIDE},
        {true, true, L"runas", SW_SHOWNORMAL},
        {false, true, L"runas", SW_HIDE},
    };
    for (const RunCase& c : cases) {
        std::vector<TProgramStart> starts;
        const TStartOverride recorder([&starts](const TProgramStart& Start) { starts.push_back(Start); });
        RunProgram(L"C:\\Apps\\Tool.exe", c.Visible, L"-alluser -force \"C:\\a b\"", c.Elevated, L"C:\\Apps");
        ASSERT_EQ(starts.size(), 1u);
        EXPECT_EQ(starts[0].Verb, c.Verb) << c.Visible << c.Elevated;
        EXPECT_EQ(starts[0].ShowCommand, c.ShowCommand) << c.Visible << c.Elevated;
        EXPECT_EQ(starts[0].FileName, L"C:\\Apps\\Tool.exe");
        EXPECT_EQ(starts[0].Parameters, L"-alluser -force \"C:\\a b\"");
        EXPECT_EQ(starts[0].WorkingFolder, L"C:\\Apps");
    }
}

std::wstring Lower(std::wstring Text) {
    for (wchar_t& c : Text) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return Text;
}

TEST(ShellRun, SystemProgramsAreNamedByTheirFullPath) {
    wchar_t windows[MAX_PATH];
    const std::wstring system = Lower(std::wstring(windows, GetWindowsDirectoryW(windows, MAX_PATH))) + L"\\system32\\";
    for (const wchar_t* name : {L"taskkill.exe", L"cmd.exe"}) {
        const std::wstring path = SystemProgramPath(name);
        EXPECT_EQ(Lower(path), system + name);
        EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << path;
    }
}

// Through the real shell: a hidden command interpreter that writes its working folder.
TEST(ShellRun, RunProgramStartsARealProgramInItsWorkingFolder) {
    wchar_t temp[MAX_PATH];
    const std::wstring folder =
        std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + L"fetchora-run-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring output = folder + L"\\cd.txt";

    RunProgram(SystemProgramPath(L"cmd.exe"), false, L"/c cd > cd.tmp && move cd.tmp cd.txt", false, folder);
    DWORD waited = 0;
    while (GetFileAttributesW(output.c_str()) == INVALID_FILE_ATTRIBUTES && waited < 20000) {
        Sleep(50);
        waited += 50;
    }
    std::string written;
    std::getline(std::ifstream(output.c_str()), written);
    if (!written.empty() && written.back() == '\r') {
        written.pop_back();
    }
    DeleteFileW(output.c_str());
    RemoveDirectoryW(folder.c_str());
    ASSERT_LT(waited, 20000u) << "the program did not run";
    EXPECT_EQ(Lower(std::wstring(written.begin(), written.end())), Lower(folder));
}

TEST(ShellRun, TheTestProcessIsAnAdministratorUnderWine) {
    EXPECT_TRUE(IsUserAdmin());
}

} // namespace
