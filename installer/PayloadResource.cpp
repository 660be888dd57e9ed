#include "installer/PayloadResource.h"

#include "sysutil/Exceptions.h"
#include "sysutil/Handles.h"
#include "sysutil/PartialFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr size_t BlockSize = 4 * 1024 * 1024;

void Rewind(HANDLE File, const std::wstring& Name) {
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(File, start, nullptr, FILE_BEGIN)) {
        throw EOSError(GetLastError(), Name);
    }
}

} // namespace

TPayloadResource::TPayloadResource(const std::wstring& Name) : FName(Name) {
    const HRSRC info = FindResourceW(nullptr, Name.c_str(), MAKEINTRESOURCEW(10)); // RT_RCDATA
    const HGLOBAL loaded = info != nullptr ? LoadResource(nullptr, info) : nullptr;
    if (loaded == nullptr) {
        throw EError(L"The installer carries no \"" + Name + L"\" resource.");
    }
    FData = static_cast<const BYTE*>(LockResource(loaded));
    FSize = SizeofResource(nullptr, info);
}

void TPayloadResource::SaveToFile(const std::wstring& FileName) const {
    TPartialFile partial(FileName);
    TUniqueFileHandle file(
        CreateFileW(FileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD code = GetLastError();
        // Nothing was written, and a file that could not be replaced stays.
        partial.Complete();
        throw EOSError(code, FileName);
    }
    for (size_t offset = 0; offset < FSize;) {
        const DWORD block = static_cast<DWORD>(std::min(BlockSize, FSize - offset));
        DWORD written = 0;
        if (!WriteFile(file.get(), FData + offset, block, &written, nullptr)) {
            throw EOSError(GetLastError(), FileName);
        }
        if (written != block) {
            throw EOSError(ERROR_DISK_FULL, FileName);
        }
        offset += written;
    }
    if (!CloseHandle(file.release())) {
        throw EOSError(GetLastError(), FileName);
    }
    partial.Complete();
}

bool TPayloadResource::MatchesFile(HANDLE File) const {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(File, &size)) {
        throw EOSError(GetLastError(), FName);
    }
    if (static_cast<unsigned long long>(size.QuadPart) != FSize) {
        return false;
    }
    Rewind(File, FName);
    std::vector<BYTE> buffer(std::min(BlockSize, std::max<size_t>(FSize, 1)));
    bool same = true;
    for (size_t offset = 0; same && offset < FSize;) {
        const DWORD block = static_cast<DWORD>(std::min(buffer.size(), FSize - offset));
        DWORD read = 0;
        if (!ReadFile(File, buffer.data(), block, &read, nullptr)) {
            throw EOSError(GetLastError(), FName);
        }
        same = read == block && std::memcmp(buffer.data(), FData + offset, block) == 0;
        offset += read;
    }
    Rewind(File, FName);
    return same;
}
