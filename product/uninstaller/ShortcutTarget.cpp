#include "product/uninstaller/ShortcutTarget.h"

#include "sysutil/Handles.h"

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include <memory>

namespace {

struct TItemListFree {
    void operator()(ITEMIDLIST* List) const noexcept { CoTaskMemFree(List); }
};
using TUniqueItemList = std::unique_ptr<ITEMIDLIST, TItemListFree>;

} // namespace

std::wstring ShortcutTarget(const std::wstring& LinkFile) {
    TComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void()))) {
        return {};
    }
    TComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) ||
        FAILED(file->Load(LinkFile.c_str(), STGM_READ))) {
        return {};
    }
    // The item list names the target in full Unicode. GetPath may answer from the link's
    // ANSI copy of the path (Wine does), where a name like "Łukasz" has lost its letters.
    wchar_t target[MAX_PATH + 1] = {};
    PIDLIST_ABSOLUTE items = nullptr;
    if (SUCCEEDED(link->GetIDList(&items)) && items != nullptr) {
        const TUniqueItemList owned(items);
        if (SHGetPathFromIDListW(owned.get(), target) && target[0] != L'\0') {
            return target;
        }
    }
    // The link is not resolved, so a missing target is not searched for.
    if (FAILED(link->GetPath(target, MAX_PATH + 1, nullptr, 0))) {
        return {};
    }
    return target;
}
