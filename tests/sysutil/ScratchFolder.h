// A folder of its own under the temporary folder for one test, with everything in it removed
// when the test ends, and the real folder links the file-system tests need.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TScratchFolder {
public:
    // Tag makes the name readable; the process number makes it unique among parallel tests.
    explicit TScratchFolder(const std::wstring& Tag);
    ~TScratchFolder();
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;

    // The folder, without a trailing backslash.
    const std::wstring& Path() const noexcept { return FPath; }
    // Path() + "\" + Name.
    std::wstring operator/(const std::wstring& Name) const { return FPath + L"\\" + Name; }

    // Makes a folder (one level) or a file of Size bytes inside, given relative to Path().
    std::wstring MakeFolder(const std::wstring& Name) const;
    std::wstring MakeFile(const std::wstring& Name, size_t Size) const;

    // Makes Link a symbolic link to the folder Target. Windows makes it itself; Wine 8 only
    // pretends to (CreateSymbolicLinkW succeeds and makes nothing, FSCTL_SET_REPARSE_POINT is
    // not supported), so there a link of the host file system is made, which Wine shows as a
    // folder reparse point. False when neither works. Links go before the folder does.
    bool MakeFolderLink(const std::wstring& Link, const std::wstring& Target);

private:
    std::wstring FPath;
    std::vector<std::wstring> FHostLinks;
};
