#include "sysutil/Shortcut.h"
#include "sysutil/Exceptions.h"
#include "sysutil/Handles.h"

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

struct TLinkContents {
    std::wstring Path, WorkingFolder, Description, Arguments;
};

TLinkContents ReadLink(const std::wstring& LinkFile) {
    TComPtr<IShellLinkW> link;
    TComPtr<IPersistFile> file;
    TLinkContents contents;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) ||
        FAILED(file->Load(LinkFile.c_str(), STGM_READ))) {
        ADD_FAILURE() << "cannot read " << LinkFile;
        return contents;
    }
    wchar_t text[INFOTIPSIZE];
    if (SUCCEEDED(link->GetPath(text, INFOTIPSIZE, nullptr, SLGP_RAWPATH))) {
        contents.Path = text;
    }
    if (SUCCEEDED(link->GetWorkingDirectory(text, INFOTIPSIZE))) {
        contents.WorkingFolder = text;
    }
    if (SUCCEEDED(link->GetDescription(text, INFOTIPSIZE))) {
        contents.Description = text;
    }
    if (SUCCEEDED(link->GetArguments(text, INFOTIPSIZE))) {
        contents.Arguments = text;
    }
    return contents;
}

class Shortcut : public testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        Folder = std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + L"fetchora-lnk-" +
                 std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(Folder.c_str(), nullptr));
        Target = Folder + L"\\Tool.exe";
        CopyFileW(Executable().c_str(), Target.c_str(), FALSE);
    }
    void TearDown() override {
        for (const wchar_t* name : {L"\\Tool.exe", L"\\Tool.lnk", L"\\Other.lnk"}) {
            DeleteFileW((Folder + name).c_str());
        }
        EXPECT_TRUE(RemoveDirectoryW(Folder.c_str())) << "something was left in " << Folder;
    }
    static std::wstring Executable() {
        wchar_t path[MAX_PATH * 4];
        return std::wstring(path, GetModuleFileNameW(nullptr, path, MAX_PATH * 4));
    }

    TComInitializer Com;
    std::wstring Folder;
    std::wstring Target;
};

TEST_F(Shortcut, WritesALinkThatReadsBack) {
    const std::wstring link = Folder + L"\\Tool.lnk";
    CreateShortcut(Target, link, L"A tool with a long name", L"-silent -installpath \"C:\\a b\"");
    const TLinkContents contents = ReadLink(link);
    EXPECT_EQ(contents.Path, Target);
    EXPECT_EQ(contents.WorkingFolder, Folder);
    EXPECT_EQ(contents.Description, L"A tool with a long name");
    EXPECT_EQ(contents.Arguments, L"-silent -installpath \"C:\\a b\"");

    // Without arguments the target starts bare, still in its own folder.
    const std::wstring bare = Folder + L"\\Other.lnk";
    CreateShortcut(Target, bare, L"", L"");
    const TLinkContents plain = ReadLink(bare);
    EXPECT_EQ(plain.Arguments, L"");
    EXPECT_EQ(plain.WorkingFolder, Folder);
}

TEST_F(Shortcut, ATargetInADriveRootStartsInThatRoot) {
    // "C:" alone would name the drive's current folder, not its root.
    const std::wstring link = Folder + L"\\Tool.lnk";
    CreateShortcut(L"C:\\Tool.exe", link, L"", L"");
    EXPECT_EQ(ReadLink(link).WorkingFolder, L"C:\\");
}

TEST_F(Shortcut, WorksWhereTheThreadAlreadyHasComInTheOtherModel) {
    const TComInitializer again(COINIT_MULTITHREADED);
    CreateShortcut(Target, Folder + L"\\Tool.lnk", L"d", L"");
    EXPECT_EQ(ReadLink(Folder + L"\\Tool.lnk").Path, Target);
}

TEST_F(Shortcut, RaisesWhenTheThreadHasNoCom) {
    const std::wstring link = Folder + L"\\Tool.lnk";
    std::wstring message;
    bool raised = false;
    std::thread([&] {
        try {
            CreateShortcut(Target, link, L"d", L"");
        } catch (const EError& error) {
            raised = true;
            message = error.Message();
        }
    }).join();
    EXPECT_TRUE(raised);
    EXPECT_NE(message.find(link), std::wstring::npos) << message;
    EXPECT_EQ(GetFileAttributesW(link.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
