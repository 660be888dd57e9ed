// A hidden message-only window of the thread that creates it, for timers and for the
// application's hand-off of calls. Messages go to the handler given at creation, which returns
// true for the messages it handled; the others get the default handling. An error the handler
// throws is caught at the window procedure and goes to the general error report.
#pragma once

#include "sysutil/Handles.h"

#include <windows.h>

#include <functional>

namespace HandleDetail {
inline void CloseWindow(HWND Window) {
    DestroyWindow(Window);
}
} // namespace HandleDetail
using TUniqueWindow = TUniqueHandle<HWND, HandleDetail::CloseWindow>;

class TUtilityWindow {
public:
    using THandler = std::function<bool(UINT Message, WPARAM WParam, LPARAM LParam)>;

    // Raises EOSError when the window cannot be created.
    explicit TUtilityWindow(THandler Handler);
    TUtilityWindow(const TUtilityWindow&) = delete;
    TUtilityWindow& operator=(const TUtilityWindow&) = delete;

    HWND Handle() const noexcept { return FWindow.get(); }

private:
    static LRESULT CALLBACK WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) noexcept;

    THandler FHandler;
    TUniqueWindow FWindow;
};
