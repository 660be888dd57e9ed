// Removes a file that is being written unless it was completed. Declare it before the file's
// handle, so that the handle is closed first.
#pragma once

#include <windows.h>

#include <string>

class TPartialFile {
public:
    explicit TPartialFile(const std::wstring& Path) : FPath(Path) {}
    ~TPartialFile() {
        if (!FComplete) {
            DeleteFileW(FPath.c_str());
        }
    }
    TPartialFile(const TPartialFile&) = delete;
    TPartialFile& operator=(const TPartialFile&) = delete;

    // The file is whole (or must stay as it is): it is kept.
    void Complete() { FComplete = true; }

private:
    const std::wstring& FPath;
    bool FComplete = false;
};
