// Symbolic paths turned into the folders of the running machine, and the few questions about
// folders the program asks. Nothing here keeps state or caches an answer.
//
// Symbolic paths are kept as written ("%PROGRAMFILES%\", "shell:desktop\x") and pass through
// ExpandPath right before they are used.
#pragma once

#include <cstdint>
#include <string>

enum class TAppDataKind : uint8_t {
    adLocal,    // the local application-data folder
    adRoaming,  // the roaming application-data folder
    adLocalLow, // the low-integrity local folder
};

// "shell:" names first, then percent-delimited environment variables.
std::wstring ExpandPath(const std::wstring& Path);

// Replaces "shell:" + a value name of the machine's, then the user's "Shell Folders" key by the
// folder stored there. Only a text containing "shell:" in lower case is looked at; from then on
// names are compared without case, and a name is found inside a longer one ("shell:startupx"
// contains "shell:startup"), the first name the system lists winning.
std::wstring ExpandShellFolders(const std::wstring& Path);

// Replaces each %NAME% by the environment variable's value. Every two consecutive percent
// signs of the text are tried as a pair, so "%A%;%B%" tries %A%, %;% and %B%; an unset or empty
// variable leaves its text as written.
std::wstring ExpandPercentVariables(const std::wstring& Path);

// The system drive: a drive letter and a colon.
std::wstring GetSystemDrive();
// Major version + minor version / 10: 5.1, 6.1, 10.0.
float GetWindowsVersionNumber();
// The logon name of the user who runs the process. Raises EOSError when the system cannot say.
std::wstring GetCurrentUserName();

// The application-data folder of Kind (before Windows Vista the one "Application Data" folder),
// then "HalvexSoftware\" when AddPublisherFolder, then Name; always with a trailing backslash.
// With CreateFolders the missing folders are created; a failure raises and keeps what was made.
std::wstring GetAppDataPath(const std::wstring& Name, bool AddPublisherFolder, bool CreateFolders, TAppDataKind Kind);

// Bytes in the folder's files and sub-folders; 0 for what cannot be listed. Only Folder itself
// is expanded. Folder links are not entered: the size is that of the folder's own files, and
// a link leading back up would otherwise be counted without end.
int64_t GetFolderSize(const std::wstring& Folder);

// A folder of the user, by number: 0 profile, 1 roaming application data, 2 local application
// data, 3 documents, 4 pictures, 5 desktop, 6 music, 7 videos, 8 network shortcuts, 9 recent
// items, 10 Start Menu, 11 start-up programs, 12 downloads, 13 Start Menu programs. Read from
// the user's "User Shell Folders" key and expanded, without a trailing backslash; empty when
// the value is missing or the number names none.
std::wstring GetUserShellFolder(uint8_t Folder);
