// A raw-data (RCDATA) resource of the running executable: the program archive, the
// uninstaller, the logo. Resource memory belongs to the module and needs no release.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

class TPayloadResource {
public:
    // Raises EError when the executable carries no such resource. Names match without regard
    // to case.
    explicit TPayloadResource(const std::wstring& Name);

    const BYTE* Data() const noexcept { return FData; }
    size_t Size() const noexcept { return FSize; }

    // Writes the whole resource to FileName, replacing an existing file; raises EOSError
    // when the file cannot be written completely, and then no part of it is left.
    void SaveToFile(const std::wstring& FileName) const;
    // Whether File, read from its start, holds exactly the resource's bytes; the file
    // position is left at the start again.
    bool MatchesFile(HANDLE File) const;

private:
    std::wstring FName;
    const BYTE* FData = nullptr;
    size_t FSize = 0;
};
