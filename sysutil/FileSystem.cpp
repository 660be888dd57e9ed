#include "sysutil/FileSystem.h"

#include "sysutil/Exceptions.h"
#include "sysutil/Handles.h"
#include "sysutil/TextHelpers.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void RaiseLastError(const std::wstring& Path) {
    throw EOSError(GetLastError(), Path);
}

// The attributes of what the path leads to: GetFileAttributesW reports a link itself, so a link
// is opened, which follows it. INVALID_FILE_ATTRIBUTES when there is nothing.
DWORD FollowedAttributes(const std::wstring& Path) {
    const DWORD attributes = GetFileAttributesW(Path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return attributes;
    }
    // No access rights are needed to read attributes; backup semantics lets a folder be opened.
    const TUniqueFileHandle target(CreateFileW(Path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!target || !GetFileInformationByHandle(target.get(), &information)) {
        return INVALID_FILE_ATTRIBUTES;
    }
    return information.dwFileAttributes;
}

// Names Windows refuses but some file systems (and Wine) would accept.
bool IsValidName(const std::wstring& Name) {
    if (Name == L"." || Name == L"..") {
        return true;
    }
    if (Name.empty() || Name.size() > MAX_PATH - 5 || Name.back() == L'.' || Name.back() == L' ') {
        return false;
    }
    const bool badCharacter = std::any_of(Name.begin(), Name.end(), [](wchar_t c) {
        return c < 32 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos;
    });
    if (badCharacter) {
        return false;
    }
    // A device name stays a device name with any extension and with blanks before the dot.
    std::wstring device = LowerText(Name.substr(0, Name.find(L'.')));
    device.erase(device.find_last_not_of(L' ') + 1);
    static const wchar_t* const devices[] = {L"con", L"prn", L"aux", L"nul", L"conin$", L"conout$"};
    if (std::any_of(std::begin(devices), std::end(devices), [&](const wchar_t* d) { return device == d; })) {
        return false;
    }
    const bool numbered = device.size() == 4 && (device.starts_with(L"com") || device.starts_with(L"lpt")) &&
                          device[3] >= L'1' && device[3] <= L'9';
    return !numbered;
}

// A path split into its root ("C:\", "\\server\share\", "\" or nothing for a relative path)
// and the names below it.
struct TSplitPath {
    std::wstring Root;
    std::vector<std::wstring> Names;
};

// Raises for a path that names no folder a user could mean.
TSplitPath SplitFolderPath(const std::wstring& Path) {
    std::wstring path = Path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    if (path.empty() || path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\")) {
        throw EOSError(ERROR_INVALID_NAME, Path.empty() ? L"(no path given)" : Path);
    }
    TSplitPath split;
    std::wstring rest;
    if (path.starts_with(L"\\\\")) {
        const size_t serverEnd = path.find(L'\\', 2);
        const size_t shareEnd = serverEnd == std::wstring::npos ? serverEnd : path.find(L'\\', serverEnd + 1);
        const std::wstring server = path.substr(2, serverEnd - 2);
        const std::wstring share =
            serverEnd == std::wstring::npos ? std::wstring() : path.substr(serverEnd + 1, shareEnd - serverEnd - 1);
        if (!IsValidName(server) || !IsValidName(share)) {
            throw EOSError(ERROR_INVALID_NAME, Path);
        }
        split.Root = L"\\\\" + server + L"\\" + share + L"\\";
        rest = shareEnd == std::wstring::npos ? std::wstring() : path.substr(shareEnd + 1);
    } else if (path.size() >= 2 && path[1] == L':') {
        const wchar_t drive = path[0];
        // "C:name" means a folder relative to that drive's current folder: nobody types it on purpose.
        if (!((drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z')) ||
            (path.size() > 2 && path[2] != L'\\')) {
            throw EOSError(ERROR_INVALID_NAME, Path);
        }
        split.Root = path.substr(0, 2) + L"\\";
        if (GetDriveTypeW(split.Root.c_str()) == DRIVE_NO_ROOT_DIR) {
            throw EOSError(ERROR_INVALID_DRIVE, Path);
        }
        rest = path.size() > 3 ? path.substr(3) : std::wstring();
    } else if (path.front() == L'\\') {
        split.Root = L"\\";
        rest = path.substr(1);
    } else {
        rest = path;
    }
    // Doubled and trailing backslashes separate nothing; Windows reads them as one.
    for (std::wstring& name : SplitText(rest, L"\\")) {
        if (name.empty()) {
            continue;
        }
        if (!IsValidName(name)) {
            throw EOSError(ERROR_INVALID_NAME, Path);
        }
        split.Names.push_back(std::move(name));
    }
    return split;
}

void RemoveEntry(const std::wstring& Path, const WIN32_FIND_DATAW& Entry);

void RemoveContents(const std::wstring& Folder) {
    // Listed completely before anything goes, so that no deletion disturbs the listing.
    std::vector<WIN32_FIND_DATAW> entries;
    {
        WIN32_FIND_DATAW entry{};
        const TUniqueFindHandle find(FindFirstFileW((Folder + L"\\*").c_str(), &entry));
        if (!find) {
            RaiseLastError(Folder);
        }
        do {
            if (std::wstring_view(entry.cFileName) != L"." && std::wstring_view(entry.cFileName) != L"..") {
                entries.push_back(entry);
            }
        } while (FindNextFileW(find.get(), &entry));
    }
    for (const WIN32_FIND_DATAW& entry : entries) {
        RemoveEntry(Folder + L"\\" + entry.cFileName, entry);
    }
}

void RemoveEntry(const std::wstring& Path, const WIN32_FIND_DATAW& Entry) {
    const DWORD attributes = Entry.dwFileAttributes;
    const bool isLink = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        // Attributes set through a file link would change its target instead.
        if (!isLink && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) {
            SetFileAttributesW(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        if (!DeleteFileW(Path.c_str())) {
            RaiseLastError(Path);
        }
        return;
    }
    if (IsFolderLink(Entry)) {
        // A link without a tag is one the file system shows as a folder but cannot say what it
        // is (Wine shows host symbolic links so); removing it would remove its target instead.
        if (Entry.dwReserved0 == 0) {
            throw EError(L"The folder link " + Path + L" cannot be removed without removing what it leads to.");
        }
        // RemoveDirectoryW removes a junction or symbolic link itself, never its target.
        if (!RemoveDirectoryW(Path.c_str())) {
            RaiseLastError(Path);
        }
        return;
    }
    RemoveContents(Path);
    SetFileAttributesW(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!RemoveDirectoryW(Path.c_str())) {
        RaiseLastError(Path);
    }
}

} // namespace

bool FolderExists(const std::wstring& Path) {
    const DWORD attributes = FollowedAttributes(Path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::wstring& Path) {
    const DWORD attributes = FollowedAttributes(Path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void CreateFolderTree(const std::wstring& Path) {
    const TSplitPath split = SplitFolderPath(Path);
    std::wstring level = split.Root;
    for (const std::wstring& name : split.Names) {
        level += name;
        if (!FolderExists(level) && !CreateDirectoryW(level.c_str(), nullptr)) {
            const DWORD error = GetLastError();
            // Someone else may have made it meanwhile; a file of that name is in the way.
            if (error != ERROR_ALREADY_EXISTS || !FolderExists(level)) {
                throw EOSError(error, level);
            }
        }
        level += L'\\';
    }
}

void RemoveFile(const std::wstring& Path) {
    if (!DeleteFileW(Path.c_str())) {
        RaiseLastError(Path);
    }
}

void RemoveFolderTree(const std::wstring& Path) {
    std::wstring folder = Path;
    while (folder.size() > 1 && (folder.back() == L'\\' || folder.back() == L'/')) {
        folder.pop_back();
    }
    // The check also keeps wildcards out, which FindFirstFileW would match against other names.
    // A mistyped installation folder must never take a whole drive with it.
    if (SplitFolderPath(folder).Names.empty()) {
        throw EError(L"The root folder " + Path + L" is not deleted.");
    }
    WIN32_FIND_DATAW entry{};
    {
        const TUniqueFindHandle find(FindFirstFileW(folder.c_str(), &entry));
        if (!find) {
            RaiseLastError(Path);
        }
    }
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        throw EOSError(ERROR_DIRECTORY, Path);
    }
    RemoveEntry(folder, entry);
}

bool IsFolderLink(const WIN32_FIND_DATAW& Entry) noexcept {
    const DWORD attributes = Entry.dwFileAttributes;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return false;
    }
    // Other reparse points (cloud-synced files, deduplicated folders) hold real content.
    return Entry.dwReserved0 == 0 || IsReparseTagNameSurrogate(Entry.dwReserved0);
}

bool IsSubFolder(const WIN32_FIND_DATAW& Entry) noexcept {
    const std::wstring_view name(Entry.cFileName);
    return (Entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != L"." && name != L".." &&
           !IsFolderLink(Entry);
}
