// The install report "InstallReport.ini" that the installer leaves in the installation
// folder: everything the uninstaller needs to know to remove the installation again.
#pragma once

#include "installer/VersionRec.h"

#include <string>

struct TInstallReport {
    TVersionRec ReportVersion;
    std::wstring Name; // the product's short name: the file name of its shortcuts
    std::wstring InstallPath;
    std::wstring DataPath;
    std::wstring Executable;
    bool ShortcutMenu = false;
    bool ShortcutDesktop = false;
    bool UserInstall = false;
    std::wstring RegistryRecord;
    std::wstring RegistryHive;

    // The newest report format this uninstaller understands.
    static const TVersionRec KnownVersion;

    // Reads a report written as UTF-16 with a byte-order mark, or in the ANSI code page.
    // Raises EError when the file cannot be read, when a value the uninstaller relies on is
    // missing or malformed, or when the report's format is newer than KnownVersion.
    static TInstallReport Read(const std::wstring& FileName);
};
