#include "sysutil/Processes.h"

#include "sysutil/Seams.h"
#include "sysutil/ShellRun.h"

#include <windows.h>

#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

namespace {

void RunTaskkill(uint32_t PID, bool Force) {
    std::wstring parameters = L"/PID \"" + std::to_wstring(PID) + L"\"";
    if (Force) {
        parameters += L" /F";
    }
    StartProgram({L"open", SystemProgramPath(L"taskkill.exe"), parameters, L"", SW_HIDE});
}

} // namespace

std::wstring ProcessImagePath(HANDLE Process) {
    // Long-path-aware programs may run from beyond MAX_PATH.
    std::vector<wchar_t> path(MAX_PATH + 1);
    for (;;) {
        const DWORD length = GetModuleFileNameExW(Process, nullptr, path.data(), static_cast<DWORD>(path.size()));
        // A name that fills the buffer may have been cut off.
        if (length + 1 < path.size() || path.size() >= 32768) {
            return std::wstring(path.data(), length);
        }
        path.resize(path.size() * 2);
    }
}

void TProcess::CloseProcess() const {
    RunTaskkill(PID, false);
}

void TProcess::KillProcess() const {
    RunTaskkill(PID, true);
}

TUniqueIcon TProcess::GetIcon() const {
    const DWORD attributes = FileName.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(FileName.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return TUniqueIcon();
    }
    // The call may write the path of the file that supplied the icon into the buffer.
    std::wstring path = FileName;
    path.resize(path.size() < MAX_PATH ? MAX_PATH : path.size() + 1, L'\0');
    WORD index = 0;
    return TUniqueIcon(ExtractAssociatedIconW(GetModuleHandleW(nullptr), path.data(), &index));
}

std::vector<TProcess> GetRunningProcesses() {
    std::vector<TProcess> processes;
    const TUniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return processes;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        TProcess& process = processes.emplace_back();
        process.Module = entry.szExeFile;
        process.PID = entry.th32ProcessID;
        process.ParentPID = entry.th32ParentProcessID;
        process.Modules = entry.th32ModuleID;
        process.Threads = entry.cntThreads;
        process.Priority = entry.pcPriClassBase;
        process.Flags = entry.dwFlags;
        // System processes and other users' processes refuse this; their FileName stays empty.
        const TUniqueKernelHandle handle(
            OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, entry.th32ProcessID));
        if (handle) {
            process.FileName = ProcessImagePath(handle.get());
        }
    }
    return processes;
}
