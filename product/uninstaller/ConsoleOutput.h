// Lines for whoever started the uninstaller from a command line or a script: its standard
// output when that was handed over (redirected to a file or a pipe), otherwise the console
// of the parent process, if it has one. Without either the lines go nowhere.
#pragma once

#include "sysutil/Handles.h"

#include <string>

class TConsoleOutput {
public:
    TConsoleOutput() = default;
    ~TConsoleOutput();
    TConsoleOutput(const TConsoleOutput&) = delete;
    TConsoleOutput& operator=(const TConsoleOutput&) = delete;

    void WriteLine(const std::wstring& Line);

private:
    void Open();

    bool FOpened = false;
    bool FAttached = false;
    HANDLE FOutput = nullptr; // borrowed from the process or from FConsole
    TUniqueFileHandle FConsole;
};
