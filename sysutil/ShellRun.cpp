#include "sysutil/ShellRun.h"

#include "sysutil/Exceptions.h"
#include "sysutil/Seams.h"

#include <windows.h>

void RunProgram(const std::wstring& FileName, bool Visible, const std::wstring& Parameters, bool Elevated,
                const std::wstring& WorkingFolder) {
    StartProgram(
        {Elevated ? L"runas" : L"open", FileName, Parameters, WorkingFolder, Visible ? SW_SHOWNORMAL : SW_HIDE});
}

std::wstring SystemProgramPath(const std::wstring& FileName) {
    // The first call tells the size including the terminating null, the second fills it.
    const UINT needed = GetSystemDirectoryW(nullptr, 0);
    std::wstring folder(needed, L'\0');
    const UINT length = needed == 0 ? 0 : GetSystemDirectoryW(folder.data(), needed);
    if (length == 0 || length >= needed) {
        throw EOSError(GetLastError(), L"(the system folder)");
    }
    folder.resize(length);
    if (folder.back() != L'\\') {
        folder += L'\\';
    }
    return folder + FileName;
}
