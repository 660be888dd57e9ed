#include "SetupProcess.h"

#include "sysutil/Handles.h"
#include "sysutil/ShellRun.h"
#include "sysutil/Utf8.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::wstring> SplitLines(const std::wstring& Text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = Text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        lines.push_back(Text.substr(start, end - start));
    }
    if (start < Text.size()) {
        lines.push_back(Text.substr(start));
    }
    return lines;
}

} // namespace

TCommandRun RunFromCommandPrompt(const std::wstring& Folder, const std::wstring& Program,
                                 const std::wstring& Parameters) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    TUniqueKernelHandle readEnd;
    TUniqueKernelHandle writeEnd;
    EXPECT_TRUE(CreatePipe(readEnd.put(), writeEnd.put(), &inherit, 0));
    SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
    TUniqueFileHandle input(
        CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    const std::wstring cmd = SystemProgramPath(L"cmd.exe");
    std::wstring commandLine = L"cmd /c " + Program + (Parameters.empty() ? L"" : L" " + Parameters);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(cmd.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, Folder.c_str(), &startup,
                        &process)) {
        ADD_FAILURE() << "cmd did not start: " << GetLastError();
        return {};
    }
    const TUniqueKernelHandle processHandle(process.hProcess);
    const TUniqueKernelHandle threadHandle(process.hThread);
    writeEnd.reset();
    input.reset();

    // Reads what is there until cmd has ended: a process the run starts in passing (Wine's
    // desktop process, a hidden self-deletion command) may inherit the pipe and keep it open.
    std::string output;
    for (bool ended = false; !ended;) {
        ended = WaitForSingleObject(processHandle.get(), 50) == WAIT_OBJECT_0;
        DWORD available = 0;
        while (PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            char buffer[4096];
            DWORD read = 0;
            if (!ReadFile(readEnd.get(), buffer, sizeof(buffer), &read, nullptr) || read == 0) {
                break;
            }
            output.append(buffer, read);
        }
    }
    TCommandRun run;
    GetExitCodeProcess(processHandle.get(), &run.ExitCode);
    run.Lines = SplitLines(Utf8ToWide(output));
    return run;
}
