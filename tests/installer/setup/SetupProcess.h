// Runs a program of the build the way a user does from a command prompt ("cmd /c ..."),
// with the prompt's standard output captured.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct TCommandRun {
    DWORD ExitCode = 0;
    // The output split at line breaks; a last empty line is kept.
    std::vector<std::wstring> Lines;
};

// Runs "cmd /c Program Parameters" in Folder and waits for it to end.
TCommandRun RunFromCommandPrompt(const std::wstring& Folder, const std::wstring& Program,
                                 const std::wstring& Parameters);
