#include "product/uninstaller/ProtectedFolders.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <vector>

namespace {

std::wstring WithoutTrailingBackslash(std::wstring Path) {
    // "C:\" keeps its backslash: "C:" alone means the current folder of drive C.
    while (Path.size() > 3 && Path.back() == L'\\') {
        Path.pop_back();
    }
    return Path;
}

bool IsFullyQualified(const std::wstring& Path) {
    const wchar_t drive = static_cast<wchar_t>(Path.empty() ? 0 : Path[0] | 0x20);
    if (Path.size() >= 3 && drive >= L'a' && drive <= L'z' && Path[1] == L':' && Path[2] == L'\\') {
        return true;
    }
    // A share, but no device or extended-length syntax ("\\?\", "\\.\").
    return Path.size() > 2 && Path[0] == L'\\' && Path[1] == L'\\' && Path[2] != L'?' && Path[2] != L'.';
}

bool IsRoot(const std::wstring& Normalized) {
    if (Normalized.size() == 3 && Normalized[1] == L':') {
        return true;
    }
    // "\\server\share" and "\\server" alone.
    if (Normalized.rfind(L"\\\\", 0) == 0) {
        const size_t server = Normalized.find(L'\\', 2);
        return server == std::wstring::npos || Normalized.find(L'\\', server + 1) == std::wstring::npos;
    }
    return false;
}

std::wstring KnownFolder(REFKNOWNFOLDERID Id) {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(Id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path != nullptr) {
        result = NormalizePath(path);
    }
    CoTaskMemFree(path);
    return result;
}

std::wstring WindowsFolder() {
    wchar_t buffer[MAX_PATH];
    const UINT length = GetSystemWindowsDirectoryW(buffer, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : NormalizePath(std::wstring(buffer, length));
}

struct TProtected {
    std::wstring Path;
    const wchar_t* What;
};

std::vector<TProtected> ProtectedFolders() {
    const struct {
        const KNOWNFOLDERID* Id;
        const wchar_t* What;
    } known[] = {
        {&FOLDERID_ProgramFiles, L"the program-files folder"},
        {&FOLDERID_ProgramFilesX86, L"the program-files folder"},
        {&FOLDERID_ProgramFilesCommon, L"the folder of common program files"},
        {&FOLDERID_ProgramFilesCommonX86, L"the folder of common program files"},
        {&FOLDERID_ProgramData, L"the program-data folder"},
        {&FOLDERID_UserProfiles, L"the folder of user profiles"},
        {&FOLDERID_Public, L"the public profile folder"},
        {&FOLDERID_Profile, L"your profile folder"},
        {&FOLDERID_Desktop, L"your Desktop folder"},
        {&FOLDERID_Documents, L"your Documents folder"},
        {&FOLDERID_Downloads, L"your Downloads folder"},
        {&FOLDERID_LocalAppData, L"your local application-data folder"},
        {&FOLDERID_RoamingAppData, L"your roaming application-data folder"},
        {&FOLDERID_StartMenu, L"your Start Menu folder"},
        {&FOLDERID_Programs, L"your Start Menu programs folder"},
    };
    std::vector<TProtected> folders{{WindowsFolder(), L"the Windows folder"}};
    for (const auto& entry : known) {
        folders.push_back({KnownFolder(*entry.Id), entry.What});
    }
    return folders;
}

} // namespace

bool SamePath(const std::wstring& A, const std::wstring& B) {
    return CompareStringOrdinal(A.data(), static_cast<int>(A.size()), B.data(), static_cast<int>(B.size()), TRUE) ==
           CSTR_EQUAL;
}

bool IsInsideFolder(const std::wstring& Path, const std::wstring& Folder) {
    if (Folder.empty() || Path.size() <= Folder.size() || !SamePath(Path.substr(0, Folder.size()), Folder)) {
        return false;
    }
    return Folder.back() == L'\\' || Path[Folder.size()] == L'\\';
}

std::wstring NormalizePath(const std::wstring& Path) {
    std::wstring path = Path;
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    if (!IsFullyQualified(path)) {
        return {};
    }
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return {};
    }
    std::wstring full(size, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), size, full.data(), nullptr));
    // Short names ("PROGRA~1") become long ones where the folder exists.
    const DWORD longSize = GetLongPathNameW(full.c_str(), nullptr, 0);
    if (longSize != 0) {
        std::wstring longPath(longSize, L'\0');
        const DWORD length = GetLongPathNameW(full.c_str(), longPath.data(), longSize);
        if (length != 0 && length < longSize) {
            longPath.resize(length);
            full = longPath;
        }
    }
    return WithoutTrailingBackslash(full);
}

std::wstring ProtectedFolderReason(const std::wstring& Folder) {
    if (Folder.find_first_not_of(L' ') == std::wstring::npos) {
        return L"the path is empty";
    }
    const std::wstring path = NormalizePath(Folder);
    if (path.empty()) {
        return L"it is not a full path of a folder";
    }
    if (IsRoot(path)) {
        return L"it is a drive root";
    }
    for (const TProtected& folder : ProtectedFolders()) {
        if (folder.Path.empty()) {
            continue;
        }
        if (SamePath(path, folder.Path)) {
            return std::wstring(L"it is ") + folder.What;
        }
        if (IsInsideFolder(folder.Path, path)) {
            return std::wstring(L"it holds ") + folder.What;
        }
    }
    const std::wstring windows = WindowsFolder();
    if (IsInsideFolder(path, windows)) {
        return L"it lies inside the Windows folder";
    }
    const std::wstring profiles = KnownFolder(FOLDERID_UserProfiles);
    const size_t lastSeparator = path.rfind(L'\\');
    if (!profiles.empty() && SamePath(path.substr(0, lastSeparator), profiles)) {
        return L"it is a user's profile folder";
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return L"it is a link to another folder";
    }
    return {};
}
