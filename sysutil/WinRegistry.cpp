#include "sysutil/WinRegistry.h"

#include "sysutil/Exceptions.h"
#include "sysutil/RegistryAccessor.h"
#include "sysutil/Seams.h"

#include <cstring>
#include <new>
#include <optional>

namespace {

struct THiveRow {
    HKEY Hive;
    const wchar_t* Names[3]; // null where a row has fewer names
};

// In lookup order; the first name of a row is the hive's own.
const THiveRow KHiveTable[] = {
    {HKEY_CLASSES_ROOT, {L"HKEY_CLASSES_ROOT", L"HKCR", L"HKEY_CLASSES"}},
    {HKEY_CURRENT_USER, {L"HKEY_CURRENT_USER", L"HKCU", L"HKEY_USER"}},
    {HKEY_LOCAL_MACHINE, {L"HKEY_LOCAL_MACHINE", L"HKLM", L"HKEY_MACHINE"}},
    {HKEY_USERS, {L"HKEY_USERS", L"HKU", nullptr}},
    {HKEY_CURRENT_CONFIG, {L"HKEY_CURRENT_CONFIG", L"HKCC", L"HKEY_CONFIG"}},
    {HKEY_PERFORMANCE_DATA, {L"HKEY_PERFORMANCE_DATA", L"HKPD", nullptr}},
    {HKEY_DYN_DATA, {L"HKEY_DYN_DATA", L"HKEY_DD", nullptr}},
};

// Hive names are plain ASCII; a locale's case rules must not turn other letters into them.
std::wstring AsciiUpper(std::wstring Text) {
    for (wchar_t& c : Text) {
        if (c >= L'a' && c <= L'z') {
            c = static_cast<wchar_t>(c - L'a' + L'A');
        }
    }
    return Text;
}

[[noreturn]] void Raise(DWORD Code, const std::wstring& Context) {
    throw EOSError(Code, Context);
}

TRegistryValue Required(std::optional<TRegistryValue> Value, const std::wstring& Name) {
    if (!Value) {
        Raise(ERROR_FILE_NOT_FOUND, Name);
    }
    return std::move(*Value);
}

// REG_SZ and REG_EXPAND_SZ, up to the first zero character.
std::wstring TextOf(const TRegistryValue& Value) {
    std::optional<std::wstring> text = RegistryText(Value);
    if (!text) {
        Raise(ERROR_DATATYPE_MISMATCH, L"");
    }
    return std::move(*text);
}

int32_t IntegerOf(const TRegistryValue& Value) {
    if (Value.Type != REG_DWORD || Value.Data.size() != sizeof(int32_t)) {
        Raise(ERROR_DATATYPE_MISMATCH, L"");
    }
    int32_t number = 0;
    std::memcpy(&number, Value.Data.data(), sizeof(number));
    return number;
}

std::wstring HexPairs(const std::vector<BYTE>& Data) {
    static const wchar_t KDigits[] = L"0123456789ABCDEF";
    std::wstring text;
    for (const BYTE byte : Data) {
        if (!text.empty()) {
            text += L',';
        }
        text += KDigits[byte >> 4];
        text += KDigits[byte & 0x0F];
    }
    return text;
}

// Whether Path names Ancestor itself or a key beneath it. Key names compare without regard to
// case, and repeated separators name no empty keys.
bool IsSameOrInside(const std::wstring& Path, const std::wstring& Ancestor) {
    auto normal = [](const std::wstring& Text) {
        std::wstring result;
        for (const wchar_t c : Text) {
            if (c != L'\\' || (!result.empty() && result.back() != L'\\')) {
                result += c;
            }
        }
        return WithoutTrailingSeparators(result);
    };
    const std::wstring path = normal(Path);
    const std::wstring ancestor = normal(Ancestor);
    if (path.size() < ancestor.size() || (path.size() > ancestor.size() && path[ancestor.size()] != L'\\')) {
        return false;
    }
    return CompareStringOrdinal(path.c_str(), static_cast<int>(ancestor.size()), ancestor.c_str(),
                                static_cast<int>(ancestor.size()), TRUE) == CSTR_EQUAL;
}

// The outermost key of Path that does not exist yet, or empty text when all of it exists.
std::wstring FirstMissingKey(HKEY Root, const std::wstring& Path, REGSAM View) {
    for (size_t end = Path.find(L'\\');; end = Path.find(L'\\', end + 1)) {
        const std::wstring prefix = Path.substr(0, end);
        HKEY key = nullptr;
        const LONG code = RegOpenKeyExW(Root, prefix.c_str(), 0, KEY_READ | View, &key);
        const TUniqueKey owner(code == ERROR_SUCCESS ? key : nullptr);
        if (code == ERROR_FILE_NOT_FOUND) {
            return prefix;
        }
        if (end == std::wstring::npos) {
            return {};
        }
    }
}

// Copies the tree of Source into Target, creating Target with its missing parents. What the
// copy created is removed again when it fails part-way.
void CopyKeyTree(REGSAM Access, HKEY Root, const std::wstring& Source, const std::wstring& Target) {
    TRegistryAccessor source(Access, Root);
    if (!source.OpenKey(Source, false)) {
        source.RequireKey();
    }
    const std::wstring created = FirstMissingKey(Root, Target, source.View());
    TRegistryAccessor target(Access, Root);
    if (!target.OpenKey(Target, true)) {
        target.RequireKey();
    }
    try {
        TRegistryAccessor::CopyTree(source.CurrentKey(), target.CurrentKey(), source.View());
    } catch (...) {
        target.CloseKey();
        if (!created.empty()) {
            const size_t split = created.rfind(L'\\');
            TRegistryAccessor parent(Access, Root);
            if (parent.OpenKey(split == std::wstring::npos ? std::wstring() : created.substr(0, split), false)) {
                try {
                    parent.DeleteKey(created.substr(split + 1));
                } catch (...) {
                    // The copy's own failure is the one worth reporting.
                }
            }
        }
        throw;
    }
}

} // namespace

TWinRegistry::TWinRegistry() : FOnError([this](TRegistryError AError) { RegistryReceiveError(AError); }) {}

TWinRegistry::~TWinRegistry() = default;

void TWinRegistry::ResetRegistryMode() noexcept {
    // This is a 64-bit program, and a 32-bit build on 64-bit Windows should see the machine's
    // own registry too; on 32-bit Windows the flag is ignored.
    FRegistryMode = TRegistryMode::Windows64;
}

bool TWinRegistry::WinModeLoaded() noexcept {
    if (FRegistryMode == TRegistryMode::Unloaded) {
        ResetRegistryMode();
    }
    return true;
}

void TWinRegistry::SetManualHive(HKEY AHive) noexcept {
    FDefaultHive = AHive;
    FAutoHive = false;
}

// ---- paths, opening and error routing

std::wstring TWinRegistry::ParseKeyLocation(const std::wstring& KeyLocation) {
    std::wstring path = KeyLocation;
    if (path.empty() || path.back() != L'\\') {
        path += L'\\';
    }
    // As the registry editor's address bar shows it.
    if (path.starts_with(L"Computer\\")) {
        path.erase(0, path.find(L'\\') + 1);
    }
    FHive = FDefaultHive;
    if (FAutoHive) {
        const size_t separator = path.find(L'\\');
        if (StringToHiveEx(AsciiUpper(path.substr(0, separator)), FHive)) {
            path.erase(0, separator + 1);
        }
    }
    return path;
}

REGSAM TWinRegistry::AccessMask(TAccess Access) const noexcept {
    REGSAM mask = Access == TAccess::Read ? KEY_READ : Access == TAccess::Write ? KEY_WRITE : KEY_ALL_ACCESS;
    if (FRegistryMode == TRegistryMode::Windows32) {
        mask |= KEY_WOW64_32KEY;
    } else if (FRegistryMode == TRegistryMode::Windows64) {
        mask |= KEY_WOW64_64KEY;
    }
    return mask;
}

void TWinRegistry::OpenAccessor(const std::wstring& Path, TAccess Access) {
    FRegistry.reset();
    FRegistry = std::make_unique<TRegistryAccessor>(AccessMask(Access), FHive);
    // A failed open is no failure yet: the step decides what a missing key means for it.
    FRegistry->OpenKey(Path, false);
}

void TWinRegistry::OpenLocation(const std::wstring& KeyLocation, TAccess Access) {
    OpenAccessor(ParseKeyLocation(KeyLocation), Access);
}

TWinRegistry::TKeyPlace TWinRegistry::OpenParent(const std::wstring& KeyLocation, TAccess Access) {
    std::wstring path = ParseKeyLocation(KeyLocation);
    if (!path.empty() && path.back() == L'\\') {
        path.pop_back(); // a path naming only a hive is empty by now
    }
    TKeyPlace place;
    const size_t split = path.rfind(L'\\');
    if (split == std::wstring::npos) {
        place.Name = path;
    } else {
        place.Parent = path.substr(0, split);
        place.Name = path.substr(split + 1);
    }
    OpenAccessor(place.Parent, Access);
    return place;
}

void TWinRegistry::ReportError(TRegistryError AError, DWORD Code) {
    if (FErrorKind == TRegistryErrorKind::Receive && FOnError) {
        FOnError(AError);
    }
    if (FErrorKind == TRegistryErrorKind::OperatingSystem) {
        throw EOSError(Code, L"");
    }
    FLastError = AError;
}

template <typename TResult, typename TStep>
TResult TWinRegistry::Guarded(TRegistryError Kind, TResult Neutral, TStep&& Step) {
    try {
        return Step();
    } catch (const EOSError& error) {
        ReportError(Kind, error.ErrorCode());
    } catch (const std::bad_alloc&) {
        ReportError(Kind, ERROR_NOT_ENOUGH_MEMORY);
    } catch (...) {
        const DWORD code = GetLastError();
        ReportError(Kind, code != ERROR_SUCCESS ? code : ERROR_INTERNAL_ERROR);
    }
    return Neutral;
}

// ---- key operations

bool TWinRegistry::CreateKey(const std::wstring& KeyLocation) {
    const TKeyPlace place = OpenParent(KeyLocation, TAccess::Write);
    return Guarded(TRegistryError::AccessDenied, false, [&] {
        FRegistry->CreateKey(place.Name);
        return true;
    });
}

bool TWinRegistry::KeyExists(const std::wstring& KeyLocation) {
    const TKeyPlace place = OpenParent(KeyLocation, TAccess::Read);
    return Guarded(TRegistryError::ReadError, false, [&] { return FRegistry->KeyExists(place.Name); });
}

bool TWinRegistry::DeleteKey(const std::wstring& KeyLocation) {
    const TKeyPlace place = OpenParent(KeyLocation, TAccess::Write);
    return Guarded(TRegistryError::AccessDenied, false, [&] { return FRegistry->DeleteKey(place.Name); });
}

std::wstring TWinRegistry::CloneKey(const std::wstring& KeyLocation) {
    const TKeyPlace place = OpenParent(KeyLocation, TAccess::Full);
    return Guarded(TRegistryError::AccessDenied, std::wstring(), [&] {
        std::wstring clone;
        for (unsigned number = 2;; ++number) {
            clone = place.Name + L"(" + std::to_wstring(number) + L")";
            if (!FRegistry->KeyExists(clone)) {
                break;
            }
        }
        if (FRegistry->KeyExists(place.Name)) {
            FRegistry->MoveKey(place.Name, clone, false);
        }
        return clone;
    });
}

bool TWinRegistry::RenameKey(const std::wstring& KeyLocation, const std::wstring& NewName) {
    const TKeyPlace place = OpenParent(KeyLocation, TAccess::Full);
    return Guarded(TRegistryError::KeyNoExist, false, [&] {
        // A name with a backslash would not be a sibling.
        TRegistryAccessor::CheckKeyName(NewName);
        if (FRegistry->KeyExists(place.Name) && !FRegistry->KeyExists(NewName)) {
            FRegistry->MoveKey(place.Name, NewName, true);
        }
        return FRegistry->KeyExists(NewName);
    });
}

bool TWinRegistry::MoveKey(const std::wstring& KeyLocation, const std::wstring& NewLocation, bool AlsoDelete) {
    const TKeyPlace place = OpenParent(KeyLocation, TAccess::Full);
    return Guarded(TRegistryError::AccessDenied, false, [&] {
        FRegistry->RequireKey();
        TRegistryAccessor::CheckKeyName(place.Name);
        const std::wstring source = place.Parent.empty() ? place.Name : place.Parent + L"\\" + place.Name;
        const std::wstring target = WithoutTrailingSeparators(NewLocation);
        if (target.empty()) {
            Raise(ERROR_BAD_PATHNAME, NewLocation);
        }
        // Copying a key into itself would never end, and moving it onto itself would delete it.
        if (IsSameOrInside(target, source)) {
            Raise(ERROR_INVALID_PARAMETER, NewLocation);
        }
        CopyKeyTree(FRegistry->Access(), FHive, source, target);
        if (AlsoDelete) {
            FRegistry->DeleteKey(place.Name);
        }
        return true;
    });
}

bool TWinRegistry::CopyKey(const std::wstring& KeyLocation, const std::wstring& NewLocation) {
    return MoveKey(KeyLocation, NewLocation, false);
}

std::vector<std::wstring> TWinRegistry::GetKeyNames(const std::wstring& KeyLocation) {
    OpenLocation(KeyLocation, TAccess::Read);
    return Guarded(TRegistryError::ReadError, std::vector<std::wstring>(), [&] { return FRegistry->GetKeyNames(); });
}

std::vector<std::wstring> TWinRegistry::GetValueNames(const std::wstring& KeyLocation) {
    OpenLocation(KeyLocation, TAccess::Read);
    return Guarded(TRegistryError::ReadError, std::vector<std::wstring>(), [&] { return FRegistry->GetValueNames(); });
}

// ---- value reads

bool TWinRegistry::GetValueExists(const std::wstring& KeyLocation, const std::wstring& ValueName) {
    OpenLocation(KeyLocation, TAccess::Read);
    return Guarded(TRegistryError::ReadError, false, [&] { return FRegistry->ValueType(ValueName).has_value(); });
}

TRegValueType TWinRegistry::GetValueType(const std::wstring& KeyLocation, const std::wstring& ValueName) {
    OpenLocation(KeyLocation, TAccess::Read);
    return Guarded(TRegistryError::ReadError, TRegValueType::Unknown, [&] {
        switch (FRegistry->ValueType(ValueName).value_or(REG_NONE)) {
        case REG_SZ:
            return TRegValueType::String;
        case REG_EXPAND_SZ:
            return TRegValueType::ExpandString;
        case REG_DWORD:
            return TRegValueType::Integer;
        case REG_BINARY:
            return TRegValueType::Binary;
        default:
            return TRegValueType::Unknown;
        }
    });
}

std::wstring TWinRegistry::GetStringValue(const std::wstring& KeyLocation, const std::wstring& ValueName) {
    OpenLocation(KeyLocation, TAccess::Read);
    return Guarded(TRegistryError::ReadError, std::wstring(), [&] {
        const std::optional<TRegistryValue> value = FRegistry->ReadValue(ValueName);
        return value ? TextOf(*value) : std::wstring();
    });
}

int32_t TWinRegistry::GetIntValue(const std::wstring& KeyLocation, const std::wstring& ValueName) {
    OpenLocation(KeyLocation, TAccess::Read);
    return Guarded(TRegistryError::ReadError, int32_t{0},
                   [&] { return IntegerOf(Required(FRegistry->ReadValue(ValueName), ValueName)); });
}

bool TWinRegistry::GetBooleanValue(const std::wstring& KeyLocation, const std::wstring& ValueName) {
    OpenLocation(KeyLocation, TAccess::Read);
    return Guarded(TRegistryError::ReadError, false,
                   [&] { return IntegerOf(Required(FRegistry->ReadValue(ValueName), ValueName)) != 0; });
}

template <typename T> T TWinRegistry::ReadBinary(const std::wstring& KeyLocation, const std::wstring& ValueName) {
    static_assert(sizeof(T) == 8, "stored as exactly 8 bytes");
    OpenLocation(KeyLocation, TAccess::Read);
    return Guarded(TRegistryError::ReadError, T{}, [&] {
        const TRegistryValue value = Required(FRegistry->ReadValue(ValueName), ValueName);
        if (value.Type != REG_BINARY || value.Data.size() != sizeof(T)) {
            Raise(ERROR_DATATYPE_MISMATCH, ValueName);
        }
        T result{};
        std::memcpy(&result, value.Data.data(), sizeof(T));
        return result;
    });
}

double TWinRegistry::GetFloatValue(const std::wstring& KeyLocation, const std::wstring& ValueName) {
    return ReadBinary<double>(KeyLocation, ValueName);
}

int64_t TWinRegistry::GetCurrencyValue(const std::wstring& KeyLocation, const std::wstring& ValueName) {
    return ReadBinary<int64_t>(KeyLocation, ValueName);
}

double TWinRegistry::GetDateTimeValue(const std::wstring& KeyLocation, const std::wstring& ValueName) {
    return ReadBinary<double>(KeyLocation, ValueName);
}

double TWinRegistry::GetDateValue(const std::wstring& KeyLocation, const std::wstring& ValueName) {
    return ReadBinary<double>(KeyLocation, ValueName);
}

double TWinRegistry::GetTimeValue(const std::wstring& KeyLocation, const std::wstring& ValueName) {
    return ReadBinary<double>(KeyLocation, ValueName);
}

std::wstring TWinRegistry::GetValueAsString(const std::wstring& KeyLocation, const std::wstring& ValueName) {
    OpenLocation(KeyLocation, TAccess::Read);
    return Guarded(TRegistryError::ReadError, std::wstring(), [&] {
        const std::optional<TRegistryValue> value = FRegistry->ReadValue(ValueName);
        if (!value) {
            return std::wstring();
        }
        // Anything but an integer is read as text, so binary data and other types fail.
        return value->Type == REG_DWORD ? std::to_wstring(IntegerOf(*value)) : TextOf(*value);
    });
}

std::wstring TWinRegistry::GetValueAsStringEx(const std::wstring& KeyLocation, const std::wstring& ValueName) {
    OpenLocation(KeyLocation, TAccess::Read);
    try {
        const std::optional<TRegistryValue> value = FRegistry->ReadValue(ValueName);
        if (!value) {
            return {};
        }
        if (value->Type == REG_SZ || value->Type == REG_EXPAND_SZ) {
            return TextOf(*value);
        }
        if (value->Type == REG_DWORD && value->Data.size() == sizeof(int32_t)) {
            return std::to_wstring(IntegerOf(*value));
        }
        return HexPairs(value->Data);
    } catch (...) {
        // This one reports nothing: what cannot be read has no text.
        return {};
    }
}

// ---- value writes

void TWinRegistry::WriteData(const std::wstring& KeyLocation, const std::wstring& ItemName, DWORD Type,
                             const void* Data, size_t Size) {
    OpenLocation(KeyLocation, TAccess::Write);
    Guarded(TRegistryError::AccessDenied, false, [&] {
        if (Size > MAXDWORD) {
            Raise(ERROR_INVALID_PARAMETER, ItemName);
        }
        FRegistry->WriteValue(ItemName, Type, Data, static_cast<DWORD>(Size));
        return true;
    });
}

bool TWinRegistry::DeleteValue(const std::wstring& KeyLocation, const std::wstring& ItemName) {
    OpenLocation(KeyLocation, TAccess::Write);
    return Guarded(TRegistryError::AccessDenied, false, [&] { return FRegistry->DeleteValue(ItemName); });
}

void TWinRegistry::WriteStringValue(const std::wstring& KeyLocation, const std::wstring& ItemName,
                                    const std::wstring& Value) {
    WriteData(KeyLocation, ItemName, REG_SZ, Value.c_str(), (Value.size() + 1) * sizeof(wchar_t));
}

void TWinRegistry::WriteIntValue(const std::wstring& KeyLocation, const std::wstring& ItemName, int32_t Value) {
    WriteData(KeyLocation, ItemName, REG_DWORD, &Value, sizeof(Value));
}

void TWinRegistry::WriteBooleanValue(const std::wstring& KeyLocation, const std::wstring& ItemName, bool Value) {
    WriteIntValue(KeyLocation, ItemName, Value ? 1 : 0);
}

void TWinRegistry::WriteFloatValue(const std::wstring& KeyLocation, const std::wstring& ItemName, double Value) {
    WriteData(KeyLocation, ItemName, REG_BINARY, &Value, sizeof(Value));
}

void TWinRegistry::WriteCurrency(const std::wstring& KeyLocation, const std::wstring& ItemName, int64_t Value) {
    WriteData(KeyLocation, ItemName, REG_BINARY, &Value, sizeof(Value));
}

void TWinRegistry::WriteDateTimeValue(const std::wstring& KeyLocation, const std::wstring& ItemName, double Value) {
    WriteFloatValue(KeyLocation, ItemName, Value);
}

void TWinRegistry::WriteDate(const std::wstring& KeyLocation, const std::wstring& ItemName, double Value) {
    WriteFloatValue(KeyLocation, ItemName, Value);
}

void TWinRegistry::WriteTime(const std::wstring& KeyLocation, const std::wstring& ItemName, double Value) {
    WriteFloatValue(KeyLocation, ItemName, Value);
}

void TWinRegistry::WriteValue(const std::wstring& KeyLocation, const std::wstring& ItemName,
                              const std::wstring& Value) {
    WriteStringValue(KeyLocation, ItemName, Value);
}

void TWinRegistry::WriteValue(const std::wstring& KeyLocation, const std::wstring& ItemName, const wchar_t* Value) {
    WriteStringValue(KeyLocation, ItemName, Value);
}

void TWinRegistry::WriteValue(const std::wstring& KeyLocation, const std::wstring& ItemName, int32_t Value) {
    WriteIntValue(KeyLocation, ItemName, Value);
}

void TWinRegistry::WriteValue(const std::wstring& KeyLocation, const std::wstring& ItemName, bool Value) {
    WriteBooleanValue(KeyLocation, ItemName, Value);
}

void TWinRegistry::WriteValue(const std::wstring& KeyLocation, const std::wstring& ItemName, double Value) {
    WriteFloatValue(KeyLocation, ItemName, Value);
}

// ---- hive names and the default error handler

std::wstring TWinRegistry::HiveToString(HKEY Hive) {
    for (const THiveRow& row : KHiveTable) {
        if (row.Hive == Hive) {
            return row.Names[0];
        }
    }
    return L"Unknown";
}

bool TWinRegistry::StringToHiveEx(const std::wstring& AString, HKEY& Hive) {
    for (const THiveRow& row : KHiveTable) {
        for (const wchar_t* name : row.Names) {
            if (name != nullptr && AString == name) {
                Hive = row.Hive;
                return true;
            }
        }
    }
    return false;
}

HKEY TWinRegistry::StringToHive(const std::wstring& AString, HKEY Default) {
    HKEY hive = Default;
    StringToHiveEx(AString, hive);
    return hive;
}

void TWinRegistry::RegistryReceiveError(TRegistryError AError) {
    const wchar_t* text = nullptr;
    switch (AError) {
    case TRegistryError::AccessDenied:
        text = L"Windows Registry Error: Access Denied";
        break;
    case TRegistryError::KeyNoExist:
        text = L"Windows Registry Error: The specified key does not exist";
        break;
    case TRegistryError::ReadError:
        text = L"Windows Registry Error: Cannot read from the Windows Registry";
        break;
    default: // None
        return;
    }
    ShowMessage(L"Information", text, MB_OK | MB_ICONINFORMATION);
}
