// Extracts one archive the way the installer does and prints the time it took and the
// process's memory use, for scripts/benchmark-extract.sh.
//   ExtractBench ARCHIVE FOLDER
#include "installer/ZipArchive.h"
#include "sysutil/Exceptions.h"
#include "sysutil/Handles.h"

#include <windows.h>

#include <psapi.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fwprintf(stderr, L"usage: ExtractBench ARCHIVE FOLDER\n");
        return 2;
    }
    try {
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        // Opened as the installer opens its archive: others may read it, not change it.
        TUniqueFileHandle file(CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            throw EOSError(GetLastError(), argv[1]);
        }
        TExtractProgress last;
        TZipArchive archive(file.get());
        archive.ExtractAll(argv[2], [&](const TExtractProgress& Progress) { last = Progress; });
        QueryPerformanceCounter(&end);

        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
        const double mib = 1024.0 * 1024.0;
        std::wprintf(L"entries %llu\nbytes %llu\nseconds %.3f\n", last.EntriesDone, last.BytesDone,
                     double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
        std::wprintf(L"private_mib %.1f\npeak_private_mib %.1f\npeak_working_set_mib %.1f\n",
                     double(memory.PrivateUsage) / mib, double(memory.PeakPagefileUsage) / mib,
                     double(memory.PeakWorkingSetSize) / mib);
        return 0;
    } catch (const EError& error) {
        std::fwprintf(stderr, L"%ls\n", error.Message().c_str());
        return 1;
    }
}
