#include "sysutil/FileSystem.h"

#include "ScratchFolder.h"
#include "sysutil/Exceptions.h"

#include <gtest/gtest.h>

namespace {

bool Contains(const std::wstring& Text, const std::wstring& Part) {
    return Text.find(Part) != std::wstring::npos;
}

// The listing entry of a path itself, as a folder walk sees it.
WIN32_FIND_DATAW ListedEntry(const std::wstring& Path) {
    WIN32_FIND_DATAW entry{};
    const HANDLE find = FindFirstFileW(Path.c_str(), &entry);
    EXPECT_NE(find, INVALID_HANDLE_VALUE) << Path;
    FindClose(find);
    return entry;
}

std::wstring MissingDrive() {
    const DWORD drives = GetLogicalDrives();
    for (wchar_t letter = L'Q'; letter <= L'Y'; ++letter) {
        if ((drives & (1u << (letter - L'A'))) == 0) {
            return std::wstring(1, letter) + L":";
        }
    }
    return std::wstring();
}

TEST(FileSystem, ExistenceTellsFilesFromFoldersAndFollowsLinks) {
    TScratchFolder scratch(L"exists");
    const std::wstring folder = scratch.MakeFolder(L"folder");
    const std::wstring file = scratch.MakeFile(L"file.txt", 10);
    EXPECT_TRUE(FolderExists(folder));
    EXPECT_FALSE(FileExists(folder));
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_FALSE(FolderExists(scratch / L"missing"));
    EXPECT_FALSE(FileExists(scratch / L"missing"));
    EXPECT_FALSE(FolderExists(L""));

    const std::wstring target = scratch.MakeFolder(L"target");
    const std::wstring link = scratch / L"link";
    if (!scratch.MakeFolderLink(link, target)) {
        GTEST_SKIP() << "no folder links on this system";
    }
    EXPECT_TRUE(FolderExists(link));
    EXPECT_FALSE(FileExists(link));
    ASSERT_TRUE(RemoveDirectoryW(target.c_str()));
    EXPECT_FALSE(FolderExists(link)) << "a dangling link leads nowhere";
    EXPECT_FALSE(FileExists(link));
    // The host removes its links only while they lead somewhere it can watch.
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
}

TEST(FileSystem, CreateFolderTreeMakesEveryMissingLevel) {
    TScratchFolder scratch(L"create");
    const wchar_t* const paths[] = {
        L"a\\b\\c", L"a\\b\\c", L"d/e/f/", L"g\\\\h\\", L"odd names\\ lead\\a.b\\com10\\lpt\\nullish\\con-x\\%TEMP%",
    };
    for (const wchar_t* path : paths) {
        EXPECT_NO_THROW(CreateFolderTree(scratch / path)) << path;
    }
    for (const wchar_t* made :
         {L"a\\b\\c", L"d\\e\\f", L"g\\h", L"odd names\\ lead\\a.b\\com10\\lpt\\nullish\\con-x\\%TEMP%"}) {
        EXPECT_TRUE(FolderExists(scratch / made)) << made;
    }
}

TEST(FileSystem, CreateFolderTreeRefusesBadPathsBeforeMakingAnything) {
    TScratchFolder scratch(L"badpath");
    const wchar_t* const names[] = {L"NUL",     L"nul.txt",   L"Con .log",  L"COM1", L"lpt9.dat", L"aux",
                                    L"CONOUT$", L"trailing.", L"trailing ", L"a*b",  L"a?b",      L"a<b",
                                    L"a>b",     L"a|b",       L"a\"b",      L"a:b",  L"a\tb"};
    for (const wchar_t* name : names) {
        const std::wstring path = scratch / (std::wstring(L"made\\") + name + L"\\below");
        try {
            CreateFolderTree(path);
            ADD_FAILURE() << "accepted " << path;
        } catch (const EOSError& error) {
            EXPECT_EQ(error.ErrorCode(), static_cast<DWORD>(ERROR_INVALID_NAME)) << path;
            EXPECT_TRUE(Contains(error.Message(), path)) << error.what();
        }
        EXPECT_FALSE(FolderExists(scratch / L"made")) << "nothing is made for " << name;
    }
    for (const wchar_t* path : {L"", L"C:relative", L"\\\\?\\C:\\x", L"\\\\.\\pipe\\x", L"1:\\x"}) {
        EXPECT_THROW(CreateFolderTree(path), EOSError) << path;
    }
}

TEST(FileSystem, CreateFolderTreeReportsAMissingDriveAndAFileInTheWay) {
    TScratchFolder scratch(L"blocked");
    const std::wstring drive = MissingDrive();
    ASSERT_FALSE(drive.empty());
    try {
        CreateFolderTree(drive + L"\\Fetchora");
        ADD_FAILURE() << "no error for drive " << drive;
    } catch (const EOSError& error) {
        EXPECT_EQ(error.ErrorCode(), static_cast<DWORD>(ERROR_INVALID_DRIVE));
        EXPECT_TRUE(Contains(error.Message(), drive + L"\\Fetchora")) << error.what();
    }

    const std::wstring file = scratch.MakeFile(L"file", 1);
    try {
        CreateFolderTree(file + L"\\sub");
        ADD_FAILURE() << "no error for a file in the way";
    } catch (const EOSError& error) {
        EXPECT_TRUE(Contains(error.Message(), file)) << error.what();
    }
    EXPECT_TRUE(FileExists(file));
}

TEST(FileSystem, RemoveFileReportsTheSystemMessageAndThePath) {
    TScratchFolder scratch(L"rmfile");
    const std::wstring file = scratch.MakeFile(L"gone.txt", 5);
    RemoveFile(file);
    EXPECT_FALSE(FileExists(file));
    try {
        RemoveFile(file);
        ADD_FAILURE() << "no error for a missing file";
    } catch (const EOSError& error) {
        EXPECT_EQ(error.ErrorCode(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(error.Message(), SystemErrorMessage(ERROR_FILE_NOT_FOUND) + L" " + file);
    }
}

TEST(FileSystem, RemoveFolderTreeRemovesProtectedEntriesToo) {
    TScratchFolder scratch(L"rmtree");
    const std::wstring tree = scratch.MakeFolder(L"tree");
    scratch.MakeFolder(L"tree\\sub");
    const std::wstring locked = scratch.MakeFolder(L"tree\\sub\\locked");
    scratch.MakeFile(L"tree\\top.txt", 3);
    const std::wstring readOnly = scratch.MakeFile(L"tree\\sub\\readonly.txt", 3);
    const std::wstring hidden = scratch.MakeFile(L"tree\\sub\\locked\\hidden.txt", 3);
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    const std::wstring beside = scratch.MakeFile(L"tree-beside.txt", 3);

    RemoveFolderTree(tree + L"\\");
    EXPECT_FALSE(FolderExists(tree));
    EXPECT_TRUE(FileExists(beside));
}

TEST(FileSystem, RemoveFolderTreeRefusesWhatIsNoFolderOfItsOwn) {
    TScratchFolder scratch(L"rmrefuse");
    const std::wstring tree = scratch.MakeFolder(L"tree");
    const std::wstring file = scratch.MakeFile(L"tree\\file.txt", 3);
    const std::wstring paths[] = {
        scratch / L"missing", file, scratch / L"tr*", scratch / L"tre?", L"", L"C:\\", L"C:", L"\\",
    };
    for (const std::wstring& path : paths) {
        EXPECT_THROW(RemoveFolderTree(path), EError) << path;
    }
    EXPECT_TRUE(FileExists(file));
}

TEST(FileSystem, RemoveFolderTreeNeverFollowsALinkOutOfTheTree) {
    TScratchFolder scratch(L"rmlink");
    const std::wstring target = scratch.MakeFolder(L"outside");
    const std::wstring kept = scratch.MakeFile(L"outside\\kept.txt", 4);
    const std::wstring tree = scratch.MakeFolder(L"tree");
    scratch.MakeFolder(L"tree\\inner");
    const std::wstring inner = scratch / L"tree\\inner\\link";
    const std::wstring root = scratch / L"rootlink";
    if (!scratch.MakeFolderLink(inner, target) || !scratch.MakeFolderLink(root, target)) {
        GTEST_SKIP() << "no folder links on this system";
    }
    struct {
        std::wstring Removed;
        std::wstring Link;
    } const cases[] = {{tree, inner}, {root, root}};
    for (const auto& c : cases) {
        const WIN32_FIND_DATAW link = ListedEntry(c.Link);
        ASSERT_TRUE(IsFolderLink(link)) << c.Link;
        if (link.dwReserved0 == 0) {
            // A host link under Wine: every Windows call would act on the target, so it stays.
            try {
                RemoveFolderTree(c.Removed);
                ADD_FAILURE() << "no error for " << c.Link;
            } catch (const EError& error) {
                EXPECT_TRUE(Contains(error.Message(), c.Link)) << error.what();
            }
            EXPECT_TRUE(FolderExists(c.Link));
        } else {
            RemoveFolderTree(c.Removed);
            EXPECT_EQ(GetFileAttributesW(c.Removed.c_str()), INVALID_FILE_ATTRIBUTES) << c.Removed;
        }
        EXPECT_TRUE(FileExists(kept)) << "the target stays whole";
    }
}

struct LinkCase {
    DWORD Attributes;
    DWORD Tag;
    bool Link;
};

TEST(FileSystem, OnlyNameSurrogatesAndUnnamedReparseFoldersAreLinks) {
    const LinkCase cases[] = {
        {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, IO_REPARSE_TAG_MOUNT_POINT, true},
        {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, IO_REPARSE_TAG_SYMLINK, true},
        {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, 0, true},
        {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, 0x9000001A, false}, // a cloud-synced folder
        {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, IO_REPARSE_TAG_DEDUP, false},
        {FILE_ATTRIBUTE_DIRECTORY, IO_REPARSE_TAG_SYMLINK, false},
        {FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT, IO_REPARSE_TAG_SYMLINK, false},
    };
    for (const LinkCase& c : cases) {
        WIN32_FIND_DATAW entry{};
        wcscpy(entry.cFileName, L"entry");
        entry.dwFileAttributes = c.Attributes;
        entry.dwReserved0 = c.Tag;
        EXPECT_EQ(IsFolderLink(entry), c.Link) << std::hex << c.Attributes << " " << c.Tag;
        EXPECT_EQ(IsSubFolder(entry), (c.Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !c.Link)
            << std::hex << c.Attributes << " " << c.Tag;
    }
    WIN32_FIND_DATAW dots{};
    dots.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    for (const wchar_t* name : {L".", L".."}) {
        wcscpy(dots.cFileName, name);
        EXPECT_FALSE(IsSubFolder(dots)) << name;
    }
}

} // namespace
