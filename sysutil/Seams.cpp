#include "sysutil/Seams.h"

#include "sysutil/Handles.h"

#include <shellapi.h>

namespace {

TMessageHandler GMessageHandler;
TStartHandler GStartHandler;
TAdminHandler GAdminHandler;
TExitHandler GExitHandler;

template <typename THandler> THandler Exchange(THandler& Slot, THandler Handler) {
    THandler previous = std::move(Slot);
    Slot = std::move(Handler);
    return previous;
}

bool SystemUserAdmin() {
    SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
    TUniqueSid admins;
    if (!AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  admins.put())) {
        return false;
    }
    BOOL member = FALSE;
    return CheckTokenMembership(nullptr, admins.get(), &member) != FALSE && member != FALSE;
}

const wchar_t* OrNull(const std::wstring& Text) {
    return Text.empty() ? nullptr : Text.c_str();
}

} // namespace

int ShowMessage(const std::wstring& Title, const std::wstring& Text, UINT Flags) {
    if (GMessageHandler) {
        return GMessageHandler(Title, Text, Flags);
    }
    return MessageBoxW(nullptr, Text.c_str(), Title.c_str(), Flags);
}

TMessageHandler SetMessageHandler(TMessageHandler Handler) {
    return Exchange(GMessageHandler, std::move(Handler));
}

void StartProgram(const TProgramStart& Start) {
    if (GStartHandler) {
        GStartHandler(Start);
        return;
    }
    ShellExecuteW(nullptr, OrNull(Start.Verb), Start.FileName.c_str(), OrNull(Start.Parameters),
                  OrNull(Start.WorkingFolder), Start.ShowCommand);
}

TStartHandler SetStartHandler(TStartHandler Handler) {
    return Exchange(GStartHandler, std::move(Handler));
}

bool IsUserAdmin() {
    return GAdminHandler ? GAdminHandler() : SystemUserAdmin();
}

TAdminHandler SetAdminHandler(TAdminHandler Handler) {
    return Exchange(GAdminHandler, std::move(Handler));
}

void EndProgram(UINT ExitCode) {
    if (GExitHandler) {
        GExitHandler(ExitCode);
        throw EProgramEnded{ExitCode};
    }
    ExitProcess(ExitCode);
}

TExitHandler SetExitHandler(TExitHandler Handler) {
    return Exchange(GExitHandler, std::move(Handler));
}
