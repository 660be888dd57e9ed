// Runs one of the build's programs as a separate process and waits for it, with its
// standard output captured, as a script would run it.
#pragma once

#include <windows.h>

#include <string>

struct TProcessRun {
    bool Finished = false; // within the time allowed; otherwise the process is ended
    DWORD ExitCode = 0;
    std::string Output;
    DWORD Milliseconds = 0;
};

// CommandLine is the complete command line, program included. The program's input is an
// empty pipe and its output is captured; with NewConsole it gets a console of its own for
// both instead, and no output is captured.
TProcessRun RunAndWait(const std::wstring& Program, const std::wstring& CommandLine, DWORD TimeoutMs,
                       bool NewConsole = false);
