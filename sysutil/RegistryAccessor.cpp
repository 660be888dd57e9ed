#include "sysutil/RegistryAccessor.h"

#include "sysutil/Exceptions.h"

#include <algorithm>
#include <cstring>

namespace {

[[noreturn]] void Raise(LONG Code, const std::wstring& Context) {
    throw EOSError(static_cast<DWORD>(Code), Context);
}

void Check(LONG Code, const std::wstring& Context) {
    if (Code != ERROR_SUCCESS) {
        Raise(Code, Context);
    }
}

std::vector<std::wstring> EnumNames(HKEY Key, bool Values) {
    std::vector<std::wstring> names;
    // Key names have at most 255 characters, value names 16383.
    std::vector<wchar_t> buffer(256);
    for (DWORD index = 0;;) {
        DWORD length = static_cast<DWORD>(buffer.size());
        const LONG code = Values
                              ? RegEnumValueW(Key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr)
                              : RegEnumKeyExW(Key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (code == ERROR_NO_MORE_ITEMS) {
            return names;
        }
        if (code == ERROR_MORE_DATA && buffer.size() < 32768) {
            buffer.resize(buffer.size() * 4);
            continue;
        }
        Check(code, L"");
        names.emplace_back(buffer.data(), length);
        ++index;
    }
}

std::optional<TRegistryValue> ReadFrom(HKEY Key, const std::wstring& Name) {
    TRegistryValue value;
    DWORD size = 0;
    LONG code = RegQueryValueExW(Key, Name.c_str(), nullptr, &value.Type, nullptr, &size);
    // The value may grow between asking for its size and reading it.
    while (code == ERROR_SUCCESS || code == ERROR_MORE_DATA) {
        value.Data.resize(std::max<size_t>(size, code == ERROR_MORE_DATA ? value.Data.size() * 2 + 64 : 0));
        size = static_cast<DWORD>(value.Data.size());
        code = RegQueryValueExW(Key, Name.c_str(), nullptr, &value.Type, value.Data.data(), &size);
        if (code == ERROR_SUCCESS) {
            value.Data.resize(size);
            return value;
        }
    }
    if (code == ERROR_FILE_NOT_FOUND) {
        return std::nullopt;
    }
    Raise(code, Name);
}

TUniqueKey OpenSubKey(HKEY Parent, const std::wstring& Name, REGSAM Access) {
    HKEY key = nullptr;
    Check(RegOpenKeyExW(Parent, Name.c_str(), 0, Access, &key), Name);
    return TUniqueKey(key);
}

TUniqueKey CreateSubKey(HKEY Parent, const std::wstring& Name, REGSAM Access, DWORD* Disposition = nullptr) {
    HKEY key = nullptr;
    Check(
        RegCreateKeyExW(Parent, Name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, Access, nullptr, &key, Disposition),
        Name);
    return TUniqueKey(key);
}

} // namespace

std::optional<std::wstring> RegistryText(const TRegistryValue& Value) {
    if (Value.Type != REG_SZ && Value.Type != REG_EXPAND_SZ) {
        return std::nullopt;
    }
    std::wstring text(Value.Data.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), Value.Data.data(), text.size() * sizeof(wchar_t));
    text.resize(std::min(text.find(L'\0'), text.size()));
    return text;
}

std::wstring WithoutTrailingSeparators(std::wstring Path) {
    while (!Path.empty() && Path.back() == L'\\') {
        Path.pop_back();
    }
    return Path;
}

void TRegistryAccessor::CheckKeyName(const std::wstring& Name) {
    if (Name.empty() || Name.find(L'\\') != std::wstring::npos) {
        Raise(ERROR_BAD_PATHNAME, Name);
    }
}

bool TRegistryAccessor::OpenKey(const std::wstring& Path, bool CanCreate) {
    FKey.reset();
    FPath = WithoutTrailingSeparators(Path);
    HKEY key = nullptr;
    FOpenError = CanCreate ? RegCreateKeyExW(FRoot, FPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, FAccess,
                                             nullptr, &key, nullptr)
                           : RegOpenKeyExW(FRoot, FPath.c_str(), 0, FAccess, &key);
    if (FOpenError == ERROR_SUCCESS) {
        FKey.reset(key);
    }
    return static_cast<bool>(FKey);
}

void TRegistryAccessor::CloseKey() noexcept {
    FKey.reset();
    FPath.clear();
    FOpenError = ERROR_FILE_NOT_FOUND;
}

void TRegistryAccessor::RequireKey() const {
    if (!FKey) {
        Raise(FOpenError, FPath);
    }
}

bool TRegistryAccessor::KeyExists(const std::wstring& Name) const {
    if (KeyMissing() || Name.empty()) {
        return false;
    }
    RequireKey();
    HKEY key = nullptr;
    const LONG code = RegOpenKeyExW(FKey.get(), Name.c_str(), 0, KEY_READ | View(), &key);
    const TUniqueKey owner(code == ERROR_SUCCESS ? key : nullptr);
    if (code == ERROR_SUCCESS || code == ERROR_ACCESS_DENIED) {
        return true;
    }
    if (code == ERROR_FILE_NOT_FOUND) {
        return false;
    }
    Raise(code, Name);
}

void TRegistryAccessor::CreateKey(const std::wstring& Name) {
    RequireKey();
    CheckKeyName(Name);
    CreateSubKey(FKey.get(), Name, FAccess);
}

bool TRegistryAccessor::DeleteKey(const std::wstring& Name) {
    if (KeyMissing()) {
        return false;
    }
    RequireKey();
    CheckKeyName(Name);
    return DeleteTree(FKey.get(), Name, View());
}

std::vector<std::wstring> TRegistryAccessor::GetKeyNames() const {
    if (KeyMissing()) {
        return {};
    }
    RequireKey();
    return EnumNames(FKey.get(), false);
}

std::vector<std::wstring> TRegistryAccessor::GetValueNames() const {
    if (KeyMissing()) {
        return {};
    }
    RequireKey();
    return EnumNames(FKey.get(), true);
}

std::optional<DWORD> TRegistryAccessor::ValueType(const std::wstring& Name) const {
    if (KeyMissing()) {
        return std::nullopt;
    }
    RequireKey();
    DWORD type = REG_NONE;
    const LONG code = RegQueryValueExW(FKey.get(), Name.c_str(), nullptr, &type, nullptr, nullptr);
    if (code == ERROR_FILE_NOT_FOUND) {
        return std::nullopt;
    }
    Check(code, Name);
    return type;
}

std::optional<TRegistryValue> TRegistryAccessor::ReadValue(const std::wstring& Name) const {
    if (KeyMissing()) {
        return std::nullopt;
    }
    RequireKey();
    return ReadFrom(FKey.get(), Name);
}

void TRegistryAccessor::WriteValue(const std::wstring& Name, DWORD Type, const void* Data, DWORD Size) {
    RequireKey();
    Check(RegSetValueExW(FKey.get(), Name.c_str(), 0, Type, static_cast<const BYTE*>(Data), Size), Name);
}

bool TRegistryAccessor::DeleteValue(const std::wstring& Name) {
    if (KeyMissing()) {
        return false;
    }
    RequireKey();
    const LONG code = RegDeleteValueW(FKey.get(), Name.c_str());
    if (code == ERROR_FILE_NOT_FOUND) {
        return false;
    }
    Check(code, Name);
    return true;
}

void TRegistryAccessor::MoveKey(const std::wstring& OldName, const std::wstring& NewName, bool Delete) {
    RequireKey();
    CheckKeyName(OldName);
    CheckKeyName(NewName);
    TUniqueKey source = OpenSubKey(FKey.get(), OldName, KEY_READ | View());
    DWORD disposition = 0;
    TUniqueKey target = CreateSubKey(FKey.get(), NewName, KEY_READ | KEY_WRITE | View(), &disposition);
    if (disposition != REG_CREATED_NEW_KEY) {
        Raise(ERROR_ALREADY_EXISTS, NewName);
    }
    try {
        CopyTree(source.get(), target.get(), View());
    } catch (...) {
        target.reset();
        try {
            DeleteTree(FKey.get(), NewName, View());
        } catch (...) {
            // The copy's own failure is the one worth reporting.
        }
        throw;
    }
    source.reset();
    target.reset();
    if (Delete) {
        DeleteTree(FKey.get(), OldName, View());
    }
}

void TRegistryAccessor::CopyTree(HKEY Source, HKEY Target, REGSAM View) {
    for (const std::wstring& name : EnumNames(Source, true)) {
        const std::optional<TRegistryValue> value = ReadFrom(Source, name);
        if (!value) {
            continue; // deleted since it was listed
        }
        Check(RegSetValueExW(Target, name.c_str(), 0, value->Type, value->Data.data(),
                             static_cast<DWORD>(value->Data.size())),
              name);
    }
    for (const std::wstring& name : EnumNames(Source, false)) {
        const TUniqueKey source = OpenSubKey(Source, name, KEY_READ | View);
        const TUniqueKey target = CreateSubKey(Target, name, KEY_READ | KEY_WRITE | View);
        CopyTree(source.get(), target.get(), View);
    }
}

bool TRegistryAccessor::DeleteTree(HKEY Parent, const std::wstring& Name, REGSAM View) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(Parent, Name.c_str(), 0, KEY_READ | View, &key) == ERROR_SUCCESS) {
        const TUniqueKey owner(key);
        const std::vector<std::wstring> names = EnumNames(key, false);
        for (auto name = names.rbegin(); name != names.rend(); ++name) {
            DeleteTree(key, *name, View);
        }
    }
    const LONG code = RegDeleteKeyExW(Parent, Name.c_str(), View, 0);
    if (code == ERROR_FILE_NOT_FOUND) {
        return false;
    }
    Check(code, Name);
    return true;
}
