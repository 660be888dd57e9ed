#include "product/uninstaller/ConsoleOutput.h"

#include "sysutil/Utf8.h"

TConsoleOutput::~TConsoleOutput() {
    FConsole.reset();
    if (FAttached) {
        FreeConsole();
    }
}

void TConsoleOutput::Open() {
    FOpened = true;
    const HANDLE standard = GetStdHandle(STD_OUTPUT_HANDLE);
    if (standard != nullptr && standard != INVALID_HANDLE_VALUE) {
        FOutput = standard;
        return;
    }
    // A windowed program has no console of its own; it may borrow its parent's.
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    FAttached = true;
    FConsole.reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr));
    FOutput = FConsole ? FConsole.get() : nullptr;
}

void TConsoleOutput::WriteLine(const std::wstring& Line) {
    if (!FOpened) {
        Open();
    }
    if (FOutput == nullptr) {
        return;
    }
    const std::wstring text = Line + L"\r\n";
    DWORD written = 0;
    DWORD mode = 0;
    if (GetConsoleMode(FOutput, &mode)) {
        WriteConsoleW(FOutput, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    // A file or a pipe gets UTF-8, which keeps every character of a path.
    const std::string bytes = WideToUtf8(text);
    WriteFile(FOutput, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
