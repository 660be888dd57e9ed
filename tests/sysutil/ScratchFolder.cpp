#include "ScratchFolder.h"

#include "sysutil/FileSystem.h"
#include "sysutil/Handles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

// Wine's own export: the host path of a Windows path, allocated on the process heap.
using TWineUnixName = char*(CDECL*)(const wchar_t*);

TWineUnixName WineUnixName() {
    return reinterpret_cast<TWineUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
}

std::wstring HostPath(TWineUnixName Convert, const std::wstring& Path) {
    char* name = Convert(Path.c_str());
    if (name == nullptr) {
        return std::wstring();
    }
    const std::string hostName(name);
    HeapFree(GetProcessHeap(), 0, name);
    // Our test folders have ASCII names; the conversion back need not be general.
    return std::wstring(hostName.begin(), hostName.end());
}

// Wine starts a host program named by its drive-Z path, but gives no handle to wait on: the
// caller watches for the program's effect instead.
bool RunHostCommand(std::wstring Command, const std::wstring& Watched, bool ExistsAfter) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, Command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    const TUniqueKernelHandle processHandle(process.hProcess);
    const TUniqueKernelHandle threadHandle(process.hThread);
    for (int wait = 0; wait < 100; ++wait) {
        if ((GetFileAttributesW(Watched.c_str()) != INVALID_FILE_ATTRIBUTES) == ExistsAfter) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

} // namespace

TScratchFolder::TScratchFolder(const std::wstring& Tag) {
    wchar_t temp[MAX_PATH + 1];
    FPath = std::wstring(temp, GetTempPathW(MAX_PATH + 1, temp)) + L"fetchora-" + Tag + L"-" +
            std::to_wstring(GetCurrentProcessId());
    if (!CreateDirectoryW(FPath.c_str(), nullptr)) {
        ADD_FAILURE() << "cannot make the scratch folder, error " << GetLastError();
    }
}

TScratchFolder::~TScratchFolder() {
    // Wine would remove a host link's target through any Windows call, so the host removes it.
    const TWineUnixName convert = WineUnixName();
    for (const std::wstring& link : FHostLinks) {
        RunHostCommand(L"Z:\\bin\\rm -f \"" + HostPath(convert, link) + L"\"", link, false);
    }
    try {
        RemoveFolderTree(FPath);
    } catch (const std::exception& error) {
        ADD_FAILURE() << "scratch folder left behind: " << error.what();
    }
}

std::wstring TScratchFolder::MakeFolder(const std::wstring& Name) const {
    const std::wstring path = *this / Name;
    EXPECT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << "error " << GetLastError();
    return path;
}

std::wstring TScratchFolder::MakeFile(const std::wstring& Name, size_t Size) const {
    const std::wstring path = *this / Name;
    const TUniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    EXPECT_TRUE(file) << "error " << GetLastError();
    const std::string content(Size, 'x');
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file.get(), content.data(), static_cast<DWORD>(Size), &written, nullptr));
    return path;
}

bool TScratchFolder::MakeFolderLink(const std::wstring& Link, const std::wstring& Target) {
    if (CreateSymbolicLinkW(Link.c_str(), Target.c_str(),
                            SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
        const DWORD attributes = GetFileAttributesW(Link.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            return true;
        }
    }
    const TWineUnixName convert = WineUnixName();
    if (convert == nullptr || GetFileAttributesW(L"Z:\\bin\\ln") == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    FHostLinks.push_back(Link);
    return RunHostCommand(L"Z:\\bin\\ln -s \"" + HostPath(convert, Target) + L"\" \"" + HostPath(convert, Link) + L"\"",
                          Link, true);
}
