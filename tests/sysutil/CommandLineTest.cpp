#include "sysutil/CommandLine.h"

#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct SplitCase {
    const wchar_t* CommandLine;
    std::vector<std::wstring> Expected;
};

TEST(CommandLine, SplitsByTheRuntimeRules) {
    const SplitCase cases[] = {
        {L"", {}},
        {L"   \t ", {}},
        {L"setup.exe", {L"setup.exe"}},
        {L"setup.exe -a  /b\t-c", {L"setup.exe", L"-a", L"/b", L"-c"}},
        {L"\"C:\\Program Files\\setup.exe\" -silent", {L"C:\\Program Files\\setup.exe", L"-silent"}},
        {L"s -installpath \"C:\\My Apps\\Tool\" -silent", {L"s", L"-installpath", L"C:\\My Apps\\Tool", L"-silent"}},
        // A quoted stretch may start inside a parameter and the parameter goes on after it.
        {L"s -path=\"a b\"c d", {L"s", L"-path=a bc", L"d"}},
        {L"s a\"\"b", {L"s", L"ab"}},
        // Pairs of quotes at the start of a parameter are skipped, even several of them.
        {L"s \"\" x", {L"s", L"x"}},
        {L"s \"\"\"\"x \"\"", {L"s", L"x"}},
        {L"s \" \" y", {L"s", L" ", L"y"}},
        // An unclosed quote runs to the end; a lone quote at the end gives nothing.
        {L"s \"open to the end", {L"s", L"open to the end"}},
        {L"s x \"", {L"s", L"x"}},
        // Backslashes are plain characters; control characters separate like blanks.
        {L"s C:\\dir\\\" y", {L"s", L"C:\\dir\\ y"}},
        {L"s a\rb\nc", {L"s", L"a", L"b", L"c"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(SplitCommandLine(c.CommandLine), c.Expected) << "command line: " << c.CommandLine;
    }
}

TEST(CommandLine, GetParameterTurnsALeadingSlashIntoAHyphen) {
    const std::wstring line = L"setup.exe /alluser -AllUser /Option/x a/b / \"/quoted\"";
    const wchar_t* expected[] = {L"setup.exe", L"-alluser", L"-AllUser", L"-Option/x", L"a/b", L"-", L"-quoted"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(GetParameter(i, line), expected[i]) << "parameter " << i;
    }
    EXPECT_EQ(ParameterCount(line), 6);
    EXPECT_EQ(GetParameter(7, line), L"") << "past the last";
    EXPECT_EQ(GetParameter(-1, line), L"");
    EXPECT_EQ(GetParameter(0, L""), L"");
    EXPECT_EQ(ParameterCount(L""), 0);
}

struct LineCase {
    const wchar_t* CommandLine;
    const wchar_t* Expected;
};

TEST(CommandLine, ParameterLineRejoinsAndSplitsBackTheSame) {
    const LineCase cases[] = {
        {L"setup.exe", L""},
        {L"\"C:\\a b\\setup.exe\"", L""},
        {L"setup.exe -installpath \"C:\\My Apps\\Tool\" -silent", L"-installpath \"C:\\My Apps\\Tool\" -silent"},
        {L"setup.exe /alluser   /force", L"-alluser -force"},
        {L"setup.exe -p=\"a b\"c", L"\"-p=a bc\""},
        {L"setup.exe \"tab\there\"", L"\"tab\there\""},
        {L"setup.exe \" \"", L"\" \""},
    };
    for (const LineCase& c : cases) {
        const std::wstring line = GetParameterLine(c.CommandLine);
        EXPECT_EQ(line, c.Expected) << "command line: " << c.CommandLine;
        // What the installer passes on to its restarted copy must read back parameter by parameter.
        const std::wstring again = L"setup.exe " + line;
        ASSERT_EQ(ParameterCount(again), ParameterCount(c.CommandLine)) << again;
        for (int i = 1; i <= ParameterCount(again); ++i) {
            EXPECT_EQ(GetParameter(i, again), GetParameter(i, c.CommandLine)) << again;
        }
    }
}

TEST(CommandLine, WithoutACommandLineReadsTheOwnProcess) {
    wchar_t own[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, own, MAX_PATH * 4);
    EXPECT_EQ(GetParameter(0), std::wstring(own, length)) << "parameter 0 is the full path of the executable";

    // The test runner's own parameters are plain, so the system's splitting must agree.
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    ASSERT_NE(arguments, nullptr);
    EXPECT_EQ(ParameterCount(), count - 1);
    for (int i = 1; i < count; ++i) {
        std::wstring argument = arguments[i];
        if (!argument.empty() && argument.front() == L'/') {
            argument.front() = L'-';
        }
        EXPECT_EQ(GetParameter(i), argument);
    }
    LocalFree(arguments);
    EXPECT_EQ(GetParameterLine(), GetParameterLine(GetCommandLineW()));
}

} // namespace
