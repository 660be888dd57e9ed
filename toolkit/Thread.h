// A worker thread object. It is created suspended and runs Execute once, after Start. With
// FreeOnTerminate set it deletes itself when Execute returns, so the starter must not use the
// pointer after Start; otherwise the owner deletes it, which waits for a running thread first.
// A derived class whose Execute uses its own members calls WaitUntilFinished at the start of its
// destructor, since those members are gone by the time ~TThread runs.
//
// An error that escapes Execute is kept (FatalException) for the owner to look at; a thread
// that frees itself hands it to the application's general error report instead.
#pragma once

#include "sysutil/Handles.h"

#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

class TThread {
public:
    TThread();
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Begins Execute on a new thread; a thread object runs once (EError when started again).
    void Start();
    // Only sets the request flag; Execute decides whether to look at it.
    void Terminate() noexcept { FTerminated = true; }
    // Blocks until Execute has returned; on the UI thread the application's queued calls are
    // served meanwhile, so a worker in Synchronize can finish. EError for a thread that frees
    // itself (it may be gone before the wait ends) and for a wait on the own thread.
    void WaitFor();

    bool FreeOnTerminate() const noexcept { return FFreeOnTerminate; }
    void SetFreeOnTerminate(bool Value) noexcept { FFreeOnTerminate = Value; }
    bool Started() const noexcept { return FStarted; }
    bool Finished() const noexcept { return FFinished; }
    // An error that escaped Execute, kept for the owner.
    std::exception_ptr FatalException() const { return FFatalException; }

protected:
    virtual void Execute() = 0;
    bool Terminated() const noexcept { return FTerminated; }
    // WaitFor for destructors: returns at once on the thread itself and when not running.
    void WaitUntilFinished();
    // Runs Proc on the UI thread and waits for it (Application.Synchronize).
    void Synchronize(const std::function<void()>& Proc);

private:
    void Run() noexcept;

    std::atomic<bool> FTerminated = false;
    std::atomic<bool> FFreeOnTerminate = false;
    std::atomic<bool> FStarted = false;
    std::atomic<bool> FFinished = false;
    std::exception_ptr FFatalException;
    TUniqueKernelHandle FFinishedEvent;
    std::mutex FStartLock; // held by Start until FThread is assigned
    std::thread FThread;
};
