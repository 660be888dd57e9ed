#include "sysutil/WinRegistry.h"
#include "sysutil/Exceptions.h"
#include "sysutil/Handles.h"
#include "sysutil/Seams.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sddl.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

template <typename T> std::vector<BYTE> BytesOf(const T& Value) {
    std::vector<BYTE> bytes(sizeof(T));
    std::memcpy(bytes.data(), &Value, sizeof(T));
    return bytes;
}

// The characters given, the terminating zero of the literal included.
template <size_t N> std::vector<BYTE> TextBytes(const wchar_t (&Text)[N]) {
    std::vector<BYTE> bytes(N * sizeof(wchar_t));
    std::memcpy(bytes.data(), Text, bytes.size());
    return bytes;
}

std::wstring Hex(const std::vector<BYTE>& Bytes) {
    std::wstring text;
    for (const BYTE byte : Bytes) {
        wchar_t pair[4];
        swprintf(pair, 4, L"%02X ", byte);
        text += pair;
    }
    return text;
}

struct TShown {
    std::wstring Title;
    std::wstring Text;
    UINT Flags;
};

// Each test works under HKCU\Software\FetchoraTests\<suite>_<test> through the raw API, and
// records every message box the registry class shows.
class WinRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Name = Widen(std::string(info->test_suite_name()) + "_" + info->name());
        Path = L"Software\\FetchoraTests\\" + Name;
        Root = L"HKEY_CURRENT_USER\\" + Path;
        RegDeleteTreeW(HKEY_CURRENT_USER, Path.c_str());
        CreateRaw(L"");
    }

    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, Path.c_str());
        for (const std::wstring& extra : FExtraKeys) {
            RegDeleteTreeW(HKEY_CURRENT_USER, extra.c_str());
        }
    }

    // Test names are plain ASCII.
    static std::wstring Widen(const std::string& Text) { return std::wstring(Text.begin(), Text.end()); }

    // A key directly under HKEY_CURRENT_USER, named after the test and removed after it.
    std::wstring TopLevelKey(const std::wstring& Suffix) {
        const std::wstring name = L"FetchoraTests_" + Name + L"_" + Suffix;
        RegDeleteTreeW(HKEY_CURRENT_USER, name.c_str());
        FExtraKeys.push_back(name);
        return name;
    }

    std::wstring Loc(const std::wstring& Sub) const { return Root + L"\\" + Sub; }
    std::wstring Rel(const std::wstring& Sub) const { return Sub.empty() ? Path : Path + L"\\" + Sub; }

    TUniqueKey OpenRaw(const std::wstring& Sub, REGSAM Access = KEY_ALL_ACCESS) const {
        TUniqueKey key;
        RegOpenKeyExW(HKEY_CURRENT_USER, Rel(Sub).c_str(), 0, Access, key.put());
        return key;
    }
    void CreateRaw(const std::wstring& Sub) const {
        TUniqueKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Rel(Sub).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  key.put(), nullptr),
                  ERROR_SUCCESS);
    }
    bool RawExists(const std::wstring& Sub) const { return static_cast<bool>(OpenRaw(Sub, KEY_READ)); }
    void SetRaw(const std::wstring& Sub, const std::wstring& Value, DWORD Type, const std::vector<BYTE>& Data) const {
        CreateRaw(Sub);
        ASSERT_EQ(
            RegSetValueExW(OpenRaw(Sub).get(), Value.c_str(), 0, Type, Data.data(), static_cast<DWORD>(Data.size())),
            ERROR_SUCCESS);
    }
    template <size_t N>
    void SetRawText(const std::wstring& Sub, const std::wstring& Value, const wchar_t (&Text)[N]) const {
        SetRaw(Sub, Value, REG_SZ, TextBytes(Text));
    }
    // Type and bytes as RegQueryValueExW gives them; nothing for a missing value.
    std::optional<std::pair<DWORD, std::vector<BYTE>>> ReadRaw(const std::wstring& Sub,
                                                               const std::wstring& Value) const {
        const TUniqueKey key = OpenRaw(Sub, KEY_READ);
        DWORD type = 0;
        DWORD size = 0;
        if (!key || RegQueryValueExW(key.get(), Value.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        std::vector<BYTE> data(size);
        EXPECT_EQ(RegQueryValueExW(key.get(), Value.c_str(), nullptr, &type, data.data(), &size), ERROR_SUCCESS);
        data.resize(size);
        return std::make_pair(type, data);
    }

    // Every key and value beneath Sub as sorted lines "path|value|type|bytes", to compare trees.
    std::vector<std::wstring> Dump(HKEY Hive, const std::wstring& Key) const {
        std::vector<std::wstring> lines;
        DumpInto(Hive, Key, L"", lines);
        std::sort(lines.begin(), lines.end());
        return lines;
    }
    std::vector<std::wstring> Dump(const std::wstring& Sub) const { return Dump(HKEY_CURRENT_USER, Rel(Sub)); }

    // A small tree: values of three types at the top, a nested sub-key with a value, an empty one.
    void MakeTree(const std::wstring& Sub) const {
        SetRawText(Sub, L"Text", L"top");
        SetRaw(Sub, L"Number", REG_DWORD, BytesOf<DWORD>(42));
        SetRaw(Sub, L"", REG_BINARY, {1, 2, 3});
        SetRawText(Sub + L"\\Child\\Grandchild", L"Deep", L"value");
        CreateRaw(Sub + L"\\Empty");
    }

    std::wstring Name;
    std::wstring Path; // relative to HKEY_CURRENT_USER
    std::wstring Root; // the same with the hive name, as the class takes it
    std::vector<TShown> Shown;

private:
    static void DumpInto(HKEY Hive, const std::wstring& Key, const std::wstring& Prefix,
                         std::vector<std::wstring>& Lines) {
        TUniqueKey key;
        if (RegOpenKeyExW(Hive, Key.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
            return;
        }
        wchar_t name[16384];
        for (DWORD index = 0;; ++index) {
            DWORD length = 16384;
            DWORD type = 0;
            BYTE data[4096];
            DWORD size = sizeof(data);
            if (RegEnumValueW(key.get(), index, name, &length, nullptr, &type, data, &size) != ERROR_SUCCESS) {
                break;
            }
            Lines.push_back(Prefix + L"|" + name + L"|" + std::to_wstring(type) + L"|" +
                            Hex(std::vector<BYTE>(data, data + size)));
        }
        std::vector<std::wstring> children;
        for (DWORD index = 0;; ++index) {
            DWORD length = 256;
            if (RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
                break;
            }
            children.emplace_back(name, length);
        }
        for (const std::wstring& child : children) {
            Lines.push_back(Prefix + L"\\" + child);
            DumpInto(Hive, Key + L"\\" + child, Prefix + L"\\" + child, Lines);
        }
    }

    std::vector<std::wstring> FExtraKeys;
    TMessageOverride FMessages{[this](const std::wstring& Title, const std::wstring& Text, UINT Flags) {
        Shown.push_back({Title, Text, Flags});
        return IDOK;
    }};
};

const wchar_t* const KAccessDenied = L"Windows Registry Error: Access Denied";
const wchar_t* const KKeyNoExist = L"Windows Registry Error: The specified key does not exist";
const wchar_t* const KReadError = L"Windows Registry Error: Cannot read from the Windows Registry";

std::vector<std::wstring> Texts(const std::vector<TShown>& Shown) {
    std::vector<std::wstring> texts;
    for (const TShown& shown : Shown) {
        texts.push_back(shown.Text);
    }
    return texts;
}

HKEY HiveHandle(LONG Value) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(Value));
}

// ---- hive names and settings

TEST(WinRegistryHives, NamesAndHandles) {
    const std::pair<HKEY, const wchar_t*> hives[] = {
        {HKEY_CLASSES_ROOT, L"HKEY_CLASSES_ROOT"},
        {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER"},
        {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE"},
        {HKEY_USERS, L"HKEY_USERS"},
        {HKEY_CURRENT_CONFIG, L"HKEY_CURRENT_CONFIG"},
        {HKEY_PERFORMANCE_DATA, L"HKEY_PERFORMANCE_DATA"},
        {HKEY_DYN_DATA, L"HKEY_DYN_DATA"},
        {HiveHandle(static_cast<LONG>(0x80000007)), L"Unknown"},
        {nullptr, L"Unknown"},
    };
    for (const auto& [hive, name] : hives) {
        EXPECT_EQ(TWinRegistry::HiveToString(hive), name);
    }

    const std::pair<const wchar_t*, HKEY> names[] = {
        {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {L"HKCR", HKEY_CLASSES_ROOT},
        {L"HKEY_CLASSES", HKEY_CLASSES_ROOT},
        {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {L"HKCU", HKEY_CURRENT_USER},
        {L"HKEY_USER", HKEY_CURRENT_USER},
        {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {L"HKLM", HKEY_LOCAL_MACHINE},
        {L"HKEY_MACHINE", HKEY_LOCAL_MACHINE},
        {L"HKEY_USERS", HKEY_USERS},
        {L"HKU", HKEY_USERS},
        {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {L"HKCC", HKEY_CURRENT_CONFIG},
        {L"HKEY_CONFIG", HKEY_CURRENT_CONFIG},
        {L"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
        {L"HKPD", HKEY_PERFORMANCE_DATA},
        {L"HKEY_DYN_DATA", HKEY_DYN_DATA},
        {L"HKEY_DD", HKEY_DYN_DATA},
    };
    for (const auto& [name, hive] : names) {
        HKEY found = nullptr;
        EXPECT_TRUE(TWinRegistry::StringToHiveEx(name, found)) << name;
        EXPECT_EQ(found, hive) << name;
        EXPECT_EQ(TWinRegistry::StringToHive(name, nullptr), hive) << name;
    }

    // The class-level lookup compares exactly.
    for (const wchar_t* name : {L"hklm", L"Hkey_Local_Machine", L"", L"HKLM\\", L" HKLM", L"Computer"}) {
        HKEY found = HKEY_CLASSES_ROOT;
        EXPECT_FALSE(TWinRegistry::StringToHiveEx(name, found)) << name;
        EXPECT_EQ(found, HKEY_CLASSES_ROOT) << name << ": left unchanged";
        EXPECT_EQ(TWinRegistry::StringToHive(name, HKEY_CURRENT_USER), HKEY_CURRENT_USER) << name;
    }
}

TEST(WinRegistrySettings, DefaultsAndTheirSetters) {
    TWinRegistry registry;
    EXPECT_EQ(registry.DefaultHive(), HKEY_CURRENT_USER);
    EXPECT_EQ(registry.ErrorKind(), TRegistryErrorKind::Receive);
    EXPECT_EQ(registry.LastError(), TRegistryError::None);
    EXPECT_TRUE(registry.AutomaticHive());
    EXPECT_TRUE(static_cast<bool>(registry.OnRaiseError()));
    EXPECT_EQ(registry.RegistryMode(), TRegistryMode::Unloaded);

    registry.SetManualHive(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(registry.DefaultHive(), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(registry.ManualHive(), HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(registry.AutomaticHive());

    EXPECT_TRUE(registry.WinModeLoaded());
    EXPECT_EQ(registry.RegistryMode(), TRegistryMode::Windows64);
    registry.SetNewRegistryMode(TRegistryMode::Windows32);
    EXPECT_TRUE(registry.WinModeLoaded());
    EXPECT_EQ(registry.RegistryMode(), TRegistryMode::Windows32) << "a chosen mode stays";
}

// ---- paths

TEST_F(WinRegistry, ParsesEveryFormOfPath) {
    // Paths without a hive go to the default hive, here a key of the test's own, so that the
    // literal "hive" keys can live there.
    const std::wstring target = Path + L"\\Target";
    SetRawText(L"Target", L"Where", L"hive");
    SetRawText(L"Default\\" + target, L"Where", L"default");
    SetRawText(L"Default\\HKEY_CURRENT_USER\\" + target, L"Where", L"literal");
    SetRawText(L"Default\\computer\\HKEY_CURRENT_USER\\" + target, L"Where", L"computer");
    const TUniqueKey defaultHive = OpenRaw(L"Default", KEY_READ);

    struct TCase {
        std::wstring Location;
        bool AutoHive;
        const wchar_t* Expected;
    };
    const TCase cases[] = {
        {L"HKEY_CURRENT_USER\\" + target, true, L"hive"},
        {L"HKCU\\" + target, true, L"hive"},
        {L"hkcu\\" + target, true, L"hive"},
        {L"Hkey_Current_User\\" + target, true, L"hive"},
        {L"HKEY_USER\\" + target, true, L"hive"},
        {L"HKEY_CURRENT_USER\\" + target + L"\\", true, L"hive"},
        {L"Computer\\HKEY_CURRENT_USER\\" + target, true, L"hive"},
        {L"Computer\\hkcu\\" + target, true, L"hive"},
        {target, true, L"default"},
        {L"computer\\HKEY_CURRENT_USER\\" + target, true, L"computer"},
        {L"HKEY_CURRENT_USER\\" + target, false, L"literal"},
        {L"Computer\\HKEY_CURRENT_USER\\" + target, false, L"literal"},
        {L"HKEY_USERS\\" + target, true, L""},
        {L"HKEY_CURRENT_USERS\\" + target, true, L""},
    };
    for (const TCase& c : cases) {
        TWinRegistry registry;
        registry.SetDefaultHive(defaultHive.get());
        registry.SetAutomaticHive(c.AutoHive);
        EXPECT_EQ(registry.GetStringValue(c.Location, L"Where"), c.Expected)
            << testing::PrintToString(c.Location) << (c.AutoHive ? "" : " without AutomaticHive");
    }
    EXPECT_THAT(Shown, IsEmpty());
}

TEST_F(WinRegistry, NamesTheMachineHiveInEveryForm) {
    // CurrentControlSet exists only in the machine hive.
    TWinRegistry registry;
    for (const wchar_t* location :
         {L"HKLM\\SYSTEM\\CurrentControlSet", L"hklm\\SYSTEM\\CurrentControlSet",
          L"HKEY_MACHINE\\SYSTEM\\CurrentControlSet\\", L"Computer\\HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet"}) {
        EXPECT_TRUE(registry.KeyExists(location)) << location;
    }
    for (const wchar_t* location : {L"SYSTEM\\CurrentControlSet", L"computer\\HKEY_LOCAL_MACHINE\\SYSTEM"}) {
        EXPECT_FALSE(registry.KeyExists(location)) << location;
    }
    registry.SetManualHive(HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(registry.KeyExists(L"SYSTEM\\CurrentControlSet"));
    EXPECT_FALSE(registry.KeyExists(L"HKEY_LOCAL_MACHINE\\SYSTEM")) << "a key called HKEY_LOCAL_MACHINE";
    EXPECT_THAT(Shown, IsEmpty());
}

TEST_F(WinRegistry, AsksForTheChosenRegistryView) {
    // The machine's software key is the one that has a separate 32-bit view.
    const std::wstring name = L"Software\\FetchoraTests_" + Name;
    struct TCase {
        TRegistryMode Mode;
        REGSAM LandsIn;
    };
    for (const TCase& c :
         {TCase{TRegistryMode::Windows32, KEY_WOW64_32KEY}, TCase{TRegistryMode::Windows64, KEY_WOW64_64KEY},
          TCase{TRegistryMode::Unloaded, KEY_WOW64_64KEY}}) {
        for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), view, 0); // left by an aborted run
        }
        TWinRegistry registry;
        registry.SetRegistryMode(c.Mode);
        ASSERT_TRUE(registry.CreateKey(L"HKLM\\" + name)) << static_cast<int>(c.Mode);
        for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            TUniqueKey key;
            const LONG code = RegOpenKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), 0, KEY_READ | view, key.put());
            EXPECT_EQ(code == ERROR_SUCCESS, view == c.LandsIn) << static_cast<int>(c.Mode) << " view " << view;
        }
        EXPECT_TRUE(registry.KeyExists(L"HKLM\\" + name));
        EXPECT_TRUE(registry.DeleteKey(L"HKLM\\" + name));
        EXPECT_EQ(RegDeleteKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), KEY_WOW64_32KEY, 0), ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(RegDeleteKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), KEY_WOW64_64KEY, 0), ERROR_FILE_NOT_FOUND);
    }
    EXPECT_THAT(Shown, IsEmpty());
}

// ---- values

TEST_F(WinRegistry, WritesEveryTypeInItsRegistryFormat) {
    struct TCase {
        const wchar_t* Value;
        std::function<void(TWinRegistry&, const std::wstring&, const std::wstring&)> Write;
        DWORD Type;
        std::vector<BYTE> Bytes;
    };
    const TCase cases[] = {
        {L"String", [](auto& r, auto& k, auto& n) { r.WriteStringValue(k, n, L"Gr\u00FC\u00DFe"); }, REG_SZ,
         TextBytes(L"Gr\u00FC\u00DFe")},
        {L"EmptyString", [](auto& r, auto& k, auto& n) { r.WriteStringValue(k, n, L""); }, REG_SZ, TextBytes(L"")},
        {L"Integer", [](auto& r, auto& k, auto& n) { r.WriteIntValue(k, n, -5); }, REG_DWORD, {0xFB, 0xFF, 0xFF, 0xFF}},
        {L"True", [](auto& r, auto& k, auto& n) { r.WriteBooleanValue(k, n, true); }, REG_DWORD, {1, 0, 0, 0}},
        {L"False", [](auto& r, auto& k, auto& n) { r.WriteBooleanValue(k, n, false); }, REG_DWORD, {0, 0, 0, 0}},
        {L"Float", [](auto& r, auto& k, auto& n) { r.WriteFloatValue(k, n, 1.5); }, REG_BINARY, BytesOf(1.5)},
        {L"Currency", [](auto& r, auto& k, auto& n) { r.WriteCurrency(k, n, -12345678); }, REG_BINARY,
         BytesOf<int64_t>(-12345678)},
        {L"DateTime", [](auto& r, auto& k, auto& n) { r.WriteDateTimeValue(k, n, 45000.75); }, REG_BINARY,
         BytesOf(45000.75)},
        {L"Date", [](auto& r, auto& k, auto& n) { r.WriteDate(k, n, 45000.0); }, REG_BINARY, BytesOf(45000.0)},
        {L"Time", [](auto& r, auto& k, auto& n) { r.WriteTime(k, n, 0.25); }, REG_BINARY, BytesOf(0.25)},
        // WriteValue picks the writer by the type of the value; a literal must not turn Boolean.
        {L"ByLiteral", [](auto& r, auto& k, auto& n) { r.WriteValue(k, n, L"text"); }, REG_SZ, TextBytes(L"text")},
        {L"ByString", [](auto& r, auto& k, auto& n) { r.WriteValue(k, n, std::wstring(L"s")); }, REG_SZ,
         TextBytes(L"s")},
        {L"ByInteger", [](auto& r, auto& k, auto& n) { r.WriteValue(k, n, 7); }, REG_DWORD, {7, 0, 0, 0}},
        {L"ByBoolean", [](auto& r, auto& k, auto& n) { r.WriteValue(k, n, true); }, REG_DWORD, {1, 0, 0, 0}},
        {L"ByDouble", [](auto& r, auto& k, auto& n) { r.WriteValue(k, n, 2.25); }, REG_BINARY, BytesOf(2.25)},
    };
    TWinRegistry registry;
    for (const TCase& c : cases) {
        c.Write(registry, Root, c.Value);
        const auto raw = ReadRaw(L"", c.Value);
        ASSERT_TRUE(raw.has_value()) << c.Value;
        EXPECT_EQ(raw->first, c.Type) << c.Value;
        EXPECT_EQ(Hex(raw->second), Hex(c.Bytes)) << c.Value;
    }

    // And read back through the typed getters.
    EXPECT_EQ(registry.GetStringValue(Root, L"String"), L"Gr\u00FC\u00DFe");
    EXPECT_EQ(registry.GetStringValue(Root, L"EmptyString"), L"");
    EXPECT_EQ(registry.GetIntValue(Root, L"Integer"), -5);
    EXPECT_TRUE(registry.GetBooleanValue(Root, L"True"));
    EXPECT_FALSE(registry.GetBooleanValue(Root, L"False"));
    EXPECT_EQ(registry.GetFloatValue(Root, L"Float"), 1.5);
    EXPECT_EQ(registry.GetCurrencyValue(Root, L"Currency"), -12345678);
    EXPECT_EQ(registry.GetDateTimeValue(Root, L"DateTime"), 45000.75);
    EXPECT_EQ(registry.GetDateValue(Root, L"Date"), 45000.0);
    EXPECT_EQ(registry.GetTimeValue(Root, L"Time"), 0.25);
    EXPECT_EQ(registry.LastError(), TRegistryError::None);
    EXPECT_THAT(Shown, IsEmpty());
}

TEST_F(WinRegistry, ReadsOnlyTheFormatEachGetterExpects) {
    using TRead = std::function<std::wstring(TWinRegistry&, const std::wstring&, const std::wstring&)>;
    const TRead asInt = [](auto& r, auto& k, auto& n) { return std::to_wstring(r.GetIntValue(k, n)); };
    const TRead asBool = [](auto& r, auto& k, auto& n) { return std::wstring(r.GetBooleanValue(k, n) ? L"1" : L"0"); };
    const TRead asFloat = [](auto& r, auto& k, auto& n) { return std::to_wstring(r.GetFloatValue(k, n)); };
    const TRead asDateTime = [](auto& r, auto& k, auto& n) { return std::to_wstring(r.GetDateTimeValue(k, n)); };
    const TRead asCurrency = [](auto& r, auto& k, auto& n) { return std::to_wstring(r.GetCurrencyValue(k, n)); };
    const TRead asString = [](auto& r, auto& k, auto& n) { return r.GetStringValue(k, n); };

    struct TCase {
        const wchar_t* Value;
        std::optional<DWORD> Type; // nothing: the value is missing
        std::vector<BYTE> Bytes;
        TRead Read;
        std::wstring Expected;
        bool Fails;
    };
    const TCase cases[] = {
        {L"DwordSeven", REG_DWORD, {7, 0, 0, 0}, asBool, L"1", false},
        {L"DwordZero", REG_DWORD, {0, 0, 0, 0}, asBool, L"0", false},
        {L"TextAsInt", REG_SZ, TextBytes(L"12"), asInt, L"0", true},
        {L"BinaryAsInt", REG_BINARY, BytesOf<int32_t>(12), asInt, L"0", true},
        {L"ShortDword", REG_DWORD, {1, 0}, asInt, L"0", true},
        {L"MissingInt", std::nullopt, {}, asInt, L"0", true},
        {L"MissingBool", std::nullopt, {}, asBool, L"0", true},
        {L"FourBytes", REG_BINARY, {0, 0, 0x80, 0x3F}, asFloat, std::to_wstring(0.0), true},
        {L"NineBytes", REG_BINARY, std::vector<BYTE>(9, 1), asDateTime, std::to_wstring(0.0), true},
        {L"DwordAsFloat", REG_DWORD, {1, 0, 0, 0}, asFloat, std::to_wstring(0.0), true},
        {L"QwordAsCurrency", REG_QWORD, BytesOf<int64_t>(5), asCurrency, L"0", true},
        {L"MissingFloat", std::nullopt, {}, asFloat, std::to_wstring(0.0), true},
        {L"EightBytes", REG_BINARY, BytesOf(3.5), asFloat, std::to_wstring(3.5), false},
        {L"MultiString", REG_MULTI_SZ, TextBytes(L"a\0b\0"), asString, L"", true},
        {L"DwordAsString", REG_DWORD, {1, 0, 0, 0}, asString, L"", true},
        {L"Unexpanded", REG_EXPAND_SZ, TextBytes(L"%SystemRoot%\\x"), asString, L"%SystemRoot%\\x", false},
        {L"EmbeddedZero", REG_SZ, TextBytes(L"ab\0cd"), asString, L"ab", false},
        {L"Unterminated", REG_SZ, {'a', 0, 'b', 0, 'c', 0}, asString, L"abc", false},
        {L"OddSize", REG_SZ, {'a', 0, 'b', 0, 'c'}, asString, L"ab", false},
        {L"MissingString", std::nullopt, {}, asString, L"", false},
    };
    for (const TCase& c : cases) {
        if (c.Type) {
            SetRaw(L"", c.Value, *c.Type, c.Bytes);
        }
        std::vector<TRegistryError> reported;
        TWinRegistry registry;
        registry.SetOnRaiseError([&](TRegistryError error) { reported.push_back(error); });
        EXPECT_EQ(c.Read(registry, Root, c.Value), c.Expected) << c.Value;
        if (c.Fails) {
            EXPECT_THAT(reported, ElementsAre(TRegistryError::ReadError)) << c.Value;
            EXPECT_EQ(registry.LastError(), TRegistryError::ReadError) << c.Value;
        } else {
            EXPECT_THAT(reported, IsEmpty()) << c.Value;
        }
    }
}

TEST_F(WinRegistry, DescribesValuesAsTypesAndText) {
    struct TCase {
        const wchar_t* Value;
        std::optional<DWORD> Type;
        std::vector<BYTE> Bytes;
        TRegValueType ValueType;
        std::wstring AsString;
        bool AsStringFails;
        std::wstring AsStringEx;
    };
    const TCase cases[] = {
        {L"Text", REG_SZ, TextBytes(L"text"), TRegValueType::String, L"text", false, L"text"},
        {L"Expand", REG_EXPAND_SZ, TextBytes(L"%TEMP%\0x"), TRegValueType::ExpandString, L"%TEMP%", false, L"%TEMP%"},
        {L"Dword", REG_DWORD, BytesOf<int32_t>(-5), TRegValueType::Integer, L"-5", false, L"-5"},
        {L"Binary", REG_BINARY, {10, 255, 1}, TRegValueType::Binary, L"", true, L"0A,FF,01"},
        {L"EmptyBinary", REG_BINARY, {}, TRegValueType::Binary, L"", true, L""},
        {L"Multi", REG_MULTI_SZ, TextBytes(L"a\0b\0"), TRegValueType::Unknown, L"", true,
         L"61,00,00,00,62,00,00,00,00,00"},
        {L"Qword", REG_QWORD, BytesOf<int64_t>(0x0102), TRegValueType::Unknown, L"", true, L"02,01,00,00,00,00,00,00"},
        {L"Missing", std::nullopt, {}, TRegValueType::Unknown, L"", false, L""},
    };
    for (const TCase& c : cases) {
        if (c.Type) {
            SetRaw(L"", c.Value, *c.Type, c.Bytes);
        }
        std::vector<TRegistryError> reported;
        TWinRegistry registry;
        registry.SetOnRaiseError([&](TRegistryError error) { reported.push_back(error); });
        EXPECT_EQ(registry.GetValueExists(Root, c.Value), c.Type.has_value()) << c.Value;
        EXPECT_EQ(registry.GetValueType(Root, c.Value), c.ValueType) << c.Value;
        EXPECT_EQ(registry.GetValueAsStringEx(Root, c.Value), c.AsStringEx) << c.Value;
        EXPECT_THAT(reported, IsEmpty()) << c.Value << ": only GetValueAsString may report";
        EXPECT_EQ(registry.GetValueAsString(Root, c.Value), c.AsString) << c.Value;
        EXPECT_EQ(reported.size(), c.AsStringFails ? 1u : 0u) << c.Value;
    }
}

TEST_F(WinRegistry, DeletesValues) {
    SetRawText(L"", L"Gone", L"x");
    SetRawText(L"", L"Kept", L"y");
    TWinRegistry registry;
    EXPECT_TRUE(registry.DeleteValue(Root, L"Gone"));
    EXPECT_FALSE(registry.GetValueExists(Root, L"Gone"));
    EXPECT_FALSE(registry.DeleteValue(Root, L"Gone")) << "already gone";
    EXPECT_FALSE(registry.DeleteValue(Loc(L"Missing"), L"Kept")) << "no such key";
    EXPECT_TRUE(ReadRaw(L"", L"Kept").has_value());
    EXPECT_THAT(Shown, IsEmpty());
}

// ---- keys

TEST_F(WinRegistry, CreatesFindsAndDeletesKeysWithTheirSubKeys) {
    TWinRegistry registry;
    EXPECT_FALSE(registry.KeyExists(Loc(L"Tree")));
    EXPECT_TRUE(registry.CreateKey(Loc(L"Tree")));
    EXPECT_TRUE(RawExists(L"Tree"));
    EXPECT_TRUE(registry.CreateKey(Loc(L"Tree\\"))) << "an existing key is opened";
    MakeTree(L"Tree");
    SetRawText(L"Sibling", L"Keep", L"me");
    EXPECT_TRUE(registry.KeyExists(Loc(L"Tree")));
    EXPECT_TRUE(registry.KeyExists(Loc(L"tree\\child\\"))) << "key names ignore case";

    EXPECT_TRUE(registry.DeleteKey(Loc(L"Tree")));
    EXPECT_FALSE(RawExists(L"Tree"));
    EXPECT_TRUE(ReadRaw(L"Sibling", L"Keep").has_value());
    EXPECT_FALSE(registry.DeleteKey(Loc(L"Tree"))) << "nothing left to delete";
    EXPECT_FALSE(registry.KeyExists(Loc(L"Tree")));
    EXPECT_THAT(Shown, IsEmpty());
    EXPECT_EQ(registry.LastError(), TRegistryError::None);
}

TEST_F(WinRegistry, RefusesKeyOperationsOnAHiveItself) {
    TWinRegistry registry;
    registry.SetErrorKind(TRegistryErrorKind::Disabled);
    EXPECT_FALSE(registry.DeleteKey(L"HKEY_CURRENT_USER"));
    EXPECT_FALSE(registry.DeleteKey(L"HKCU\\"));
    EXPECT_EQ(registry.LastError(), TRegistryError::AccessDenied);
    EXPECT_FALSE(registry.CreateKey(L"HKCU"));
    EXPECT_TRUE(RawExists(L"")) << "the hive keeps its keys";
}

TEST_F(WinRegistry, ListsSubKeysAndValues) {
    MakeTree(L"List");
    TWinRegistry registry;
    EXPECT_THAT(registry.GetKeyNames(Loc(L"List")), UnorderedElementsAre(L"Child", L"Empty"));
    EXPECT_THAT(registry.GetValueNames(Loc(L"List")), UnorderedElementsAre(L"Text", L"Number", L""));
    EXPECT_THAT(registry.GetKeyNames(Loc(L"List\\Empty")), IsEmpty());
    EXPECT_THAT(registry.GetKeyNames(Loc(L"Missing")), IsEmpty());
    EXPECT_THAT(registry.GetValueNames(Loc(L"Missing")), IsEmpty());
    EXPECT_THAT(Shown, IsEmpty());
}

TEST_F(WinRegistry, ClonesAKeyUnderTheFirstFreeNumberedName) {
    MakeTree(L"Example");
    SetRawText(L"Example(2)", L"Own", L"two");
    const std::vector<std::wstring> original = Dump(L"Example");
    const std::vector<std::wstring> second = Dump(L"Example(2)");

    TWinRegistry registry;
    EXPECT_EQ(registry.CloneKey(Loc(L"Example")), L"Example(3)");
    EXPECT_EQ(Dump(L"Example(3)"), original);
    EXPECT_EQ(Dump(L"Example"), original);
    EXPECT_EQ(Dump(L"Example(2)"), second);
    EXPECT_EQ(registry.CloneKey(Loc(L"Example")), L"Example(4)");

    EXPECT_EQ(registry.CloneKey(Loc(L"Missing")), L"Missing(2)");
    EXPECT_FALSE(RawExists(L"Missing(2)")) << "nothing to copy";
    EXPECT_THAT(Shown, IsEmpty());
}

TEST_F(WinRegistry, RenamesAKeyToAFreeSiblingName) {
    MakeTree(L"Old");
    const std::vector<std::wstring> tree = Dump(L"Old");
    TWinRegistry registry;
    EXPECT_TRUE(registry.RenameKey(Loc(L"Old"), L"New"));
    EXPECT_FALSE(RawExists(L"Old"));
    EXPECT_EQ(Dump(L"New"), tree);

    // Onto an existing sibling: nothing changes, and the sibling exists.
    SetRawText(L"Other", L"Own", L"other");
    const std::vector<std::wstring> other = Dump(L"Other");
    EXPECT_TRUE(registry.RenameKey(Loc(L"New"), L"Other"));
    EXPECT_EQ(Dump(L"New"), tree);
    EXPECT_EQ(Dump(L"Other"), other);

    EXPECT_FALSE(registry.RenameKey(Loc(L"Missing"), L"Found"));
    EXPECT_FALSE(RawExists(L"Found"));
    EXPECT_THAT(Shown, IsEmpty());

    // A name with a backslash would not be a sibling.
    EXPECT_FALSE(registry.RenameKey(Loc(L"New"), L"New\\Inner"));
    EXPECT_THAT(Texts(Shown), ElementsAre(KKeyNoExist));
    EXPECT_EQ(Dump(L"New"), tree);
}

TEST_F(WinRegistry, CopiesAndMovesKeyTrees) {
    MakeTree(L"Source");
    const std::vector<std::wstring> tree = Dump(L"Source");
    TWinRegistry registry;

    // The target path has no hive name and is created with its missing parents.
    EXPECT_TRUE(registry.CopyKey(Loc(L"Source"), Rel(L"Deep\\Er\\Copy")));
    EXPECT_EQ(Dump(L"Deep\\Er\\Copy"), tree);
    EXPECT_EQ(Dump(L"Source"), tree);

    // Into an existing key: values and sub-keys join what is there.
    SetRawText(L"Merged", L"Own", L"kept");
    EXPECT_TRUE(registry.MoveKey(Loc(L"Source"), Rel(L"Merged\\"), false));
    EXPECT_EQ(registry.GetStringValue(Loc(L"Merged"), L"Own"), L"kept");
    EXPECT_EQ(registry.GetStringValue(Loc(L"Merged\\Child\\Grandchild"), L"Deep"), L"value");
    EXPECT_TRUE(RawExists(L"Source"));

    EXPECT_TRUE(registry.MoveKey(Loc(L"Source"), Rel(L"Moved"), true));
    EXPECT_EQ(Dump(L"Moved"), tree);
    EXPECT_FALSE(RawExists(L"Source"));
    EXPECT_THAT(Shown, IsEmpty());
}

TEST_F(WinRegistry, RefusesToCopyAKeyIntoItselfOrFromNowhere) {
    MakeTree(L"Source");
    const std::vector<std::wstring> tree = Dump(L"Source");
    TWinRegistry registry;
    registry.SetErrorKind(TRegistryErrorKind::Disabled);

    for (const std::wstring& target : {Rel(L"Source\\Inner"), Rel(L"SOURCE\\\\Child\\"), Rel(L"source")}) {
        EXPECT_FALSE(registry.CopyKey(Loc(L"Source"), target)) << testing::PrintToString(target);
        EXPECT_FALSE(registry.MoveKey(Loc(L"Source"), target, true)) << testing::PrintToString(target);
        EXPECT_EQ(Dump(L"Source"), tree) << testing::PrintToString(target);
    }
    EXPECT_EQ(registry.LastError(), TRegistryError::AccessDenied);

    EXPECT_FALSE(registry.MoveKey(Loc(L"Missing"), Rel(L"Target"), true));
    EXPECT_FALSE(RawExists(L"Target")) << "no empty copy of a key that is not there";
    EXPECT_TRUE(registry.CopyKey(Loc(L"Source"), Rel(L"SourceCopy"))) << "a name that only begins the same";
}

// ---- the error channel

TEST_F(WinRegistry, ShowsOneMessagePerKindOfFailure) {
    const std::pair<TRegistryError, const wchar_t*> kinds[] = {
        {TRegistryError::AccessDenied, KAccessDenied},
        {TRegistryError::KeyNoExist, KKeyNoExist},
        {TRegistryError::ReadError, KReadError},
    };
    TWinRegistry registry;
    for (const auto& [kind, text] : kinds) {
        Shown.clear();
        registry.RegistryReceiveError(kind);
        ASSERT_EQ(Shown.size(), 1u) << text;
        EXPECT_EQ(Shown[0].Text, text);
        EXPECT_EQ(Shown[0].Flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    }
    Shown.clear();
    registry.RegistryReceiveError(TRegistryError::None);
    EXPECT_THAT(Shown, IsEmpty());
}

TEST_F(WinRegistry, ReportsFailuresWithTheDefaultSettings) {
    TWinRegistry registry;
    EXPECT_EQ(registry.GetStringValue(Root, L"Missing"), L"");
    EXPECT_THAT(Shown, IsEmpty()) << "a missing text is no failure";

    EXPECT_EQ(registry.GetIntValue(Root, L"Missing"), 0);
    EXPECT_THAT(Texts(Shown), ElementsAre(KReadError));
    EXPECT_EQ(registry.LastError(), TRegistryError::ReadError);

    Shown.clear();
    registry.WriteStringValue(Loc(L"Missing"), L"Value", L"text");
    EXPECT_THAT(Texts(Shown), ElementsAre(KAccessDenied));
    EXPECT_FALSE(RawExists(L"Missing")) << "writes create no key";
    EXPECT_EQ(registry.LastError(), TRegistryError::AccessDenied);
}

TEST_F(WinRegistry, RoutesFailuresByErrorKind) {
    TWinRegistry registry;
    std::vector<TRegistryError> received;
    registry.SetOnRaiseError([&](TRegistryError error) {
        EXPECT_EQ(registry.LastError(), TRegistryError::None) << "called before LastError is stored";
        received.push_back(error);
    });
    EXPECT_FALSE(registry.GetBooleanValue(Root, L"Missing"));
    EXPECT_THAT(received, ElementsAre(TRegistryError::ReadError));
    EXPECT_EQ(registry.LastError(), TRegistryError::ReadError);

    // Successes leave the last failure in place.
    registry.WriteIntValue(Root, L"Number", 3);
    EXPECT_EQ(registry.GetIntValue(Root, L"Number"), 3);
    EXPECT_EQ(registry.LastError(), TRegistryError::ReadError);

    registry.SetErrorKind(TRegistryErrorKind::Disabled);
    EXPECT_EQ(registry.GetFloatValue(Root, L"Number"), 0.0);
    EXPECT_FALSE(registry.CreateKey(Loc(L"Missing\\Key")));
    EXPECT_EQ(registry.LastError(), TRegistryError::AccessDenied);
    EXPECT_THAT(received, ElementsAre(TRegistryError::ReadError)) << "disabled calls no handler";

    registry.SetErrorKind(TRegistryErrorKind::Receive);
    registry.SetOnRaiseError(nullptr);
    EXPECT_EQ(registry.GetCurrencyValue(Root, L"Missing"), 0);
    EXPECT_EQ(registry.LastError(), TRegistryError::ReadError);
    EXPECT_THAT(Shown, IsEmpty());
}

TEST_F(WinRegistry, RaisesTheSystemErrorWhenAskedTo) {
    SetRawText(L"", L"Text", L"12");
    TWinRegistry registry;
    registry.SetErrorKind(TRegistryErrorKind::Disabled);
    registry.GetIntValue(Root, L"Missing");
    ASSERT_EQ(registry.LastError(), TRegistryError::ReadError);

    registry.SetErrorKind(TRegistryErrorKind::OperatingSystem);
    struct TCase {
        std::function<void()> Operation;
        DWORD Code;
    };
    const TCase cases[] = {
        {[&] { registry.GetIntValue(Root, L"Missing"); }, ERROR_FILE_NOT_FOUND},
        {[&] { registry.GetIntValue(Root, L"Text"); }, ERROR_DATATYPE_MISMATCH},
        {[&] { registry.WriteIntValue(Loc(L"Missing"), L"Value", 1); }, ERROR_FILE_NOT_FOUND},
        {[&] { registry.CreateKey(Loc(L"Missing\\Key")); }, ERROR_FILE_NOT_FOUND},
    };
    for (const TCase& c : cases) {
        try {
            c.Operation();
            ADD_FAILURE() << "no error raised for code " << c.Code;
        } catch (const EOSError& error) {
            EXPECT_EQ(error.ErrorCode(), c.Code);
            EXPECT_EQ(error.Message(), SystemErrorMessage(c.Code));
        }
        EXPECT_EQ(registry.LastError(), TRegistryError::ReadError) << "kept when raising";
    }
    EXPECT_EQ(registry.GetStringValue(Root, L"Missing"), L"") << "still no failure";
    EXPECT_THAT(Shown, IsEmpty());
}

// ---- a parent that cannot be opened

TEST_F(WinRegistry, ActsOnNothingElseWhenTheParentIsMissing) {
    // A key of the same name directly under the hive is what must stay untouched.
    const std::wstring decoy = TopLevelKey(L"Decoy");
    const std::wstring renamed = TopLevelKey(L"Renamed");
    {
        TUniqueKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (decoy + L"\\Child").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        RegSetKeyValueW(HKEY_CURRENT_USER, decoy.c_str(), L"Keep", REG_SZ, L"yes", 8);
    }
    const std::vector<std::wstring> before = Dump(HKEY_CURRENT_USER, decoy);
    ASSERT_FALSE(before.empty());
    TopLevelKey(L"Decoy(2)");
    const std::wstring location = Loc(L"Missing\\" + decoy);

    TWinRegistry registry;
    std::vector<TRegistryError> reported;
    registry.SetOnRaiseError([&](TRegistryError error) { reported.push_back(error); });
    EXPECT_FALSE(registry.KeyExists(location));
    EXPECT_FALSE(registry.DeleteKey(location));
    EXPECT_EQ(registry.CloneKey(location), decoy + L"(2)");
    EXPECT_FALSE(registry.RenameKey(location, renamed));
    EXPECT_THAT(reported, IsEmpty()) << "a missing key is no failure for these";
    EXPECT_FALSE(registry.CreateKey(location));
    EXPECT_FALSE(registry.CopyKey(location, Rel(L"Copy")));
    EXPECT_FALSE(registry.MoveKey(location, Rel(L"Moved"), true));
    EXPECT_THAT(reported,
                ElementsAre(TRegistryError::AccessDenied, TRegistryError::AccessDenied, TRegistryError::AccessDenied));

    EXPECT_EQ(Dump(HKEY_CURRENT_USER, decoy), before);
    for (const std::wstring& other : {decoy + L"(2)", renamed}) {
        TUniqueKey key;
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, other.c_str(), 0, KEY_READ, key.put()), ERROR_FILE_NOT_FOUND)
            << testing::PrintToString(other);
    }
    EXPECT_FALSE(RawExists(L"Missing"));
    EXPECT_FALSE(RawExists(L"Copy"));
    EXPECT_FALSE(RawExists(L"Moved"));
}

// A key whose security lets everybody delete it and change its permissions, nothing else.
class TLockedKey {
public:
    TLockedKey(HKEY Parent, const std::wstring& Name) : FParent(Parent), FName(Name) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;0x70000;;;WD)", SDDL_REVISION_1,
                                                                         &descriptor, nullptr));
        TUniqueKey key;
        EXPECT_EQ(RegOpenKeyExW(FParent, FName.c_str(), 0, WRITE_DAC, key.put()), ERROR_SUCCESS);
        EXPECT_EQ(RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
        LocalFree(descriptor);
    }
    ~TLockedKey() {
        SECURITY_DESCRIPTOR open;
        InitializeSecurityDescriptor(&open, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&open, TRUE, nullptr, FALSE);
        TUniqueKey key;
        if (RegOpenKeyExW(FParent, FName.c_str(), 0, WRITE_DAC, key.put()) == ERROR_SUCCESS) {
            RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, &open);
        }
    }
    TLockedKey(const TLockedKey&) = delete;
    TLockedKey& operator=(const TLockedKey&) = delete;

private:
    HKEY FParent;
    std::wstring FName;
};

TEST_F(WinRegistry, ReportsAParentThatMayNotBeOpened) {
    const std::wstring decoy = TopLevelKey(L"Inner");
    CreateRaw(L"Locked\\" + decoy);
    const TLockedKey locked(HKEY_CURRENT_USER, Rel(L"Locked"));
    {
        TUniqueKey probe;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Rel(L"Locked").c_str(), 0, KEY_READ, probe.put()),
                  ERROR_ACCESS_DENIED)
            << "the system must refuse to open the key";
    }
    // Would be found if the hive were used in place of the parent.
    TUniqueKey key;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, decoy.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
        ERROR_SUCCESS);
    key.reset();

    const std::wstring location = Loc(L"Locked\\" + decoy);
    TWinRegistry registry;
    std::vector<TRegistryError> reported;
    registry.SetOnRaiseError([&](TRegistryError error) { reported.push_back(error); });
    EXPECT_FALSE(registry.KeyExists(location));
    EXPECT_FALSE(registry.CreateKey(Loc(L"Locked\\New")));
    EXPECT_FALSE(registry.DeleteKey(location));
    EXPECT_EQ(registry.CloneKey(location), L"");
    EXPECT_FALSE(registry.RenameKey(location, L"Renamed"));
    EXPECT_FALSE(registry.CopyKey(location, Rel(L"Copy")));
    EXPECT_THAT(reported,
                ElementsAre(TRegistryError::ReadError, TRegistryError::AccessDenied, TRegistryError::AccessDenied,
                            TRegistryError::AccessDenied, TRegistryError::KeyNoExist, TRegistryError::AccessDenied));
    EXPECT_THAT(registry.GetKeyNames(Loc(L"Locked")), IsEmpty());
    EXPECT_EQ(registry.LastError(), TRegistryError::ReadError) << "a key that may not be read is no empty key";
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, decoy.c_str(), 0, KEY_READ, key.put()), ERROR_SUCCESS);
    EXPECT_FALSE(RawExists(L"Copy"));
}

TEST_F(WinRegistry, RemovesWhatAFailedCopyCreated) {
    MakeTree(L"Source");
    CreateRaw(L"Source\\Sealed");
    const TLockedKey locked(HKEY_CURRENT_USER, Rel(L"Source\\Sealed"));
    TWinRegistry registry;
    registry.SetErrorKind(TRegistryErrorKind::Disabled);

    EXPECT_FALSE(registry.MoveKey(Loc(L"Source"), Rel(L"New\\Copy"), true));
    EXPECT_EQ(registry.LastError(), TRegistryError::AccessDenied);
    EXPECT_FALSE(RawExists(L"New")) << "the target and the parents made for it are gone";
    EXPECT_EQ(registry.GetStringValue(Loc(L"Source\\Child\\Grandchild"), L"Deep"), L"value") << "source kept";

    EXPECT_EQ(registry.CloneKey(Loc(L"Source")), L"");
    EXPECT_FALSE(RawExists(L"Source(2)"));
}

} // namespace
