#include "InstallerFixture.h"

#include "installer/InstallReport.h"
#include "installer/InstallerState.h"
#include "installer/UninstallRecord.h"
#include "sysutil/Exceptions.h"
#include "sysutil/FileSystem.h"

#include <gtest/gtest.h>

namespace {

class InstallRecords : public InstallerFixture {
protected:
    InstallRecords() {
        SetDefaults();
        App.AppName = UniqueName();
        ::Setup.InstallPath = WorkFolder() + L"\u0141ukasz\\Fetchora\\";
        CreateFolderTree(::Setup.InstallPath);
        ::Setup.RegistryRecord = UninstallKey(App.AppName);
        ::Setup.RegistryHIVE = L"HKEY_CURRENT_USER";
    }
    ~InstallRecords() override {
        DeleteRegistryKey(HKEY_CURRENT_USER, UninstallKey(App.AppName));
        DeleteRegistryKey(HKEY_LOCAL_MACHINE, UninstallKey(App.AppName));
    }

    std::optional<TRegistryValueRead> Value(const wchar_t* Name, HKEY Hive = HKEY_CURRENT_USER) {
        return ReadRegistryValue(Hive, UninstallKey(App.AppName), Name);
    }
    std::wstring Report() const { return ::Setup.InstallPath + L"InstallReport.ini"; }
};

TEST_F(InstallRecords, TheRecordHoldsEveryValueWithItsType) {
    WriteTextFile(::Setup.InstallPath + L"data.bin", std::string(2048000, 'x'));
    WriteUninstallRecord();

    const std::wstring exe = ::Setup.InstallPath + L"Fetchora.exe";
    ExpectRegistryValues(HKEY_CURRENT_USER, UninstallKey(App.AppName),
                         {
                             {L"DisplayIcon", REG_SZ, exe},
                             {L"DisplayName", REG_SZ, L"Quorvane Media Fetcher"},
                             {L"DisplayVersion", REG_SZ, L"1.1.0"},
                             {L"EstimatedSize", REG_DWORD, L"2000"},
                             {L"InstallLocation", REG_SZ, ::Setup.InstallPath},
                             {L"NoModify", REG_DWORD, L"1"},
                             {L"NoRepair", REG_DWORD, L"1"},
                             {L"Publisher", REG_SZ, L"Halvex Software"},
                             {L"UninstallString", REG_SZ, L"\"" + ::Setup.InstallPath + L"Uninstall.exe\""},
                             {L"URLInfoAbout", REG_SZ, App.HelpLink},
                             {L"HelpLink", REG_SZ, App.SupportLink},
                             {L"URLUpdateInfo", REG_SZ, App.UpdateLink},
                         });
    EXPECT_NE(App.HelpLink, App.SupportLink) << "HelpLink carries the contact page";
    EXPECT_FALSE(Value(L"DisplayName", HKEY_LOCAL_MACHINE));
}

TEST_F(InstallRecords, EmptyLinksAreNotWrittenAndWithoutUninstallerTheProductIsNamed) {
    WriteUninstallRecord();
    App.HelpLink.clear();
    App.SupportLink.clear();
    App.UpdateLink.clear();
    ::Setup.EnableUninstaller = false;
    ::Setup.InstallPath.pop_back(); // without the trailing backslash
    WriteUninstallRecord();
    EXPECT_EQ(Value(L"UninstallString")->Text, L"\"" + ::Setup.InstallPath + L"\\Fetchora.exe\"");
    EXPECT_EQ(Value(L"InstallLocation")->Text, ::Setup.InstallPath);
    // An earlier record's links stay where this one writes none.
    EXPECT_EQ(Value(L"URLInfoAbout")->Text, L"https://www.halvex-software.com/fetchora/");

    const std::wstring freshKey = UninstallKey(App.AppName + L"_fresh");
    ::Setup.RegistryRecord = freshKey;
    WriteUninstallRecord();
    for (const wchar_t* name : {L"URLInfoAbout", L"HelpLink", L"URLUpdateInfo"}) {
        EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, freshKey, name)) << name;
    }
    DeleteRegistryKey(HKEY_CURRENT_USER, freshKey);
}

TEST_F(InstallRecords, TheHiveFollowsTheRecordedName) {
    ::Setup.RegistryHIVE = L"HKEY_LOCAL_MACHINE";
    WriteUninstallRecord();
    EXPECT_TRUE(Value(L"DisplayName", HKEY_LOCAL_MACHINE));
    EXPECT_FALSE(Value(L"DisplayName", HKEY_CURRENT_USER));

    DeleteRegistryKey(HKEY_LOCAL_MACHINE, UninstallKey(App.AppName));
    ::Setup.RegistryHIVE = L"no such hive";
    WriteUninstallRecord();
    EXPECT_TRUE(Value(L"DisplayName", HKEY_CURRENT_USER)) << "the user hive is the fallback";

    ::Setup.RegistryHIVE = L"HKEY_PERFORMANCE_DATA";
    EXPECT_THROW(WriteUninstallRecord(), EOSError);
}

TEST_F(InstallRecords, DeletingTheRecordUsesItsOwnHive) {
    WriteUninstallRecord();
    ::Setup.RegistryHIVE = L"HKEY_LOCAL_MACHINE";
    WriteUninstallRecord();
    ::Setup.RegistryHIVE = L"HKEY_CURRENT_USER";
    DeleteUninstallRecord();
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, UninstallKey(App.AppName)));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, UninstallKey(App.AppName)));
}

TEST_F(InstallRecords, TheReportHoldsEveryKeyInUnicode) {
    ::Setup.Option2 = true;
    ::Setup.Extension3 = true;
    ::Setup.CreateDesktop = false;
    ::Setup.InstallPick = TInstallPick::User;
    WriteInstallReport(::Setup.InstallPath);

    const std::string bytes = ReadTextFile(Report());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    ExpectProfileKeys(Report(), {
                                    {L"Report", L"File Type", L"Halvex Software Installer Report"},
                                    {L"Report", L"Installer", L"Halvex Software Installer"},
                                    {L"Report", L"Version", L"1.8.0"},
                                    {L"Report", L"Report Version", L"1.0.0"},
                                    {L"Application", L"Name", App.AppName},
                                    {L"Application", L"Install Path", ::Setup.InstallPath},
                                    {L"Application", L"Data Path", App.AppDataPath},
                                    {L"Application", L"Executable", ::Setup.InstallPath + L"Fetchora.exe"},
                                    {L"Configuration", L"Shortcut-Menu", L"1"},
                                    {L"Configuration", L"Shortcut-Desktop", L"0"},
                                    {L"Configuration", L"Options", L"false,true,false"},
                                    {L"Configuration", L"Extensions", L"false,false,true"},
                                    {L"Installation", L"Has EULA", L"1"},
                                    {L"Installation", L"User Install", L"1"},
                                    {L"Installation", L"Registry Record", ::Setup.RegistryRecord},
                                    {L"Installation", L"Registry HIVE", L"HKEY_CURRENT_USER"},
                                });
    // The sections in the order of writing.
    wchar_t sections[256] = {};
    const DWORD length = GetPrivateProfileSectionNamesW(sections, 256, Report().c_str());
    EXPECT_EQ(std::wstring(sections, length), std::wstring(L"Report\0Application\0Configuration\0Installation\0", 46));
}

TEST_F(InstallRecords, AnExistingReportIsUpdatedKeyByKey) {
    WriteTextFile(Report(), "[Report]\r\nVersion=0.9.0\r\nNote=kept\r\n");
    WriteInstallReport(::Setup.InstallPath);
    EXPECT_EQ(ReadProfileKey(Report(), L"Report", L"Version"), L"1.8.0");
    EXPECT_EQ(ReadProfileKey(Report(), L"Report", L"Note"), L"kept");
    EXPECT_EQ(ReadProfileKey(Report(), L"Installation", L"Registry HIVE"), L"HKEY_CURRENT_USER");
    EXPECT_EQ(ReadTextFile(Report()).substr(0, 8), "[Report]") << "the file keeps its encoding";
}

TEST_F(InstallRecords, AReportThatCannotBeWrittenIsAnError) {
    EXPECT_THROW(WriteInstallReport(WorkFolder() + L"missing\\"), EOSError);
}

} // namespace
