// The program's contacts with the user and with the rest of the system go through these
// routines, one each: showing a message or question, starting another program, asking
// whether the user is an administrator, and ending the program. Each has a handler that
// the program (or a test) may replace; an empty handler restores the system's behaviour.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// A message or question. Flags are MB_* values; the result is IDOK, IDYES, IDNO, ...
using TMessageHandler = std::function<int(const std::wstring& Title, const std::wstring& Text, UINT Flags)>;
int ShowMessage(const std::wstring& Title, const std::wstring& Text, UINT Flags);
TMessageHandler SetMessageHandler(TMessageHandler Handler);

// A program started through the shell; it is not waited for.
struct TProgramStart {
    std::wstring Verb; // "open" or "runas"
    std::wstring FileName;
    std::wstring Parameters;
    std::wstring WorkingFolder;
    int ShowCommand = SW_SHOWNORMAL;
};
using TStartHandler = std::function<void(const TProgramStart& Start)>;
void StartProgram(const TProgramStart& Start);
TStartHandler SetStartHandler(TStartHandler Handler);

// Whether the calling thread's token has the Administrators group enabled.
using TAdminHandler = std::function<bool()>;
bool IsUserAdmin();
TAdminHandler SetAdminHandler(TAdminHandler Handler);

// Ends the program with an exit code. The system's handler ends the process; a test's
// handler throws, so that everything on the stack is cleaned up as usual. Should a
// handler return, EProgramEnded is thrown in its place.
struct EProgramEnded {
    UINT ExitCode;
};
using TExitHandler = std::function<void(UINT ExitCode)>;
[[noreturn]] void EndProgram(UINT ExitCode);
TExitHandler SetExitHandler(TExitHandler Handler);

// Puts a handler in place for the lifetime of the object and restores the previous one.
template <typename THandler, THandler (*Set)(THandler)> class TSeamOverride {
public:
    explicit TSeamOverride(THandler Handler) : FPrevious(Set(std::move(Handler))) {}
    ~TSeamOverride() { Set(std::move(FPrevious)); }
    TSeamOverride(const TSeamOverride&) = delete;
    TSeamOverride& operator=(const TSeamOverride&) = delete;

private:
    THandler FPrevious;
};
using TMessageOverride = TSeamOverride<TMessageHandler, SetMessageHandler>;
using TStartOverride = TSeamOverride<TStartHandler, SetStartHandler>;
using TAdminOverride = TSeamOverride<TAdminHandler, SetAdminHandler>;
using TExitOverride = TSeamOverride<TExitHandler, SetExitHandler>;
