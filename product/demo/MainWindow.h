// The demo product's only window: the product's name and version, drawn with GDI.
#pragma once

#include "sysutil/Handles.h"

#include <windows.h>

class TMainWindow {
public:
    TMainWindow() = default;
    TMainWindow(const TMainWindow&) = delete;
    TMainWindow& operator=(const TMainWindow&) = delete;

    // Registers the class once and creates the visible window; throws EOSError when it cannot.
    void Create(HINSTANCE Instance, int ShowCommand);

private:
    static LRESULT CALLBACK WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) noexcept;
    LRESULT HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam);
    void OnPaint();
    void OnDpiChanged(UINT Dpi, const RECT& Suggested);
    void CreateFonts();
    int Scale(int Value) const { return MulDiv(Value, static_cast<int>(FDpi), USER_DEFAULT_SCREEN_DPI); }

    HWND FHandle = nullptr;
    UINT FDpi = USER_DEFAULT_SCREEN_DPI;
    TUniqueFont FTitleFont;
    TUniqueFont FTextFont;
    TUniqueIcon FLogo;
};
