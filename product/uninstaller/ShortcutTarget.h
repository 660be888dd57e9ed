// What a shell shortcut (.lnk file) points at, so that the uninstaller removes only the
// shortcuts that lead to its own product.
#pragma once

#include <string>

// The target path stored in LinkFile, or empty text when the file is no readable shortcut.
// COM must be initialised on the calling thread (TComInitializer of sysutil/Shortcut.h).
std::wstring ShortcutTarget(const std::wstring& LinkFile);
