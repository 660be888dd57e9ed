// One-call registry access through path strings such as
// "HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Example".
//
// Every operation parses its own path (optional "Computer\" prefix, optional hive name in any
// letter case, then the key path), opens what it needs, does one thing and returns. Failures
// do not raise: they go through the error channel (ErrorKind, OnRaiseError) and the operation
// returns a neutral result (false, 0, 0.0, empty text, Unknown). Only with ErrorKind
// OperatingSystem does a failure raise EOSError.
//
// Values are stored in the usual registry formats so that other programs read them: text as
// REG_SZ, integers and Booleans as REG_DWORD, floats, dates, times and currency as 8-byte
// REG_BINARY (an IEEE double; currency a signed 64-bit integer holding the amount times 10000).
//
// An object is used by one thread at a time; the class-level hive functions may be called from
// any thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TRegistryAccessor;

// Which registry view every access asks for. Unloaded and Automatic ask for none (the
// process's own view).
enum class TRegistryMode : uint8_t { Unloaded, Windows32, Windows64, Automatic };

enum class TRegistryError : uint8_t { None, AccessDenied, KeyNoExist, ReadError };

// Disabled: failures are only remembered in LastError. Receive: OnRaiseError is called as
// well. OperatingSystem: EOSError is raised with the system's text for the error.
enum class TRegistryErrorKind : uint8_t { Disabled, Receive, OperatingSystem };

// REG_SZ, REG_EXPAND_SZ, REG_DWORD, REG_BINARY; every other type and a missing value are Unknown.
enum class TRegValueType : uint8_t { Unknown, String, ExpandString, Integer, Binary };

using TRegistryOnError = std::function<void(TRegistryError AError)>;

class TWinRegistry {
public:
    // DefaultHive HKEY_CURRENT_USER, ErrorKind Receive, AutomaticHive on, OnRaiseError showing
    // this object's RegistryReceiveError, RegistryMode Unloaded. Touches no registry.
    TWinRegistry();
    ~TWinRegistry();
    // The default OnRaiseError is bound to this object, so it stays where it was made.
    TWinRegistry(const TWinRegistry&) = delete;
    TWinRegistry& operator=(const TWinRegistry&) = delete;

    // Registry view.
    TRegistryMode RegistryMode() const noexcept { return FRegistryMode; }
    void SetRegistryMode(TRegistryMode AMode) noexcept { FRegistryMode = AMode; }
    void SetNewRegistryMode(TRegistryMode AMode) noexcept { FRegistryMode = AMode; }
    // Selects the 64-bit view, the machine's own on 64-bit Windows.
    void ResetRegistryMode() noexcept;
    // Resets an Unloaded mode; always true.
    bool WinModeLoaded() noexcept;

    // The kind of the most recent failure; successes leave it as it is.
    TRegistryError LastError() const noexcept { return FLastError; }
    TRegistryErrorKind ErrorKind() const noexcept { return FErrorKind; }
    void SetErrorKind(TRegistryErrorKind AKind) noexcept { FErrorKind = AKind; }
    const TRegistryOnError& OnRaiseError() const noexcept { return FOnError; }
    void SetOnRaiseError(TRegistryOnError AHandler) { FOnError = std::move(AHandler); }
    // Whether a leading hive name in a path is recognised.
    bool AutomaticHive() const noexcept { return FAutoHive; }
    void SetAutomaticHive(bool AValue) noexcept { FAutoHive = AValue; }
    // The hive of paths that name none. Any open key serves as well as a hive.
    HKEY DefaultHive() const noexcept { return FDefaultHive; }
    void SetDefaultHive(HKEY AHive) noexcept { FDefaultHive = AHive; }
    // Setting the manual hive also turns AutomaticHive off.
    HKEY ManualHive() const noexcept { return FDefaultHive; }
    void SetManualHive(HKEY AHive) noexcept;

    // Key operations. The key named last in KeyLocation is handled beneath its parent; when the
    // parent cannot be opened nothing else is touched: a missing parent has no such key, and an
    // inaccessible one is a failure.
    // Creates one level: the parent must exist.
    bool CreateKey(const std::wstring& KeyLocation);
    bool KeyExists(const std::wstring& KeyLocation);
    // Deletes the key with all its sub-keys; false (and no report) when there was no such key.
    bool DeleteKey(const std::wstring& KeyLocation);
    // Copies the key beside itself as "Name(2)", "Name(3)", ... (the first free one) and returns
    // that name, not a full path. A missing key copies nothing; the name is returned all the same.
    std::wstring CloneKey(const std::wstring& KeyLocation);
    // True when a sibling NewName exists afterwards; an existing sibling is left as it is.
    bool RenameKey(const std::wstring& KeyLocation, const std::wstring& NewName);
    // NewLocation is a key path in the same hive without a hive name; it is created with any
    // missing parents. It may not lie inside the source.
    bool MoveKey(const std::wstring& KeyLocation, const std::wstring& NewLocation, bool AlsoDelete);
    bool CopyKey(const std::wstring& KeyLocation, const std::wstring& NewLocation);
    // A missing key lists nothing.
    std::vector<std::wstring> GetKeyNames(const std::wstring& KeyLocation);
    std::vector<std::wstring> GetValueNames(const std::wstring& KeyLocation);

    // Value reads. A missing value is a failure for the integer, Boolean, float, currency and
    // date-time reads; GetStringValue gives empty text for it without a report.
    bool GetValueExists(const std::wstring& KeyLocation, const std::wstring& ValueName);
    TRegValueType GetValueType(const std::wstring& KeyLocation, const std::wstring& ValueName);
    // REG_SZ or REG_EXPAND_SZ (not expanded), up to the first zero character.
    std::wstring GetStringValue(const std::wstring& KeyLocation, const std::wstring& ValueName);
    int32_t GetIntValue(const std::wstring& KeyLocation, const std::wstring& ValueName);
    // Any non-zero REG_DWORD is true.
    bool GetBooleanValue(const std::wstring& KeyLocation, const std::wstring& ValueName);
    double GetFloatValue(const std::wstring& KeyLocation, const std::wstring& ValueName);
    // The amount times 10000.
    int64_t GetCurrencyValue(const std::wstring& KeyLocation, const std::wstring& ValueName);
    // Days since 30 December 1899, the fraction being the time of day.
    double GetDateTimeValue(const std::wstring& KeyLocation, const std::wstring& ValueName);
    double GetDateValue(const std::wstring& KeyLocation, const std::wstring& ValueName);
    double GetTimeValue(const std::wstring& KeyLocation, const std::wstring& ValueName);
    // Text as GetStringValue reads it, integers in decimal; binary data is a read failure.
    std::wstring GetValueAsString(const std::wstring& KeyLocation, const std::wstring& ValueName);
    // Any value as text, never reporting: text, decimal for REG_DWORD, otherwise the bytes as
    // upper-case hexadecimal pairs separated by commas ("0A,FF,01").
    std::wstring GetValueAsStringEx(const std::wstring& KeyLocation, const std::wstring& ValueName);

    // Value writes and deletion. The key must exist already (see CreateKey).
    bool DeleteValue(const std::wstring& KeyLocation, const std::wstring& ItemName);
    void WriteStringValue(const std::wstring& KeyLocation, const std::wstring& ItemName, const std::wstring& Value);
    void WriteIntValue(const std::wstring& KeyLocation, const std::wstring& ItemName, int32_t Value);
    void WriteBooleanValue(const std::wstring& KeyLocation, const std::wstring& ItemName, bool Value);
    void WriteFloatValue(const std::wstring& KeyLocation, const std::wstring& ItemName, double Value);
    void WriteCurrency(const std::wstring& KeyLocation, const std::wstring& ItemName, int64_t Value);
    void WriteDateTimeValue(const std::wstring& KeyLocation, const std::wstring& ItemName, double Value);
    void WriteDate(const std::wstring& KeyLocation, const std::wstring& ItemName, double Value);
    void WriteTime(const std::wstring& KeyLocation, const std::wstring& ItemName, double Value);
    // By the type of Value. Dates and times are doubles, stored exactly as floats are, so the
    // double overload serves them. The pointer overload keeps a literal from becoming a Boolean.
    void WriteValue(const std::wstring& KeyLocation, const std::wstring& ItemName, const std::wstring& Value);
    void WriteValue(const std::wstring& KeyLocation, const std::wstring& ItemName, const wchar_t* Value);
    void WriteValue(const std::wstring& KeyLocation, const std::wstring& ItemName, int32_t Value);
    void WriteValue(const std::wstring& KeyLocation, const std::wstring& ItemName, bool Value);
    void WriteValue(const std::wstring& KeyLocation, const std::wstring& ItemName, double Value);

    // Hive names. HiveToString gives the long name, or "Unknown". StringToHiveEx compares
    // exactly (case-sensitive) with the long names, short names and aliases and leaves Hive
    // unchanged when none matches.
    static std::wstring HiveToString(HKEY Hive);
    static bool StringToHiveEx(const std::wstring& AString, HKEY& Hive);
    static HKEY StringToHive(const std::wstring& AString, HKEY Default);

    // The default error handler: an information box for each kind, nothing for None.
    void RegistryReceiveError(TRegistryError AError);

private:
    enum class TAccess : uint8_t { Read, Write, Full };
    struct TKeyPlace {
        std::wstring Parent; // empty for a key directly under the hive
        std::wstring Name;
    };

    std::wstring ParseKeyLocation(const std::wstring& KeyLocation);
    REGSAM AccessMask(TAccess Access) const noexcept;
    void OpenAccessor(const std::wstring& Path, TAccess Access);
    void OpenLocation(const std::wstring& KeyLocation, TAccess Access);
    // Opens the parent of the key the location names.
    TKeyPlace OpenParent(const std::wstring& KeyLocation, TAccess Access);
    void ReportError(TRegistryError AError, DWORD Code);
    // Runs one registry step; any exception it raises is routed as Kind and Neutral returned.
    template <typename TResult, typename TStep> TResult Guarded(TRegistryError Kind, TResult Neutral, TStep&& Step);
    void WriteData(const std::wstring& KeyLocation, const std::wstring& ItemName, DWORD Type, const void* Data,
                   size_t Size);
    template <typename T> T ReadBinary(const std::wstring& KeyLocation, const std::wstring& ValueName);

    TRegistryError FLastError = TRegistryError::None;
    std::unique_ptr<TRegistryAccessor> FRegistry;
    TRegistryMode FRegistryMode = TRegistryMode::Unloaded;
    HKEY FHive = HKEY_CURRENT_USER;
    HKEY FDefaultHive = HKEY_CURRENT_USER;
    bool FAutoHive = true;
    TRegistryOnError FOnError;
    TRegistryErrorKind FErrorKind = TRegistryErrorKind::Receive;
};
