#include "sysutil/Shortcut.h"

#include "sysutil/Exceptions.h"
#include "sysutil/Handles.h"

#include <objidl.h>
#include <shlobj.h>

#include <cwchar>

namespace {

// COM results are shown by number: the system has no text for many of them.
std::wstring DescribeResult(HRESULT Result) {
    wchar_t code[16];
    std::swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(Result));
    return std::wstring(L"(error ") + code + L")";
}

// The folder part of a path. A drive root keeps its backslash: "C:" alone would mean the
// current folder of drive C, not its root.
std::wstring FolderOf(const std::wstring& Path) {
    const size_t slash = Path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        return std::wstring();
    }
    if (slash == 2 && Path[1] == L':') {
        return Path.substr(0, 3);
    }
    return Path.substr(0, slash);
}

} // namespace

TComInitializer::TComInitializer(DWORD Model) {
    const HRESULT result = CoInitializeEx(nullptr, Model);
    if (FAILED(result) && result != RPC_E_CHANGED_MODE) {
        throw EError(L"COM could not be initialised " + DescribeResult(result));
    }
    // S_FALSE (already initialised) counts as well and must be balanced too.
    FInitialized = SUCCEEDED(result);
}

TComInitializer::~TComInitializer() {
    if (FInitialized) {
        CoUninitialize();
    }
}

void CreateShortcut(const std::wstring& Target, const std::wstring& LinkFile, const std::wstring& Description,
                    const std::wstring& Arguments) {
    TComPtr<IShellLinkW> link;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void());
    TComPtr<IPersistFile> file;
    if (SUCCEEDED(result)) {
        result = link->QueryInterface(IID_IPersistFile, file.put_void());
    }
    if (FAILED(result)) {
        throw EError(L"The shortcut " + LinkFile + L" cannot be made: the shell link object is unavailable " +
                     DescribeResult(result));
    }
    link->SetArguments(Arguments.c_str());
    link->SetDescription(Description.c_str());
    link->SetPath(Target.c_str());
    link->SetWorkingDirectory(FolderOf(Target).c_str());
    file->Save(LinkFile.c_str(), FALSE);
}
