#include "sysutil/CommandLine.h"

#include "sysutil/Processes.h"

#include <windows.h>

namespace {

bool IsSeparator(wchar_t C) {
    return C <= L' ';
}

std::wstring SwitchWithHyphen(std::wstring Parameter) {
    if (!Parameter.empty() && Parameter.front() == L'/') {
        Parameter.front() = L'-';
    }
    return Parameter;
}

} // namespace

std::vector<std::wstring> SplitCommandLine(const std::wstring& CommandLine) {
    std::vector<std::wstring> parameters;
    const size_t end = CommandLine.size();
    size_t at = 0;
    for (;;) {
        for (;;) {
            while (at < end && IsSeparator(CommandLine[at])) {
                ++at;
            }
            if (at + 1 < end && CommandLine[at] == L'"' && CommandLine[at + 1] == L'"') {
                at += 2;
            } else {
                break;
            }
        }
        if (at >= end) {
            return parameters;
        }
        std::wstring parameter;
        while (at < end && !IsSeparator(CommandLine[at])) {
            if (CommandLine[at] == L'"') {
                const size_t close = CommandLine.find(L'"', at + 1);
                const size_t stop = close == std::wstring::npos ? end : close;
                parameter.append(CommandLine, at + 1, stop - at - 1);
                at = close == std::wstring::npos ? end : close + 1;
            } else {
                parameter += CommandLine[at++];
            }
        }
        // Only a lone quote at the very end gives nothing; it ends the parameters.
        if (parameter.empty()) {
            return parameters;
        }
        parameters.push_back(std::move(parameter));
    }
}

int ParameterCount(const std::wstring& CommandLine) {
    const size_t count = SplitCommandLine(CommandLine).size();
    return count == 0 ? 0 : static_cast<int>(count - 1);
}

int ParameterCount() {
    return ParameterCount(GetCommandLineW());
}

std::wstring GetParameter(int Index, const std::wstring& CommandLine) {
    const std::vector<std::wstring> parameters = SplitCommandLine(CommandLine);
    if (Index < 0 || static_cast<size_t>(Index) >= parameters.size()) {
        return std::wstring();
    }
    return SwitchWithHyphen(parameters[static_cast<size_t>(Index)]);
}

std::wstring GetParameter(int Index) {
    return Index == 0 ? SwitchWithHyphen(ProcessImagePath(GetCurrentProcess()))
                      : GetParameter(Index, GetCommandLineW());
}

std::wstring GetParameterLine(const std::wstring& CommandLine) {
    const std::vector<std::wstring> parameters = SplitCommandLine(CommandLine);
    std::wstring line;
    for (size_t i = 1; i < parameters.size(); ++i) {
        const std::wstring parameter = SwitchWithHyphen(parameters[i]);
        bool separated = false;
        for (wchar_t c : parameter) {
            separated = separated || IsSeparator(c);
        }
        line += separated ? L"\"" + parameter + L"\"" : parameter;
        if (i + 1 < parameters.size()) {
            line += L' ';
        }
    }
    return line;
}

std::wstring GetParameterLine() {
    return GetParameterLine(GetCommandLineW());
}
