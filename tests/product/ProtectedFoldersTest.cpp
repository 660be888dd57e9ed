#include "product/uninstaller/ProtectedFolders.h"

#include <gtest/gtest.h>

namespace {

TEST(ProtectedFolders, NormalizesOnlyFullyQualifiedPaths) {
    const struct {
        const wchar_t* Path;
        const wchar_t* Expected;
    } cases[] = {
        {L"C:/Fetch/Media/", L"C:\\Fetch\\Media"},
        {L"c:\\Fetch\\..\\Media\\.\\", L"c:\\Media"},
        {L"C:\\Fetch\\\\", L"C:\\Fetch"},
        {L"C:\\", L"C:\\"},
        {L"C:\\..", L"C:\\"},
        {L"\\\\server\\share\\Fetch\\", L"\\\\server\\share\\Fetch"},
        {L"C:", L""},
        {L"C:Fetch", L""},
        {L"Fetch\\Media", L""},
        {L"\\Fetch", L""},
        {L"\\\\?\\C:\\Fetch", L""},
        {L"\\\\.\\C:", L""},
        {L"1:\\Fetch", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NormalizePath(c.Path), c.Expected) << c.Path;
    }
}

TEST(ProtectedFolders, TellsWhatLiesInsideAFolder) {
    const struct {
        const wchar_t* Path;
        const wchar_t* Folder;
        bool Inside;
    } cases[] = {
        {L"C:\\Windows\\System32", L"C:\\Windows", true},
        {L"c:\\WINDOWS\\x", L"C:\\Windows", true},
        {L"C:\\Fetch", L"C:\\", true},
        {L"C:\\Windows", L"C:\\Windows", false},
        {L"C:\\Windows2\\x", L"C:\\Windows", false},
        {L"C:\\Win", L"C:\\Windows", false},
        {L"C:\\Windows\\x", L"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsInsideFolder(c.Path, c.Folder), c.Inside) << c.Path << " in " << c.Folder;
    }
}

} // namespace
