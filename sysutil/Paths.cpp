#include "sysutil/Paths.h"

#include "sysutil/Exceptions.h"
#include "sysutil/FileSystem.h"
#include "sysutil/Handles.h"
#include "sysutil/RegistryAccessor.h"
#include "sysutil/TextHelpers.h"
#include "sysutil/WinRegistry.h"

#include <windows.h>

#include <iterator>
#include <optional>
#include <vector>

namespace {

constexpr const wchar_t* ShellFoldersKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\";
constexpr const wchar_t* UserShellFoldersKey =
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// A folder value of the key; nothing when it cannot be read or holds no text.
std::optional<std::wstring> FolderValue(const TRegistryAccessor& Key, const std::wstring& Name) {
    try {
        const std::optional<TRegistryValue> value = Key.ReadValue(Name);
        return value ? RegistryText(*value) : std::nullopt;
    } catch (const EOSError&) {
        return std::nullopt;
    }
}

std::wstring ReplaceShellNames(HKEY Root, std::wstring Text) {
    TRegistryAccessor key(KEY_READ, Root);
    std::vector<std::wstring> names;
    try {
        if (key.OpenKey(ShellFoldersKey, false)) {
            names = key.GetValueNames();
        }
    } catch (const EOSError&) {
        // A list that cannot be read names no folders.
    }
    for (const std::wstring& name : names) {
        // An unnamed default value names no folder; as "shell:" alone it would take every name.
        if (name.empty()) {
            continue;
        }
        const std::wstring tag = L"shell:" + LowerText(name);
        if (LowerText(Text).find(tag) == std::wstring::npos) {
            continue;
        }
        if (const std::optional<std::wstring> folder = FolderValue(key, name)) {
            Text = ReplaceTextIgnoreCase(Text, tag, *folder, true);
        }
    }
    return Text;
}

// The variable's value, or the empty text when it is unset.
std::wstring EnvironmentVariable(const std::wstring& Name) {
    std::wstring value(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetEnvironmentVariableW(Name.c_str(), value.data(), static_cast<DWORD>(value.size()));
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        // Too small: the length asked for includes the terminating zero.
        value.resize(length);
    }
}

int64_t FolderBytes(const std::wstring& Folder) {
    WIN32_FIND_DATAW entry{};
    const TUniqueFindHandle find(FindFirstFileW((Folder + L"*").c_str(), &entry));
    if (!find) {
        return 0;
    }
    int64_t total = 0;
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            total += (static_cast<int64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
        } else if (IsSubFolder(entry)) {
            total += FolderBytes(Folder + entry.cFileName + L"\\");
        }
    } while (FindNextFileW(find.get(), &entry));
    return total;
}

} // namespace

std::wstring ExpandPath(const std::wstring& Path) {
    return ExpandPercentVariables(ExpandShellFolders(Path));
}

std::wstring ExpandShellFolders(const std::wstring& Path) {
    if (Path.find(L"shell:") == std::wstring::npos) {
        return Path;
    }
    // The machine's names go first, so a name in both keys takes the machine's folder.
    return ReplaceShellNames(HKEY_CURRENT_USER, ReplaceShellNames(HKEY_LOCAL_MACHINE, Path));
}

std::wstring ExpandPercentVariables(const std::wstring& Path) {
    std::wstring result = Path;
    // Pairs are found in the text as given; the replacements go into the copy.
    size_t search = 0;
    for (;;) {
        const size_t opening = Path.find(L'%', search);
        const size_t closing = opening == std::wstring::npos ? opening : Path.find(L'%', opening + 1);
        if (closing == std::wstring::npos) {
            return result;
        }
        const std::wstring value = EnvironmentVariable(Path.substr(opening + 1, closing - opening - 1));
        if (!value.empty()) {
            result = ReplaceTextIgnoreCase(result, Path.substr(opening, closing - opening + 1), value, false);
        }
        // The closing sign may open the next pair.
        search = closing;
    }
}

std::wstring GetSystemDrive() {
    return ExpandPercentVariables(L"%SYSTEMDRIVE%");
}

float GetWindowsVersionNumber() {
    // The manifest of every executable lists the systems up to Windows 10 and 11, so the
    // answer is not capped at Windows 8.
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExW(&version)) {
        return 0.0f;
    }
    return static_cast<float>(version.dwMajorVersion) + static_cast<float>(version.dwMinorVersion) / 10.0f;
}

std::wstring GetCurrentUserName() {
    wchar_t name[1024];
    DWORD length = static_cast<DWORD>(std::size(name));
    if (!GetUserNameW(name, &length)) {
        throw EOSError(GetLastError(), std::wstring());
    }
    // The length includes the terminating zero.
    return std::wstring(name, length - 1);
}

std::wstring GetAppDataPath(const std::wstring& Name, bool AddPublisherFolder, bool CreateFolders, TAppDataKind Kind) {
    std::wstring path;
    if (GetWindowsVersionNumber() < 6.0f) {
        path = GetSystemDrive() + L"\\Documents and Settings\\" + GetCurrentUserName() + L"\\Application Data\\";
    } else {
        switch (Kind) {
        case TAppDataKind::adLocal:
            path = ExpandPath(L"%LOCALAPPDATA%\\");
            break;
        case TAppDataKind::adRoaming:
            path = ExpandPath(L"%APPDATA%\\");
            break;
        case TAppDataKind::adLocalLow:
            path = ExpandPath(L"%userprofile%\\AppData\\LocalLow\\");
            break;
        default:
            throw ERangeError(L"Unknown application-data folder kind " + std::to_wstring(static_cast<unsigned>(Kind)) +
                              L".");
        }
    }
    if (AddPublisherFolder) {
        path += L"HalvexSoftware\\";
        if (CreateFolders) {
            CreateFolderTree(path);
        }
    }
    path += Name + L"\\";
    if (CreateFolders) {
        CreateFolderTree(path);
    }
    return path;
}

int64_t GetFolderSize(const std::wstring& Folder) {
    // "\" alone would count the whole current drive.
    if (Folder.empty()) {
        return 0;
    }
    return FolderBytes(ExpandPath(Folder.back() == L'\\' ? Folder : Folder + L"\\"));
}

std::wstring GetUserShellFolder(uint8_t Folder) {
    static const wchar_t* const valueNames[] = {
        nullptr,                                   // 0 profile: %USERPROFILE% itself
        L"AppData",                                // 1 roaming application data
        L"Local AppData",                          // 2 local application data
        L"Personal",                               // 3 documents
        L"My Pictures",                            // 4
        L"Desktop",                                // 5
        L"My Music",                               // 6
        L"My Video",                               // 7
        L"NetHood",                                // 8 network shortcuts
        L"Recent",                                 // 9 recent items
        L"Start Menu",                             // 10
        L"Startup",                                // 11 start-up programs
        L"{374DE290-123F-4565-9164-39C4925E467B}", // 12 downloads
        L"Programs",                               // 13 Start Menu programs
    };
    if (Folder == 0) {
        return ExpandPath(L"%USERPROFILE%");
    }
    // Any other number reads the key's unnamed value, which the system leaves unset.
    const wchar_t* valueName = Folder < std::size(valueNames) ? valueNames[Folder] : L"";
    TWinRegistry registry;
    return ExpandPath(registry.GetStringValue(UserShellFoldersKey, valueName));
}
