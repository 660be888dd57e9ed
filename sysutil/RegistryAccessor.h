// A thin layer over one open registry key: an access mask (with its view flag), a root hive
// and the current key, opened by a path relative to the root. Name-taking operations work on
// the children and values of the current key. Failures raise EOSError.
//
// When the open failed there is no current key, and then nothing is done anywhere else: a key
// that is missing reads as a key without values and sub-keys, while creating, writing and
// deleting in it fail with the error of the open. (Falling back to the root would act on a
// key of the same name directly under the hive.)
#pragma once

#include "sysutil/Handles.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

struct TRegistryValue {
    DWORD Type = REG_NONE;
    std::vector<BYTE> Data;
};

// The text of a REG_SZ or REG_EXPAND_SZ value up to its first zero character; nothing for any
// other type.
std::optional<std::wstring> RegistryText(const TRegistryValue& Value);
// A key path without its trailing backslashes.
std::wstring WithoutTrailingSeparators(std::wstring Path);

class TRegistryAccessor {
public:
    TRegistryAccessor(REGSAM Access, HKEY Root) : FAccess(Access), FRoot(Root) {}

    REGSAM Access() const noexcept { return FAccess; }
    // Null when no key is open.
    HKEY CurrentKey() const noexcept { return FKey.get(); }

    // Replaces the current key. Trailing backslashes are ignored; an empty path opens the root
    // itself. CanCreate also creates the key and any missing parents. False when it failed.
    bool OpenKey(const std::wstring& Path, bool CanCreate);
    void CloseKey() noexcept;
    // The view flag of the access mask (KEY_WOW64_32KEY, KEY_WOW64_64KEY or none).
    REGSAM View() const noexcept { return FAccess & (KEY_WOW64_32KEY | KEY_WOW64_64KEY); }
    // No key is open because the last open found no such key (as opposed to being refused).
    bool KeyMissing() const noexcept { return !FKey && FOpenError == ERROR_FILE_NOT_FOUND; }
    // Raises the error of the last open when no key is open.
    void RequireKey() const;

    // Names of the key operations below are one level: not empty, no backslash.
    // A key that exists but may not be opened exists all the same.
    bool KeyExists(const std::wstring& Name) const;
    void CreateKey(const std::wstring& Name);
    // Deletes the sub-key and everything beneath it, the deepest first; false when it does not
    // exist.
    bool DeleteKey(const std::wstring& Name);
    std::vector<std::wstring> GetKeyNames() const;
    // The unnamed default value, when set, is listed as the empty name.
    std::vector<std::wstring> GetValueNames() const;

    // The registry type of a value; nothing when it does not exist.
    std::optional<DWORD> ValueType(const std::wstring& Name) const;
    std::optional<TRegistryValue> ReadValue(const std::wstring& Name) const;
    void WriteValue(const std::wstring& Name, DWORD Type, const void* Data, DWORD Size);
    // False when there was no such value.
    bool DeleteValue(const std::wstring& Name);

    // Copies the sub-key OldName with all its values and sub-keys into a new sibling NewName
    // and, when Delete, removes OldName. NewName may not exist yet (copying a key onto itself
    // and then deleting it would lose it); a copy that fails part-way is removed again.
    void MoveKey(const std::wstring& OldName, const std::wstring& NewName, bool Delete);

    // Raises ERROR_BAD_PATHNAME for a name that is not one level.
    static void CheckKeyName(const std::wstring& Name);
    // Copies every value (type and bytes) and every sub-key of Source into Target, recursively.
    // View is the view flag the sub-keys are opened with.
    static void CopyTree(HKEY Source, HKEY Target, REGSAM View);
    // Deletes Name beneath Parent with everything beneath it; false when it does not exist.
    static bool DeleteTree(HKEY Parent, const std::wstring& Name, REGSAM View);

private:
    REGSAM FAccess;
    HKEY FRoot;
    TUniqueKey FKey;
    std::wstring FPath;
    LONG FOpenError = ERROR_FILE_NOT_FOUND;
};
