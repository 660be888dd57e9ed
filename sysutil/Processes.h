// The running processes of the machine, as the system's process snapshot lists them, and
// what the program does with one: ask it to close, end it, show its icon.
#pragma once

#include "sysutil/Handles.h"

#include <cstdint>
#include <string>
#include <vector>

struct TProcess {
    std::wstring Module;   // the executable's file name without folder
    std::wstring FileName; // its full path; empty when the process cannot be opened
    std::wstring Command;  // not filled
    uint32_t PID = 0;
    uint32_t ParentPID = 0;
    uint32_t Modules = 0;
    uint32_t Threads = 0;
    int32_t Priority = 0;
    uint32_t Flags = 0;

    // Both run the system's taskkill hidden through the StartProgram seam and return at
    // once, without waiting or looking at the outcome. CloseProcess asks the process's
    // windows to close; KillProcess ends the process forcibly.
    void CloseProcess() const;
    void KillProcess() const;
    // The icon associated with FileName, or an empty handle when the file does not exist.
    TUniqueIcon GetIcon() const;
};

// The full path of the process's main module; empty when it cannot be read. The handle
// needs PROCESS_QUERY_INFORMATION and PROCESS_VM_READ access.
std::wstring ProcessImagePath(HANDLE Process);

// Every process of a snapshot, in the system's order; empty when no snapshot can be taken.
std::vector<TProcess> GetRunningProcesses();
