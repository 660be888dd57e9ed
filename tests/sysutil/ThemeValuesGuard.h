// Tests that change the user's theme values ("AccentColor", "AppsUseLightTheme") share them
// with every other test process in the Wine prefix. The guard holds a machine-wide mutex for its
// lifetime, so such tests run one at a time, and puts the values back as it found them.
#pragma once

#include "sysutil/Handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

class TThemeValuesGuard {
public:
    static constexpr const wchar_t* AccentKey = L"Software\\Microsoft\\Windows\\DWM";
    static constexpr const wchar_t* ThemeKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

    TThemeValuesGuard() : FMutex(CreateMutexW(nullptr, FALSE, L"FetchoraTests.ThemeValues")) {
        // WAIT_ABANDONED also hands over the mutex: a crashed test must not block the others.
        WaitForSingleObject(FMutex.get(), INFINITE);
        FAccent = Save(AccentKey, L"AccentColor");
        FLight = Save(ThemeKey, L"AppsUseLightTheme");
    }
    ~TThemeValuesGuard() {
        Restore(AccentKey, L"AccentColor", FAccent);
        Restore(ThemeKey, L"AppsUseLightTheme", FLight);
        ReleaseMutex(FMutex.get());
    }
    TThemeValuesGuard(const TThemeValuesGuard&) = delete;
    TThemeValuesGuard& operator=(const TThemeValuesGuard&) = delete;

    static void SetAccent(DWORD Value) { Write(AccentKey, L"AccentColor", Value); }
    static void RemoveAccent() { Remove(AccentKey, L"AccentColor"); }
    static void SetAppsUseLightTheme(DWORD Value) { Write(ThemeKey, L"AppsUseLightTheme", Value); }
    static void RemoveAppsUseLightTheme() { Remove(ThemeKey, L"AppsUseLightTheme"); }

private:
    struct TSaved {
        // The outermost key of the path that did not exist, which the restore removes again.
        std::wstring FirstMissing;
        std::optional<DWORD> Value;
    };

    static bool KeyExists(const std::wstring& Key) {
        TUniqueKey key;
        return RegOpenKeyExW(HKEY_CURRENT_USER, Key.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
    }

    static TSaved Save(const wchar_t* Key, const wchar_t* Name) {
        TSaved saved;
        const std::wstring path = Key;
        for (size_t end = path.find(L'\\');; end = path.find(L'\\', end + 1)) {
            const std::wstring prefix = path.substr(0, end);
            if (!KeyExists(prefix)) {
                saved.FirstMissing = prefix;
                return saved;
            }
            if (end == std::wstring::npos) {
                break;
            }
        }
        TUniqueKey key;
        DWORD type = 0, value = 0, size = sizeof(value);
        if (RegOpenKeyExW(HKEY_CURRENT_USER, Key, 0, KEY_READ, key.put()) == ERROR_SUCCESS &&
            RegQueryValueExW(key.get(), Name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                ERROR_SUCCESS &&
            type == REG_DWORD) {
            saved.Value = value;
        }
        return saved;
    }

    static void Restore(const wchar_t* Key, const wchar_t* Name, const TSaved& Saved) {
        if (Saved.Value) {
            Write(Key, Name, *Saved.Value);
        } else if (!Saved.FirstMissing.empty()) {
            RegDeleteTreeW(HKEY_CURRENT_USER, Saved.FirstMissing.c_str());
        } else {
            Remove(Key, Name);
        }
    }

    static void Write(const wchar_t* Key, const wchar_t* Name, DWORD Value) {
        TUniqueKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key.get(), Name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Value), sizeof(Value)),
                  ERROR_SUCCESS);
    }

    static void Remove(const wchar_t* Key, const wchar_t* Name) {
        TUniqueKey key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, Key, 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS) {
            RegDeleteValueW(key.get(), Name);
        }
    }

    TUniqueKernelHandle FMutex;
    TSaved FAccent;
    TSaved FLight;
};
