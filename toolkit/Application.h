// The application object: the UI thread's message loop, the main form and the list of open
// forms, the general error report, and the hand-off of calls from worker threads to the UI
// thread. The UI thread is the thread that constructs the global Application (the program's
// main thread). The application owns the forms created with it as owner.
//
// Hand-off: Synchronize queues a call and blocks the worker until the UI thread has run it.
// The UI thread runs queued calls whenever it dispatches messages (a hidden message-only window
// is told of each new call, so modal loops run them too) and while it waits in WaitFor, so a
// UI-thread wait for a worker never blocks a worker that is waiting for the UI thread.
#pragma once

#include "toolkit/Component.h"
#include "toolkit/UtilityWindow.h"

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class TForm;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }

    // The caption of the general error report; the program file's name without extension
    // until set.
    const std::wstring& Title() const noexcept { return FTitle; }
    void SetTitle(const std::wstring& Value) { FTitle = Value; }

    bool InMainThread() const noexcept { return GetCurrentThreadId() == FMainThreadId; }

    // The message loop: runs until Terminate (or WM_QUIT). An error escaping a message
    // handler goes to the general error report and the loop goes on.
    void Run();
    // Dispatches every waiting message (and so every queued call) without blocking.
    void ProcessMessages();
    // Dispatches one message, waiting for one when none is there.
    void HandleMessage();
    // Ends the message loop; callable from any thread.
    void Terminate();
    bool Terminated() const noexcept { return FTerminated; }

    TForm* MainForm() const noexcept { return FMainForm; }
    void SetMainForm(TForm* Value) { FMainForm = Value; }
    // Open forms in the order they were created.
    int FormCount() const noexcept { return static_cast<int>(FForms.size()); }
    // ERangeError outside 0..FormCount-1.
    TForm* Forms(int Index) const;

    // The general error report: shows the error's message (ShowMessage with the title).
    void ShowException(const std::exception& Error);
    // For catch (...) blocks at the edge of the program and of window procedures.
    void HandleCurrentException() noexcept;

    // Runs Proc on the UI thread and returns when it has run; on the UI thread itself it runs
    // at once. An exception thrown by Proc is raised again in the calling thread. Once the
    // application object has ended, a worker's call never runs and never returns: the program
    // is ending, and the forms such calls would touch are gone.
    void Synchronize(const std::function<void()>& Proc);
    // Runs the queued calls on the UI thread; true when there were any.
    bool CheckSynchronize();
    // Waits until Object is signalled or Timeout (ms) has passed; true when signalled. On the
    // UI thread, queued calls and messages sent from other threads are served while waiting.
    bool WaitFor(HANDLE Object, DWORD Timeout = INFINITE);

private:
    friend class TForm;
    void AddForm(TForm* Form);
    void RemoveForm(TForm* Form);

    struct TSyncRequest {
        const std::function<void()>* Proc;
        std::exception_ptr Error;
        bool Done = false;
    };
    // What worker threads touch. Deliberately never freed: a thread that frees itself may still
    // run when the program ends, and after the application's end its calls block here until the
    // process is gone instead of reaching freed memory (or the forms freed before).
    struct TSyncState {
        std::mutex Lock;
        std::condition_variable Done;
        std::deque<TSyncRequest*> Queue;
        TUniqueKernelHandle Event; // set while calls are queued
        HWND Window = nullptr;     // the hidden window; null once the application has ended
        bool Closed = false;
    };
    bool UtilityMessage(UINT Message);

    std::wstring FTitle;
    DWORD FMainThreadId;
    std::atomic<bool> FTerminated = false;
    TForm* FMainForm = nullptr;
    std::vector<TForm*> FForms;

    TSyncState& FSync;
    TUtilityWindow FWindow;
};

extern TApplication Application;
