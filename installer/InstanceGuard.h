// Keeps two copies of the same installer from running side by side, and hands over to an
// elevated copy of itself.
#pragma once

#include <string>

// The full path of the running installer's executable.
std::wstring InstallerExecutablePath();
// The semaphore name for an installer at ExePath: "." and "\" become "_", ":" goes, and a
// name over 100 characters keeps the 100 that start at position length - 100 (counted from 1).
std::wstring InstanceNameOf(const std::wstring& ExePath);
// InstanceNameOf the running executable, computed once.
std::wstring GetInstanceName();
// Creates (or opens) the named semaphore and keeps it open for the life of the process;
// true when another process had created it already.
bool IsAnotherInstanceRunning();
// Starts this installer again elevated, with Prefix and "-force" before the current
// parameters, waits half a second for it to find this copy still running, and ends.
[[noreturn]] void RestartAsAdmin(const std::wstring& Prefix);
