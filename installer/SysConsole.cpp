#include "installer/SysConsole.h"

#include "sysutil/Exceptions.h"
#include "sysutil/Handles.h"
#include "sysutil/Processes.h"
#include "sysutil/TextHelpers.h"
#include "sysutil/Utf8.h"

#include <windows.h>

#include <tlhelp32.h>

bool sysconsole::ConsoleAttached = false;

namespace {

// A process without standard handles of its own (a windowed program) writes to the console
// it attached to through CONOUT$; kept open once opened.
TUniqueFileHandle& ConsoleOutput() {
    static TUniqueFileHandle output;
    return output;
}

HANDLE OutputHandle() {
    const HANDLE standard = GetStdHandle(STD_OUTPUT_HANDLE);
    if (standard != nullptr && standard != INVALID_HANDLE_VALUE) {
        return standard;
    }
    TUniqueFileHandle& output = ConsoleOutput();
    if (!output) {
        output.reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    }
    return output.get();
}

} // namespace

std::wstring sysconsole::GetParentProcessName() {
    const TUniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return {};
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    const DWORD self = GetCurrentProcessId();
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID != self) {
            continue;
        }
        const TUniqueKernelHandle parent(
            OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, entry.th32ParentProcessID));
        if (!parent) {
            return {};
        }
        return ProcessImagePath(parent.get());
    }
    return {};
}

bool sysconsole::ConsoleCalled() {
    const std::wstring path = LowerText(GetParentProcessName());
    const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
    return name == L"cmd.exe" || name == L"powershell.exe";
}

bool sysconsole::Connect(bool Force) {
    if (ConsoleAttached) {
        return false;
    }
    if (!Force && !ConsoleCalled()) {
        return false;
    }
    // Fails harmlessly when the process has a console already (a test run from one).
    AttachConsole(ATTACH_PARENT_PROCESS);
    ConsoleAttached = true;
    return true;
}

void sysconsole::QuickOutput(const std::wstring& Text) {
    if (!ConsoleAttached && !Connect(false)) {
        return;
    }
    const std::wstring line = Text + L"\r\n";
    const HANDLE output = OutputHandle();
    DWORD mode = 0;
    DWORD written = 0;
    bool ok = false;
    if (GetConsoleMode(output, &mode)) {
        ok = WriteConsoleW(output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
             written == line.size();
    } else {
        // Redirected to a file or a pipe: UTF-8 bytes.
        const std::string bytes = WideToUtf8(line);
        ok = WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
             written == bytes.size();
    }
    if (!ok) {
        throw EOSError(GetLastError(), L"console output");
    }
}

void sysconsole::Disconnect() {
    ConsoleAttached = false;
    ConsoleOutput().reset();
    FreeConsole();
}
