#include "product/demo/MainWindow.h"

#include "product/ProductInfo.h"
#include "sysutil/Exceptions.h"

namespace {

const wchar_t* const ClassName = L"FetchoraMainWindow";
const wchar_t* const FullName = L"" FETCHORA_FULL_NAME;
const wchar_t* const VersionLine = L"Version " FETCHORA_VERSION_TEXT;
const wchar_t* const PublisherLine = L"" FETCHORA_PUBLISHER;

constexpr int ClientWidth = 520;
constexpr int ClientHeight = 260;
constexpr int LogoSize = 64;

// GetDpiForWindow arrived with Windows 10; older systems report the DPI of the screen DC.
UINT WindowDpi(HWND Window) {
    using TGetDpiForWindow = UINT(WINAPI*)(HWND);
    static const auto getDpi = reinterpret_cast<TGetDpiForWindow>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpi != nullptr) {
        const UINT dpi = getDpi(Window);
        if (dpi != 0) {
            return dpi;
        }
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

TUniqueFont MakeFont(int PixelHeight, int Weight) {
    LOGFONTW font{};
    font.lfHeight = -PixelHeight;
    font.lfWeight = Weight;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    wcscpy_s(font.lfFaceName, L"Segoe UI");
    return TUniqueFont(CreateFontIndirectW(&font));
}

void DrawLine(HDC DC, HFONT Font, const wchar_t* Text, COLORREF Color, RECT& Area) {
    TSelectObject select(DC, Font);
    SetTextColor(DC, Color);
    RECT measured = Area;
    DrawTextW(DC, Text, -1, &measured, DT_CENTER | DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    DrawTextW(DC, Text, -1, &Area, DT_CENTER | DT_SINGLELINE | DT_TOP | DT_NOPREFIX);
    Area.top += measured.bottom - measured.top;
}

} // namespace

void TMainWindow::Create(HINSTANCE Instance, int ShowCommand) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = Instance;
    windowClass.hIcon = LoadIconW(Instance, MAKEINTRESOURCEW(FETCHORA_APP_ICON));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = ClassName;
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw EOSError(GetLastError(), L"(registering the main window class)");
    }
    const DWORD style = WS_OVERLAPPEDWINDOW & ~(WS_MAXIMIZEBOX | WS_THICKFRAME);
    // The size is set once the DPI of the window's monitor is known.
    if (CreateWindowExW(0, ClassName, FullName, style, CW_USEDEFAULT, CW_USEDEFAULT, ClientWidth, ClientHeight, nullptr,
                        nullptr, Instance, this) == nullptr) {
        throw EOSError(GetLastError(), L"(creating the main window)");
    }
    RECT frame{0, 0, Scale(ClientWidth), Scale(ClientHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    SetWindowPos(FHandle, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(FHandle, ShowCommand);
    UpdateWindow(FHandle);
}

LRESULT CALLBACK TMainWindow::WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) noexcept {
    if (Message == WM_NCCREATE) {
        auto* self = static_cast<TMainWindow*>(reinterpret_cast<CREATESTRUCTW*>(LParam)->lpCreateParams);
        self->FHandle = Window;
        SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TMainWindow*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(Window, Message, WParam, LParam);
    }
    // No C++ exception may unwind through user32; the demo has nothing to report, so it ends.
    try {
        return self->HandleMessage(Message, WParam, LParam);
    } catch (...) {
        PostQuitMessage(1);
        return 0;
    }
}

LRESULT TMainWindow::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) {
    switch (Message) {
    case WM_CREATE:
        FDpi = WindowDpi(FHandle);
        CreateFonts();
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(WParam), *reinterpret_cast<const RECT*>(LParam));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY: {
        const HWND window = FHandle;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        FHandle = nullptr;
        return DefWindowProcW(window, Message, WParam, LParam);
    }
    }
    return DefWindowProcW(FHandle, Message, WParam, LParam);
}

void TMainWindow::CreateFonts() {
    FTitleFont = MakeFont(Scale(28), FW_SEMIBOLD);
    FTextFont = MakeFont(Scale(16), FW_NORMAL);
    FLogo.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(FETCHORA_APP_ICON),
                                              IMAGE_ICON, Scale(LogoSize), Scale(LogoSize), LR_DEFAULTCOLOR)));
}

void TMainWindow::OnPaint() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(FHandle, &paint);
    RECT client;
    GetClientRect(FHandle, &client);
    SetBkMode(dc, TRANSPARENT);

    RECT area = client;
    area.top += Scale(44);
    if (FLogo) {
        const int size = Scale(LogoSize);
        DrawIconEx(dc, (client.right - size) / 2, area.top, FLogo.get(), size, size, 0, nullptr, DI_NORMAL);
        area.top += size + Scale(14);
    }
    DrawLine(dc, FTitleFont.get(), FullName, GetSysColor(COLOR_WINDOWTEXT), area);
    area.top += Scale(6);
    DrawLine(dc, FTextFont.get(), VersionLine, GetSysColor(COLOR_WINDOWTEXT), area);
    DrawLine(dc, FTextFont.get(), PublisherLine, GetSysColor(COLOR_GRAYTEXT), area);
    EndPaint(FHandle, &paint);
}

void TMainWindow::OnDpiChanged(UINT Dpi, const RECT& Suggested) {
    FDpi = Dpi;
    CreateFonts();
    SetWindowPos(FHandle, nullptr, Suggested.left, Suggested.top, Suggested.right - Suggested.left,
                 Suggested.bottom - Suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(FHandle, nullptr, TRUE);
}
