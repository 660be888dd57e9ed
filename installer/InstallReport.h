// The install report "InstallReport.ini" in the installation folder. The uninstaller reads
// it, so its sections, keys and value forms are fixed.
#pragma once

#include <string>

// Writes the report of the current installation into Folder. A new report is created as
// UTF-16 so that every character of a path survives; an existing one is updated key by key.
// Raises EOSError when the file cannot be written.
void WriteInstallReport(const std::wstring& Folder);
