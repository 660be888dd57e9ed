// A small but real installation in the Wine prefix, as the installer leaves one behind: a
// folder whose path holds a character outside the ANSI code page (Łukasz), a few files, a dummy
// "Uninstall.exe", the report "InstallReport.ini" (UTF-16 with a byte-order mark), two
// shortcuts, an uninstall record under HKEY_CURRENT_USER and a data folder. Every name is
// unique to the test process, and everything is removed again on destruction.
#pragma once

#include <windows.h>

#include <map>
#include <string>

class TFixtureInstallation {
public:
    // Report values by "Section/Key", replacing the ones the installation would record.
    using TOverrides = std::map<std::wstring, std::wstring>;

    // An ANSI report cannot hold every character, so its folder is named in plain ASCII.
    explicit TFixtureInstallation(const TOverrides& Overrides = {}, bool Utf16Report = true);
    ~TFixtureInstallation();
    TFixtureInstallation(const TFixtureInstallation&) = delete;
    TFixtureInstallation& operator=(const TFixtureInstallation&) = delete;

    // Writes the report again with other values.
    void WriteReport(const TOverrides& Overrides, bool Utf16Report = true) const;

    const std::wstring& Base() const { return FBase; }       // holds everything but links and key
    const std::wstring& Folder() const { return FFolder; }   // the installation folder
    const std::wstring& DataFolder() const { return FData; } // the product's data folder
    const std::wstring& Name() const { return FName; }
    std::wstring SelfPath() const { return FFolder + L"\\Uninstall.exe"; }
    std::wstring Executable() const { return FFolder + L"\\Fetchora.exe"; }
    std::wstring MenuLink() const;
    std::wstring DesktopLink() const;
    std::wstring RecordKey() const; // below HKEY_CURRENT_USER

    bool RecordExists() const;
    // Every part of the installation is still there.
    bool Intact() const;
    // What the uninstaller leaves for its own deletion: the folder holds only Uninstall.exe,
    // the shortcuts and the record are gone.
    bool RemovedButSelf() const;

private:
    std::wstring FName;
    std::wstring FBase;
    std::wstring FFolder;
    std::wstring FData;
};

// Test helpers on real files.
void WriteTextFile(const std::wstring& Path, const std::string& Bytes);
bool PathExists(const std::wstring& Path);
// A fresh folder below the temporary folder, unique to the process and the tag.
std::wstring UniqueTempFolder(const std::wstring& Tag);
// Removes a folder tree of a test, whatever is left in it.
void RemoveTestTree(const std::wstring& Path);
// Makes Link a junction to Target (an existing folder); false when the system cannot.
bool MakeJunction(const std::wstring& Link, const std::wstring& Target);
