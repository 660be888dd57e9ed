// The demo product: one window with its name and version. It ends when the window is
// closed (WM_CLOSE, so "taskkill" without /F closes it as well).
#include "product/demo/MainWindow.h"
#include "sysutil/Exceptions.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE Instance, HINSTANCE, PWSTR, int ShowCommand) {
    TMainWindow window;
    try {
        window.Create(Instance, ShowCommand);
    } catch (const EError& error) {
        MessageBoxW(nullptr, error.Message().c_str(), L"Fetchora", MB_OK | MB_ICONERROR);
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
