// The installer and the programs it carries start on a bare Windows: every library they
// load at start-up is one of the system's own.
#include "sysutil/Handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <dbghelp.h>

#include <set>
#include <string>
#include <vector>

namespace {

// The names in an executable's import table, upper-cased.
std::vector<std::string> ImportedLibraries(const std::wstring& Executable) {
    const TUniqueFileHandle file(CreateFileW(Executable.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    const TUniqueKernelHandle mapping(file ? CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr)
                                           : nullptr);
    void* const base = mapping ? MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (base == nullptr) {
        ADD_FAILURE() << "cannot read the executable";
        return {};
    }
    std::vector<std::string> names;
    IMAGE_NT_HEADERS* const headers = ImageNtHeader(base);
    ULONG size = 0;
    auto* descriptor = static_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        ImageDirectoryEntryToData(base, FALSE, IMAGE_DIRECTORY_ENTRY_IMPORT, &size));
    for (; descriptor != nullptr && descriptor->Name != 0; ++descriptor) {
        const auto* text = static_cast<const char*>(ImageRvaToVa(headers, base, descriptor->Name, nullptr));
        if (text == nullptr) {
            ADD_FAILURE() << "an import names no library";
            break;
        }
        std::string name = text;
        CharUpperBuffA(name.data(), static_cast<DWORD>(name.size()));
        names.push_back(name);
    }
    UnmapViewOfFile(base);
    return names;
}

TEST(SelfContained, ExecutablesImportOnlySystemLibraries) {
    const std::set<std::string> system = {
        "ADVAPI32.DLL", "COMCTL32.DLL", "COMDLG32.DLL", "DWMAPI.DLL",  "GDI32.DLL",    "GDIPLUS.DLL",
        "KERNEL32.DLL", "MSIMG32.DLL",  "MSVCRT.DLL",   "OLE32.DLL",   "OLEAUT32.DLL", "PSAPI.DLL",
        "SHELL32.DLL",  "SHLWAPI.DLL",  "USER32.DLL",   "UXTHEME.DLL", "VERSION.DLL",
    };
    for (const wchar_t* executable :
         {L"\\installer\\Setup.exe", L"\\product\\Uninstall.exe", L"\\product\\Fetchora.exe"}) {
        const std::vector<std::string> names = ImportedLibraries(FETCHORA_BINARY_DIR + std::wstring(executable));
        EXPECT_FALSE(names.empty()) << executable;
        for (const std::string& name : names) {
            EXPECT_TRUE(system.contains(name)) << name << " is needed by " << executable;
        }
    }
}

} // namespace
