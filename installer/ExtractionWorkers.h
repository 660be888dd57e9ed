// The threads of one extraction: they take the entries one by one, and the calling thread
// reports what they have done, step by step in the order the steps were made, while they
// work. Creating and writing files costs more than inflating them, above all for many small
// files, so a few threads working side by side finish sooner than one.
#pragma once

#include "installer/ZipArchive.h"

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <vector>

class TExtractionWorkers {
public:
    TExtractionWorkers(uint64_t EntryCount, uint64_t BytesTotal, const TExtractProgressEvent& Progress);
    TExtractionWorkers(const TExtractionWorkers&) = delete;
    TExtractionWorkers& operator=(const TExtractionWorkers&) = delete;

    // Runs Work(worker number) on Workers threads and reports their steps until every one
    // has ended. Raises the first failure of a worker (or of the progress event), after
    // which no further entry is handed out.
    void Run(size_t Workers, const std::function<void(size_t Worker)>& Work);

    // For the workers: the number of the next entry to extract; false once every entry is
    // handed out or a worker has failed.
    bool Next(size_t& Index);
    // For the workers: a block written (Bytes) or an entry done (Entries).
    void Advance(uint64_t Entries, uint64_t Bytes);

private:
    struct TStep {
        uint64_t Entries;
        uint64_t Bytes;
    };

    void Started();
    void Ended();
    void Fail(std::exception_ptr Failure);
    void ReportUntilEnded();
    void Report(const TStep& Step);

    const uint64_t FEntryCount;
    const TExtractProgressEvent& FProgress;
    TExtractProgress FState;
    std::atomic<size_t> FNext = 0;
    std::atomic<bool> FFailed = false;

    // Guarded by FLock.
    SRWLOCK FLock = SRWLOCK_INIT;
    CONDITION_VARIABLE FChanged = CONDITION_VARIABLE_INIT;
    std::vector<TStep> FSteps;
    size_t FRunning = 0;
    std::exception_ptr FFailure;
};
