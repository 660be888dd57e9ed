// Runs one program, waits for it and prints how long it ran, its exit code and the peak of
// its private memory, for scripts/benchmark-install.sh.
//   ProcessMeter PROGRAM [PARAMETERS...]
//
// The private memory is sampled while the program runs: Wine fills the page-file counters
// from the process's anonymous memory and does not always keep their peak, so the largest
// value seen is reported. Mapped files, the program's own image included, are not counted.
#include "sysutil/Exceptions.h"
#include "sysutil/Handles.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

struct TMemoryPeak {
    SIZE_T Private = 0;
    SIZE_T WorkingSet = 0;

    void Sample(HANDLE Process) {
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof counters;
        if (GetProcessMemoryInfo(Process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
            Private = std::max({Private, counters.PrivateUsage, counters.PagefileUsage, counters.PeakPagefileUsage});
            WorkingSet = std::max({WorkingSet, counters.WorkingSetSize, counters.PeakWorkingSetSize});
        }
    }
};

// Our own command line without its first parameter: the program's, exactly as it was given.
std::wstring ForwardedCommandLine() {
    const std::wstring line = GetCommandLineW();
    size_t end = line[0] == L'"' ? line.find(L'"', 1) : line.find_first_of(L" \t");
    end = end == std::wstring::npos ? line.size() : end + (line[0] == L'"' ? 1 : 0);
    const size_t next = line.find_first_not_of(L" \t", end);
    return next == std::wstring::npos ? std::wstring() : line.substr(next);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fwprintf(stderr, L"usage: ProcessMeter PROGRAM [PARAMETERS...]\n");
        return 2;
    }
    try {
        std::wstring line = ForwardedCommandLine();
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        if (!CreateProcessW(argv[1], line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
            throw EOSError(GetLastError(), argv[1]);
        }
        const TUniqueKernelHandle process(started.hProcess);
        const TUniqueKernelHandle thread(started.hThread);
        TMemoryPeak peak;
        while (WaitForSingleObject(process.get(), 5) == WAIT_TIMEOUT) {
            peak.Sample(process.get());
        }
        QueryPerformanceCounter(&end);
        DWORD exitCode = 0;
        GetExitCodeProcess(process.get(), &exitCode);

        const double mib = 1024.0 * 1024.0;
        std::wprintf(L"seconds %.3f\nexit_code %lu\npeak_private_mib %.1f\npeak_working_set_mib %.1f\n",
                     double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart), exitCode,
                     double(peak.Private) / mib, double(peak.WorkingSet) / mib);
        return 0;
    } catch (const EError& error) {
        std::fwprintf(stderr, L"%ls\n", error.Message().c_str());
        return 1;
    }
}
