#include "installer/InstanceGuard.h"

#include "installer/InstallerState.h"
#include "sysutil/CommandLine.h"
#include "sysutil/Handles.h"
#include "sysutil/Processes.h"
#include "sysutil/Seams.h"
#include "sysutil/ShellRun.h"

#include <windows.h>

#include <vector>

std::wstring InstallerExecutablePath() {
    return ProcessImagePath(GetCurrentProcess());
}

std::wstring InstanceNameOf(const std::wstring& ExePath) {
    std::wstring name;
    name.reserve(ExePath.size());
    for (const wchar_t c : ExePath) {
        if (c == L'.' || c == L'\\') {
            name += L'_';
        } else if (c != L':') {
            name += c;
        }
    }
    if (name.size() > 100) {
        name = name.substr(name.size() - 101, 100);
    }
    return name;
}

std::wstring GetInstanceName() {
    static const std::wstring name = InstanceNameOf(InstallerExecutablePath());
    return name;
}

bool IsAnotherInstanceRunning() {
    // Never closed: the first instance holds the semaphore until it ends.
    static std::vector<TUniqueKernelHandle> held;
    TUniqueKernelHandle semaphore(CreateSemaphoreW(nullptr, 0, 1, GetInstanceName().c_str()));
    const bool exists = semaphore && GetLastError() == ERROR_ALREADY_EXISTS;
    if (semaphore) {
        held.push_back(std::move(semaphore));
    }
    return exists;
}

void RestartAsAdmin(const std::wstring& Prefix) {
    const std::wstring prefix = Prefix.empty() ? Prefix : Prefix + L' ';
    RunProgram(InstallerExecutablePath(), true, prefix + L"-force " + GetParameterLine(StartCommandLine), true, L"");
    Sleep(500);
    EndProgram(0);
}
