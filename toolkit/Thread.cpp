#include "toolkit/Thread.h"

#include "sysutil/Exceptions.h"
#include "toolkit/Application.h"

TThread::TThread() : FFinishedEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    if (!FFinishedEvent) {
        throw EOSError(GetLastError(), L"(creating a thread object)");
    }
}

TThread::~TThread() {
    if (!FThread.joinable()) {
        return;
    }
    if (FThread.get_id() == std::this_thread::get_id()) {
        // Freeing itself at the end of its run: nothing left to wait for.
        FThread.detach();
        return;
    }
    Terminate();
    WaitUntilFinished();
    FThread.join();
}

void TThread::Start() {
    if (FStarted.exchange(true)) {
        throw EError(L"A thread object runs only once.");
    }
    // Run waits for this lock, so a thread that frees itself cannot be gone before FThread is set.
    std::lock_guard lock(FStartLock);
    FThread = std::thread(&TThread::Run, this);
}

void TThread::Run() noexcept {
    { std::lock_guard lock(FStartLock); }
    try {
        Execute();
    } catch (...) {
        FFatalException = std::current_exception();
    }
    const bool freeSelf = FFreeOnTerminate;
    if (freeSelf && FFatalException) {
        // Nobody is left to look at the error of a thread that frees itself.
        const std::exception_ptr error = FFatalException;
        try {
            Application.Synchronize([error] {
                try {
                    std::rethrow_exception(error);
                } catch (...) {
                    Application.HandleCurrentException();
                }
            });
        } catch (...) {
            // The report runs on the UI thread and catches everything; nothing comes back.
        }
    }
    FFinished = true;
    SetEvent(FFinishedEvent.get());
    // Without free-on-terminate the owner may delete the object from here on.
    if (freeSelf) {
        delete this;
    }
}

void TThread::WaitFor() {
    if (!FStarted || FFinished) {
        return;
    }
    if (FThread.get_id() == std::this_thread::get_id()) {
        throw EError(L"A thread cannot wait for itself.");
    }
    if (FFreeOnTerminate) {
        throw EError(L"A thread that frees itself cannot be waited for.");
    }
    Application.WaitFor(FFinishedEvent.get());
}

void TThread::WaitUntilFinished() {
    if (FStarted && !FFinished && FThread.get_id() != std::this_thread::get_id()) {
        Application.WaitFor(FFinishedEvent.get());
    }
}

void TThread::Synchronize(const std::function<void()>& Proc) {
    Application.Synchronize(Proc);
}
