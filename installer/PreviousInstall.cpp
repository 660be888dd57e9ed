#include "installer/PreviousInstall.h"

#include "installer/InstallerCommandLine.h"
#include "installer/InstallerState.h"
#include "installer/InstanceGuard.h"
#include "installer/ShowDialog.h"
#include "sysutil/FileSystem.h"
#include "sysutil/Seams.h"
#include "sysutil/WinRegistry.h"

void FindPreviousInstall() {
    Previous.Exists = false;
    TWinRegistry registry;
    const std::wstring record = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + App.AppName;
    std::wstring key;
    if (Setup.InstallSupport != TInstallSupport::ThisUser) {
        key = L"HKEY_LOCAL_MACHINE\\" + record;
        Previous.Exists = registry.KeyExists(key);
        Previous.Kind = TInstallSupport::AllUser;
    }
    if (!Previous.Exists && Setup.InstallSupport != TInstallSupport::AllUser) {
        key = L"HKEY_CURRENT_USER\\" + record;
        Previous.Exists = registry.KeyExists(key);
        Previous.Kind = TInstallSupport::ThisUser;
    }
    if (!Previous.Exists) {
        return;
    }

    if (registry.GetValueExists(key, L"InstallLocation")) {
        Previous.InstallPath = registry.GetStringValue(key, L"InstallLocation");
        Setup.InstallPath = Previous.InstallPath;
        Setup.InstallPathAll = Previous.InstallPath;
        Setup.InstallPathUser = Previous.InstallPath;
        if (FolderExists(Setup.InstallPath)) {
            Setup.AllowCustomPath = false;
        }
    }
    if (registry.GetValueExists(key, L"DisplayVersion")) {
        Previous.Version.Parse(registry.GetStringValue(key, L"DisplayVersion"));
        if (Previous.Version.NewerThan(App.ProgramVersion) && !ForceInstance &&
            ShowDialog(L"Installed version is newer",
                       L"The version of this application you are installing is older than the present version on "
                       L"this computer. Continue anyways?",
                       DialogYesNo) == DialogResultNo) {
            EndProgram(ExitNotContinued);
        }
    }
    TitleSuffix += L" - Update to new version";
    Setup.InstallSupport = Previous.Kind;
    if (Previous.Kind == TInstallSupport::AllUser && !IsAdmin) {
        RestartAsAdmin(L"-alluser");
    }
    Setup.InstallPick = Previous.Kind == TInstallSupport::AllUser ? TInstallPick::AllUser : TInstallPick::User;
}
