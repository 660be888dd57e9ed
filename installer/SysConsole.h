// Console lines for a windowed program: when it was started from a command prompt, its lines
// go to the console of the prompt that started it. Class operations only.
#pragma once

#include <string>

class sysconsole {
public:
    sysconsole() = delete;

    // Full path of the executable of the process that started this one; empty when unknown.
    static std::wstring GetParentProcessName();
    // The parent is cmd.exe or powershell.exe; asked anew on every call.
    static bool ConsoleCalled();
    // True only when this call attached to the parent's console.
    static bool Connect(bool Force = false);
    // One line (with CR LF) on standard output, once attached; raises EOSError when the
    // write fails.
    static void QuickOutput(const std::wstring& Text);
    static void Disconnect();

private:
    static bool ConsoleAttached;
};
