#include "installer/ExtractionWorkers.h"

#include <thread>

namespace {

// How often the calling thread looks for new steps to report while the workers run.
constexpr DWORD ReportInterval = 15;

class TExclusive {
public:
    explicit TExclusive(SRWLOCK& Lock) : FLock(Lock) { AcquireSRWLockExclusive(&FLock); }
    ~TExclusive() { ReleaseSRWLockExclusive(&FLock); }
    TExclusive(const TExclusive&) = delete;
    TExclusive& operator=(const TExclusive&) = delete;

private:
    SRWLOCK& FLock;
};

} // namespace

TExtractionWorkers::TExtractionWorkers(uint64_t EntryCount, uint64_t BytesTotal, const TExtractProgressEvent& Progress)
    : FEntryCount(EntryCount), FProgress(Progress) {
    FState.EntryCount = EntryCount;
    FState.BytesTotal = BytesTotal;
}

void TExtractionWorkers::Run(size_t Workers, const std::function<void(size_t Worker)>& Work) {
    std::vector<std::thread> threads;
    threads.reserve(Workers);
    for (size_t worker = 0; worker < Workers; ++worker) {
        Started();
        try {
            threads.emplace_back([this, &Work, worker] {
                try {
                    Work(worker);
                } catch (...) {
                    Fail(std::current_exception());
                }
                Ended();
            });
        } catch (...) {
            // No thread: the ones already running stop at their next entry.
            Fail(std::current_exception());
            Ended();
            break;
        }
    }
    ReportUntilEnded();
    for (std::thread& thread : threads) {
        thread.join();
    }
    if (FFailure) {
        std::rethrow_exception(FFailure);
    }
}

bool TExtractionWorkers::Next(size_t& Index) {
    if (FFailed) {
        return false;
    }
    Index = FNext++;
    return Index < FEntryCount;
}

void TExtractionWorkers::Advance(uint64_t Entries, uint64_t Bytes) {
    if (FProgress) {
        const TExclusive lock(FLock);
        FSteps.push_back({Entries, Bytes});
    }
}

void TExtractionWorkers::Started() {
    const TExclusive lock(FLock);
    ++FRunning;
}

void TExtractionWorkers::Ended() {
    {
        const TExclusive lock(FLock);
        --FRunning;
    }
    WakeConditionVariable(&FChanged);
}

void TExtractionWorkers::Fail(std::exception_ptr Failure) {
    const TExclusive lock(FLock);
    if (!FFailure) {
        FFailure = Failure;
    }
    FFailed = true;
}

void TExtractionWorkers::ReportUntilEnded() {
    std::vector<TStep> steps;
    for (bool running = true; running;) {
        {
            const TExclusive lock(FLock);
            if (FRunning > 0 && FSteps.empty()) {
                SleepConditionVariableSRW(&FChanged, &FLock, ReportInterval, 0);
            }
            steps.swap(FSteps);
            running = FRunning > 0;
        }
        for (const TStep& step : steps) {
            Report(step);
        }
        steps.clear();
    }
}

void TExtractionWorkers::Report(const TStep& Step) {
    FState.EntriesDone += Step.Entries;
    FState.BytesDone += Step.Bytes;
    if (FProgress && !FFailed) {
        try {
            FProgress(FState);
        } catch (...) {
            Fail(std::current_exception());
        }
    }
}
