// The check of an archive entry's name before anything is written for it: the name must be a
// plain relative path that stays below the extraction folder and means the same file on every
// Windows file system. The rules are ours alone, never left to what the file system accepts
// (Wine takes names that Windows refuses or rewrites).
#pragma once

#include <string>
#include <string_view>

struct TArchiveEntryName {
    std::wstring RelativePath; // the components joined by backslashes, no separator at the end
    bool IsFolder = false;     // the name ended in a separator
};

// Both '/' and '\' separate components. Raises EError "The archive entry '<Name>' ..." with the
// reason for an empty or absolute name, a drive, UNC or device path, '.' or '..', an empty
// component, a control character or one of <>:"|?* (so also alternate data streams), a
// component ending in a dot or blank, or a reserved device name (CON, NUL.txt, COM1, ...).
TArchiveEntryName CheckArchiveEntryName(const std::wstring& Name);
// The same for a name decoded from the bytes StoredName. Control bytes are refused also when the
// decoding turned them into visible characters (CP437 shows 0x01-0x1F and 0x7F as symbols).
TArchiveEntryName CheckArchiveEntryName(const std::wstring& Name, std::string_view StoredName);
