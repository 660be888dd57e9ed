#include "toolkit/Application.h"

#include "sysutil/Exceptions.h"
#include "sysutil/Processes.h"
#include "sysutil/Seams.h"
#include "sysutil/Utf8.h"

#include <algorithm>

TApplication Application;

namespace {

// Messages of the application's hidden window.
constexpr UINT WM_SYNCHRONIZE = WM_APP + 1;
constexpr UINT WM_TERMINATE = WM_APP + 2;

std::wstring ProgramTitle() {
    std::wstring title = ProcessImagePath(GetCurrentProcess());
    title.erase(0, title.find_last_of(L"\\/") + 1);
    const size_t dot = title.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > 0) {
        title.erase(dot);
    }
    return title;
}

} // namespace

TApplication::TApplication()
    : TComponent(nullptr), FTitle(ProgramTitle()), FMainThreadId(GetCurrentThreadId()), FSync(*new TSyncState),
      FWindow([this](UINT Message, WPARAM, LPARAM) { return UtilityMessage(Message); }) {
    FSync.Event.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!FSync.Event) {
        throw EOSError(GetLastError(), L"(creating the application's event)");
    }
    FSync.Window = FWindow.Handle();
}

TApplication::~TApplication() {
    // The forms leave FForms while they are freed, so they go before the members do.
    DestroyComponents();
    std::lock_guard lock(FSync.Lock);
    FSync.Closed = true;
    FSync.Window = nullptr;
}

const TPropertyTable& TApplication::StaticProperties() {
    static const TPropertyTable Table =
        TPropertyTableBuilder<TApplication>(L"TApplication", &TComponent::StaticProperties())
            .String(L"Title", &TApplication::Title, &TApplication::SetTitle)
            .Build();
    return Table;
}

bool TApplication::UtilityMessage(UINT Message) {
    switch (Message) {
    case WM_SYNCHRONIZE:
        CheckSynchronize();
        return true;
    case WM_TERMINATE:
        PostQuitMessage(0);
        return true;
    default:
        return false;
    }
}

void TApplication::Run() {
    FTerminated = false;
    while (!FTerminated) {
        try {
            HandleMessage();
        } catch (...) {
            HandleCurrentException();
        }
    }
}

void TApplication::ProcessMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            FTerminated = true;
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void TApplication::HandleMessage() {
    MSG message;
    const BOOL result = GetMessageW(&message, nullptr, 0, 0);
    if (result == -1) {
        throw EOSError(GetLastError(), L"(reading the message queue)");
    }
    if (result == 0) {
        FTerminated = true;
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void TApplication::Terminate() {
    if (InMainThread()) {
        PostQuitMessage(0);
    } else {
        std::lock_guard lock(FSync.Lock);
        if (FSync.Window != nullptr) {
            PostMessageW(FSync.Window, WM_TERMINATE, 0, 0);
        }
    }
}

TForm* TApplication::Forms(int Index) const {
    if (Index < 0 || Index >= FormCount()) {
        throw ERangeError(L"Form index " + std::to_wstring(Index) + L" is out of range.");
    }
    return FForms[static_cast<size_t>(Index)];
}

void TApplication::AddForm(TForm* Form) {
    FForms.push_back(Form);
}

void TApplication::RemoveForm(TForm* Form) {
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
    if (FMainForm == Form) {
        FMainForm = nullptr;
    }
}

void TApplication::ShowException(const std::exception& Error) {
    const auto* error = dynamic_cast<const EError*>(&Error);
    ShowMessage(FTitle, error != nullptr ? error->Message() : Utf8ToWide(Error.what()), MB_OK | MB_ICONERROR);
}

void TApplication::HandleCurrentException() noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& error) {
            ShowException(error);
        } catch (...) {
            ShowMessage(FTitle, L"An unknown error has occurred.", MB_OK | MB_ICONERROR);
        }
    } catch (...) {
        // The report itself failed (no memory, or a message handler that throws); there is
        // nobody left to tell.
    }
}

void TApplication::Synchronize(const std::function<void()>& Proc) {
    if (InMainThread()) {
        Proc();
        return;
    }
    TSyncRequest request{&Proc, nullptr, false};
    {
        std::unique_lock lock(FSync.Lock);
        if (FSync.Closed) {
            // The program is ending; nobody will run the call (see TSyncState).
            FSync.Done.wait(lock, [] { return false; });
        }
        FSync.Queue.push_back(&request);
        SetEvent(FSync.Event.get());
        // The message wakes a UI thread that sits in a message loop (its own or a modal one);
        // the event wakes one that waits in WaitFor.
        PostMessageW(FSync.Window, WM_SYNCHRONIZE, 0, 0);
        FSync.Done.wait(lock, [&request] { return request.Done; });
    }
    if (request.Error) {
        std::rethrow_exception(request.Error);
    }
}

bool TApplication::CheckSynchronize() {
    if (!InMainThread()) {
        return false;
    }
    bool ran = false;
    for (;;) {
        TSyncRequest* request;
        {
            std::lock_guard lock(FSync.Lock);
            if (FSync.Queue.empty() || FSync.Closed) {
                ResetEvent(FSync.Event.get());
                return ran;
            }
            // One at a time, so that a call which itself waits (and so runs queued calls)
            // keeps the arrival order.
            request = FSync.Queue.front();
            FSync.Queue.pop_front();
        }
        std::exception_ptr error;
        try {
            (*request->Proc)();
        } catch (...) {
            error = std::current_exception();
        }
        {
            std::lock_guard lock(FSync.Lock);
            request->Error = error;
            request->Done = true; // the worker may return (and free the request) from here on
        }
        FSync.Done.notify_all();
        ran = true;
    }
}

bool TApplication::WaitFor(HANDLE Object, DWORD Timeout) {
    if (!InMainThread()) {
        const DWORD result = WaitForSingleObject(Object, Timeout);
        if (result == WAIT_FAILED) {
            throw EOSError(GetLastError(), L"(waiting)");
        }
        return result == WAIT_OBJECT_0;
    }
    const HANDLE handles[2] = {Object, FSync.Event.get()};
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        DWORD remaining = INFINITE;
        if (Timeout != INFINITE) {
            const ULONGLONG elapsed = GetTickCount64() - start;
            remaining = elapsed >= Timeout ? 0 : static_cast<DWORD>(Timeout - elapsed);
        }
        // MWMO_INPUTAVAILABLE: also wake for sent messages that arrived before the wait began.
        const DWORD result = MsgWaitForMultipleObjectsEx(2, handles, remaining, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (result == WAIT_OBJECT_0) {
            return true;
        }
        if (result == WAIT_OBJECT_0 + 1) {
            CheckSynchronize();
        } else if (result == WAIT_OBJECT_0 + 2) {
            // Peeking delivers the messages other threads sent to this thread's windows.
            MSG message;
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        } else if (result == WAIT_TIMEOUT) {
            return false;
        } else {
            throw EOSError(GetLastError(), L"(waiting)");
        }
    }
}
