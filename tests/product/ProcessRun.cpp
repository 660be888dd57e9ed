#include "ProcessRun.h"

#include "sysutil/Handles.h"

namespace {

// What the pipe holds now; a grandchild that inherited its other end may keep it open.
std::string ReadAvailable(HANDLE Pipe) {
    std::string output;
    DWORD available = 0;
    while (PeekNamedPipe(Pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        std::string chunk(available, '\0');
        DWORD read = 0;
        if (!ReadFile(Pipe, chunk.data(), available, &read, nullptr) || read == 0) {
            break;
        }
        output.append(chunk, 0, read);
    }
    return output;
}

} // namespace

TProcessRun RunAndWait(const std::wstring& Program, const std::wstring& CommandLine, DWORD TimeoutMs, bool NewConsole) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    TUniqueKernelHandle outRead, outWrite, inRead, inWrite;
    if (!CreatePipe(outRead.put(), outWrite.put(), &inherit, 1 << 16) ||
        !CreatePipe(inRead.put(), inWrite.put(), &inherit, 0)) {
        return {};
    }
    SetHandleInformation(outRead.get(), HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(inWrite.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!NewConsole) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = inRead.get();
        startup.hStdOutput = outWrite.get();
        startup.hStdError = outWrite.get();
    }
    PROCESS_INFORMATION started{};
    std::wstring command = CommandLine;
    if (!CreateProcessW(Program.c_str(), command.data(), nullptr, nullptr, !NewConsole,
                        NewConsole ? CREATE_NEW_CONSOLE : 0, nullptr, nullptr, &startup, &started)) {
        return {};
    }
    const TUniqueKernelHandle process(started.hProcess);
    const TUniqueKernelHandle thread(started.hThread);
    outWrite.reset();
    inRead.reset();

    TProcessRun run;
    const ULONGLONG start = GetTickCount64();
    run.Finished = WaitForSingleObject(process.get(), TimeoutMs) == WAIT_OBJECT_0;
    run.Milliseconds = static_cast<DWORD>(GetTickCount64() - start);
    if (!run.Finished) {
        TerminateProcess(process.get(), 255);
        WaitForSingleObject(process.get(), 5000);
    }
    GetExitCodeProcess(process.get(), &run.ExitCode);
    run.Output = ReadAvailable(outRead.get());
    return run;
}
