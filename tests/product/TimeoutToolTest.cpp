// The test prefix's timeout.exe, which the self-deletion commands rely on.
#include "ProcessRun.h"

#include <gtest/gtest.h>

namespace {

const wchar_t* const Timeout = FETCHORA_BINARY_DIR L"\\tests\\tools\\timeout.exe";

TEST(TimeoutTool, WaitsTheGivenSeconds) {
    for (const wchar_t* parameters : {L"/t 2 /nobreak", L"/T 2", L"2"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(parameters)));
        const TProcessRun run = RunAndWait(Timeout, std::wstring(L"timeout ") + parameters, 20000, true);
        ASSERT_TRUE(run.Finished);
        EXPECT_EQ(run.ExitCode, 0u) << run.Output;
        EXPECT_GE(run.Milliseconds, 1900u);
        EXPECT_LT(run.Milliseconds, 10000u);
    }
}

// Bad switches are refused before the input is looked at.
TEST(TimeoutTool, RefusesBadSwitchesAndRedirectedInput) {
    const struct {
        const wchar_t* Parameters;
        const char* Output;
    } cases[] = {
        {L"/t abc", "Invalid value"},  {L"/t 100000", "Invalid value"},
        {L"/t -2", "Invalid value"},   {L"/t 1 /wait", "Invalid argument/option - '/wait'"},
        {L"/t", "Invalid syntax"},     {L"", "Invalid syntax"},
        {L"/t 1 2", "Invalid syntax"}, {L"/t 1", "Input redirection is not supported"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.Parameters)));
        const TProcessRun run = RunAndWait(Timeout, std::wstring(L"timeout ") + c.Parameters, 20000);
        ASSERT_TRUE(run.Finished);
        EXPECT_EQ(run.ExitCode, 1u);
        EXPECT_NE(run.Output.find(c.Output), std::string::npos) << run.Output;
        EXPECT_LT(run.Milliseconds, 900u) << "refused at once";
    }
}

} // namespace
