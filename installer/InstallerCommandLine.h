// The installer's command line: switches applied to the installer state, the help text, and
// the unattended (silent) run.
#pragma once

#include <string>

// Exit codes of the installer.
constexpr unsigned ExitSuccess = 0;
constexpr unsigned ExitInstallFailed = 1;
constexpr unsigned ExitCommandLineRefused = 2;
constexpr unsigned ExitNotContinued = 3;

// Applies the parameters of StartCommandLine. Ends the program for "-help", a refused value,
// an elevated restart and a finished silent run; otherwise returns the run mode: 0 the wizard
// starts normally, 1 the wizard begins with the installation.
int ReadCommandLine();

// One console line, when the installer was started from a command prompt.
void ConsoleLog(const std::wstring& Text);

// The folder above Path once expanded, or empty when it has none; a drive root keeps its
// backslash.
std::wstring ParentFolderOf(const std::wstring& Path);
