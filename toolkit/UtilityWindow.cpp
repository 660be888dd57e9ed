#include "toolkit/UtilityWindow.h"

#include "sysutil/Exceptions.h"
#include "toolkit/Application.h"

namespace {

const wchar_t* const ClassName = L"FetchoraUtilityWindow";

void RegisterClassOnce() {
    // Once per process; the error code is kept, since later calls would find a stale one.
    static const DWORD error = [] {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = ClassName;
        return RegisterClassExW(&windowClass) != 0 ? DWORD{ERROR_SUCCESS} : GetLastError();
    }();
    if (error != ERROR_SUCCESS) {
        throw EOSError(error, L"(registering the utility window class)");
    }
}

} // namespace

TUtilityWindow::TUtilityWindow(THandler Handler) : FHandler(std::move(Handler)) {
    RegisterClassOnce();
    FWindow.reset(
        CreateWindowExW(0, ClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!FWindow) {
        throw EOSError(GetLastError(), L"(creating a utility window)");
    }
    // Set after creation: the creation messages need no handler, and the class procedure is
    // replaced only once the pointer is in place.
    SetWindowLongPtrW(FWindow.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(FWindow.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TUtilityWindow::WindowProc));
}

LRESULT CALLBACK TUtilityWindow::WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) noexcept {
    auto* self = reinterpret_cast<TUtilityWindow*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
    if (self != nullptr && self->FHandler) {
        try {
            if (self->FHandler(Message, WParam, LParam)) {
                return 0;
            }
        } catch (...) {
            Application.HandleCurrentException();
            return 0;
        }
    }
    return DefWindowProcW(Window, Message, WParam, LParam);
}
