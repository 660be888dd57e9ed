// The installer's start-up sequence: instance check, product defaults, earlier
// installation, command line, and then the wizard or the end of the program.
#pragma once

#include <string>

// Runs the installer for CommandLine (as GetCommandLineW gives it) and returns the exit code
// for the end of the message loop; the early exits end the program through EndProgram. An
// error that reaches this level is shown by the general error report and gives exit code 1.
unsigned RunInstaller(const std::wstring& CommandLine);

// The general error report: the error's message as a console line when started from a
// command prompt, otherwise as a message.
void ReportError(const std::wstring& Message);
