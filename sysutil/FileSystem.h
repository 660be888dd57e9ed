// The file-system operations the installer relies on. Failures raise EOSError with the
// system's message and the path involved.
//
// Folder links (junctions and symbolic links) are never followed out of a tree: the tree
// delete removes a link as a link, and the folder size does not count what a link leads to.
#pragma once

#include <windows.h>

#include <string>

// Whether the path names an existing folder or file; a link counts as what it leads to, so a
// dangling link names nothing.
bool FolderExists(const std::wstring& Path);
bool FileExists(const std::wstring& Path);

// Creates the folder and every missing parent, level by level. Raises for an empty or
// malformed path, a name Windows refuses (reserved device names, a trailing dot or blank, a
// character not allowed in names), a drive that does not exist, or a file in the way.
// Folders created before a failure stay.
void CreateFolderTree(const std::wstring& Path);

// Deletes one file.
void RemoveFile(const std::wstring& Path);

// Deletes the folder with everything in it, resetting attributes (read-only and the like) so
// that each entry can go. A folder link inside is removed without touching its target. Stops
// at the first entry that cannot be removed.
void RemoveFolderTree(const std::wstring& Path);

// Whether a listed entry is a folder link (junction, symbolic link, or a reparse point the
// file system cannot name): something that must not be entered when walking a tree.
bool IsFolderLink(const WIN32_FIND_DATAW& Entry) noexcept;

// Whether a listed entry is a folder to walk into: a folder that is neither "." nor ".." nor a
// folder link.
bool IsSubFolder(const WIN32_FIND_DATAW& Entry) noexcept;
