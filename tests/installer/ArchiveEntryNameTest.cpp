#include "installer/ArchiveEntryName.h"
#include "sysutil/Exceptions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct AcceptedCase {
    std::wstring Name;
    std::wstring RelativePath;
    bool IsFolder;
};

TEST(ArchiveEntryName, AcceptsPlainRelativeNames) {
    const AcceptedCase cases[] = {
        {L"readme.txt", L"readme.txt", false},
        {L"bin/tools/app.exe", L"bin\\tools\\app.exe", false},
        {L"bin\\mixed/sep.dll", L"bin\\mixed\\sep.dll", false},
        {L"docs/", L"docs", true},
        {L"docs\\sub\\", L"docs\\sub", true},
        {L"..hidden", L"..hidden", false},
        {L"a..b.txt", L"a..b.txt", false},
        {L" leading blank.txt", L" leading blank.txt", false},
        {L".gitignore", L".gitignore", false},
        // Near the reserved device names without being one.
        {L"CONFIG.sys", L"CONFIG.sys", false},
        {L"COM10.txt", L"COM10.txt", false},
        {L"com0", L"com0", false},
        {L"LPT.txt", L"LPT.txt", false},
        {L"nul_device/x", L"nul_device\\x", false},
        {L"CONOUT.txt", L"CONOUT.txt", false},
        {L"\u00FCber/\u540D\u524D.txt", L"\u00FCber\\\u540D\u524D.txt", false},
        {std::wstring(255, L'n'), std::wstring(255, L'n'), false},
    };
    for (const AcceptedCase& c : cases) {
        const TArchiveEntryName name = CheckArchiveEntryName(c.Name);
        EXPECT_EQ(name.RelativePath, c.RelativePath) << c.Name;
        EXPECT_EQ(name.IsFolder, c.IsFolder) << c.Name;
    }
}

struct RefusedCase {
    std::wstring Name;
    const wchar_t* Reason;
};

TEST(ArchiveEntryName, RefusesNamesThatCouldLeaveTheFolderOrMeanAnotherFile) {
    const RefusedCase cases[] = {
        {L"", L"has an empty name"},
        {L"../evil.txt", L"'..'"},
        {L"a/../../evil.txt", L"'..'"},
        {L"..\\evil.txt", L"'..'"},
        {L"a\\..", L"'..'"},
        {L"./x.txt", L"'.'"},
        {L"a/./b.txt", L"'.'"},
        {L"/etc/passwd", L"absolute path"},
        {L"\\Windows\\x.dll", L"absolute path"},
        {L"\\\\server\\share\\x.txt", L"absolute path"},
        {L"//server/share/x.txt", L"absolute path"},
        {L"\\\\?\\C:\\x.txt", L"absolute path"},
        {L"\\\\.\\PhysicalDrive0", L"absolute path"},
        {L"C:/Windows/x.dll", L"drive or an alternate data stream"},
        {L"C:x.txt", L"drive or an alternate data stream"},
        {L"file.txt:stream", L"drive or an alternate data stream"},
        {L"file.txt::$DATA", L"drive or an alternate data stream"},
        {L"a//b.txt", L"empty folder name"},
        {L"CON", L"reserved device name 'CON'"},
        {L"nul.txt", L"reserved device name 'nul.txt'"},
        {L"Aux.tar.gz", L"reserved device name"},
        {L"prn", L"reserved device name"},
        {L"COM1", L"reserved device name"},
        {L"lpt9.log", L"reserved device name"},
        {L"dir/PRN/x.txt", L"reserved device name 'PRN'"},
        {L"CON .txt", L"reserved device name"},
        {L"conin$", L"reserved device name"},
        {L"COM\u00B9.txt", L"reserved device name"},
        {L"trailing.", L"ends in a dot or blank"},
        {L"trailing ", L"ends in a dot or blank"},
        {L"dir./x.txt", L"ends in a dot or blank"},
        {L"dir /x.txt", L"ends in a dot or blank"},
        {L"ctl\x01.txt", L"control character"},
        {L"tab\t.txt", L"control character"},
        {std::wstring(L"nul\0byte", 8), L"control character"},
        {L"del\x7F", L"control character"},
        {L"wild*.txt", L"'*'"},
        {L"q?.txt", L"'?'"},
        {L"a<b", L"'<'"},
        {L"a>b", L"'>'"},
        {L"a|b", L"'|'"},
        {L"a\"b", L"'\"'"},
        {std::wstring(256, L'n'), L"longer than 255 characters"},
    };
    for (const RefusedCase& c : cases) {
        try {
            CheckArchiveEntryName(c.Name);
            ADD_FAILURE() << "accepted: " << c.Name;
        } catch (const EError& error) {
            const std::wstring& message = error.Message();
            EXPECT_EQ(message.rfind(L"The archive entry '", 0), 0u) << message;
            EXPECT_NE(message.find(c.Reason), std::wstring::npos) << message;
            EXPECT_EQ(message.find_first_of(std::wstring(L"\0\x01\t", 3)), std::wstring::npos)
                << "control characters are shown as '?': " << message;
        }
    }
}

TEST(ArchiveEntryName, RefusesControlBytesThatTheDecodingMadeVisible) {
    // CP437 decodes 0x07 as a bullet and 0x81 as u-umlaut.
    EXPECT_THROW(CheckArchiveEntryName(L"bell\u2022.txt", "bell\x07.txt"), EError);
    EXPECT_THROW(CheckArchiveEntryName(L"del\u2302", "del\x7F"), EError);
    EXPECT_EQ(CheckArchiveEntryName(L"\u00FCber/x.txt", std::string(1, '\x81') + "ber/x.txt").RelativePath,
              L"\u00FCber\\x.txt");
    EXPECT_THROW(CheckArchiveEntryName(L"../x.txt", "../x.txt"), EError) << "the name itself is checked too";
}

} // namespace
