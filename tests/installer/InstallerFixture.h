// What the installer's in-process tests share: the installer state put back to its start
// values, the seams answered and recorded, and names, folders and registry keys of their own.
#pragma once

#include "sysutil/Seams.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct TShownDialog {
    std::wstring Title;
    std::wstring Text;
    UINT Flags = 0;
};

struct TRegistryValueRead {
    DWORD Type = REG_NONE;
    std::wstring Text; // REG_SZ
    DWORD Number = 0;  // REG_DWORD
};

class InstallerFixture : public ::testing::Test {
protected:
    InstallerFixture();
    ~InstallerFixture() override;

    // Runs Action; the exit code when it ended the program, nothing when it returned.
    static std::optional<UINT> ExitCodeOf(const std::function<void()>& Action);

    // A name no other test uses at the same time (the test's name and the process number).
    std::wstring UniqueName() const;
    // A fresh folder of this test under the temporary folder, removed afterwards.
    const std::wstring& WorkFolder();

    std::vector<TShownDialog> Dialogs;
    std::vector<TProgramStart> Starts;
    // The answer to every message and question.
    int Answer = IDOK;

private:
    TMessageOverride FMessages;
    TStartOverride FStarts;
    TExitOverride FExits;
    std::wstring FWorkFolder;
};

// The putting back of every installer global to its start value.
void ResetInstallerState();

// Uninstall-key helpers on the 64-bit view of the registry.
std::wstring UninstallKey(const std::wstring& AppName);
std::optional<TRegistryValueRead> ReadRegistryValue(HKEY Hive, const std::wstring& Key, const std::wstring& Name);
bool RegistryKeyExists(HKEY Hive, const std::wstring& Key);
// Checks that every value is in Key with its type and content (a number as decimal text).
struct TExpectedValue {
    const wchar_t* Name;
    DWORD Type;
    std::wstring Content;
};
void ExpectRegistryValues(HKEY Hive, const std::wstring& Key, const std::vector<TExpectedValue>& Values);
void WriteRegistryString(HKEY Hive, const std::wstring& Key, const std::wstring& Name, const std::wstring& Value);
void DeleteRegistryKey(HKEY Hive, const std::wstring& Key);

void WriteTextFile(const std::wstring& FileName, const std::string& Content);
std::string ReadTextFile(const std::wstring& FileName);
// GetPrivateProfileStringW of one key; "<missing>" when it is absent.
std::wstring ReadProfileKey(const std::wstring& FileName, const std::wstring& Section, const std::wstring& Key);
// Checks that every key of the profile file has its value.
struct TExpectedProfileKey {
    const wchar_t* Section;
    const wchar_t* Key;
    std::wstring Value;
};
void ExpectProfileKeys(const std::wstring& FileName, const std::vector<TExpectedProfileKey>& Keys);
