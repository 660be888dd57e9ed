// Folders the uninstaller never removes, whatever a report says. Removing one of them, or a
// folder that holds one, would take the system or a user's own files with it.
#pragma once

#include <string>

// A folder's or file's path in one spelling: absolute, "." and ".." resolved, short names
// made long, no trailing backslash except after a drive. Empty when Path is not fully
// qualified ("C:\..." or "\\server\share\..."): a relative path would be taken from
// wherever the uninstaller happens to run.
std::wstring NormalizePath(const std::wstring& Path);

// Why Folder may not be removed ("it is a drive root", ...), or empty text when it may.
// Refused: an empty or relative path, a drive or share root, the Windows folder and anything
// inside it, the program-files folders themselves, the folder of user profiles and each
// profile in it, the current user's main folders, every folder that holds one of those, and
// a folder that is itself a link (junction or symbolic link) to somewhere else.
std::wstring ProtectedFolderReason(const std::wstring& Folder);

// Case-insensitive, as the file system compares names.
bool SamePath(const std::wstring& A, const std::wstring& B);
// Whether Path lies inside Folder (both normalized); a folder is not inside itself.
bool IsInsideFolder(const std::wstring& Path, const std::wstring& Folder);
