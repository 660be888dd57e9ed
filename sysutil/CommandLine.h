// The program's command line, split into parameters by the platform's runtime rules:
// blanks and control characters separate parameters; a pair of double quotes at the start
// of a parameter is skipped; inside a parameter a double quote opens a stretch, blanks
// included, that runs to the next double quote, and the quotes themselves are dropped.
// Parameter 0 is the program, the first parameter is 1.
#pragma once

#include <string>
#include <vector>

std::vector<std::wstring> SplitCommandLine(const std::wstring& CommandLine);

// The parameters after the program.
int ParameterCount(const std::wstring& CommandLine);
int ParameterCount();

// Parameter Index of the command line, empty past the last. A leading slash becomes a
// hyphen, so "/alluser" reads like "-alluser"; letter case stays. Without a command line,
// parameter 0 is the full path of our own executable.
std::wstring GetParameter(int Index, const std::wstring& CommandLine);
std::wstring GetParameter(int Index);

// Parameters 1 to the last as read by GetParameter, joined by single blanks; a parameter
// holding a blank (or another separator) is enclosed in double quotes so that it splits
// back into the same parameter.
std::wstring GetParameterLine(const std::wstring& CommandLine);
std::wstring GetParameterLine();
