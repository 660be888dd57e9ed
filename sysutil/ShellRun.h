// Starting programs through the shell. Every start goes through the StartProgram seam and
// is not waited for; the shell's answer is not examined.
#pragma once

#include <string>

// Visible shows the program normally, otherwise hidden; Elevated asks the shell for
// administrator rights ("runas"), and a refused prompt simply starts nothing. Empty
// Parameters or WorkingFolder pass no value.
void RunProgram(const std::wstring& FileName, bool Visible, const std::wstring& Parameters, bool Elevated,
                const std::wstring& WorkingFolder);

// The full path of a program in the system folder ("taskkill.exe", "cmd.exe"). System
// programs are always started by this path: found through the search path, a file of the
// same name beside our own executable (say, in Downloads) would run with our rights.
// Raises EOSError when the system folder cannot be read.
std::wstring SystemProgramPath(const std::wstring& FileName);
