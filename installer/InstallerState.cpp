#include "installer/InstallerState.h"

#include "sysutil/Paths.h"

AppOptions App;
InstallOptions Setup;
PreviousInstall Previous;

TInstallerWindow* Installer = nullptr;
const TVersionRec InstallerVersion(1, 8, 0, 0);
const TVersionRec ReportVersion(1, 0, 0, 0);
int32_t CurrentStep = 0;
bool InstallFailed = false;
uint8_t AfterFinish = 0;
std::wstring TitleSuffix;
TWizardPages Wizard;
std::wstring TempFolder;
TColor TextColor = clBlack;
TProcess FoundProcess;
bool AutoDelete = false;
bool ForceInstance = false;
bool IsAdmin = false;
std::wstring StartCommandLine;

// Every line ends with a lone carriage return, the last one too.
const std::wstring HelpText = L"Avalabile Parameters:\r"
                              L"\r"
                              L"------------------------\r"
                              L"-help -> Shows this information\r"
                              L"-silent -> Installs the program in the background with no GUI\r"
                              L"-start -> Starts the instalation process after opening the program\r"
                              L"-startafterfinish -> Starts the program after the installation is finished\r"
                              L"-closeafterfinish -> Close the installer after the installation is finnished\r"
                              L"-installpath <PATH> -> Set the install path\r"
                              L"-option <ID> TRUE/FALSE -> Set a option to a boolean value\r"
                              L"-user -> Install application for this user\r"
                              L"-force -> Force multiple instances of the installer, also bypasses dialog "
                              L"confirmations\r"
                              L"-alluser -> Install application for all users\r"
                              L"-ad -> Auto-delete installer when closed\r";

std::wstring IncludeTrailingBackslash(const std::wstring& Path) {
    if (!Path.empty() && Path.back() == L'\\') {
        return Path;
    }
    return Path + L'\\';
}

std::wstring AppOptions::ExeLocation() const {
    return IncludeTrailingBackslash(Setup.InstallPath) + ExeOfPath;
}

void SetDefaults() {
    App.AppName = L"Fetchora";
    App.AppFullName = L"Quorvane Media Fetcher";
    Setup.InstallPathAll = ExpandPath(L"%PROGRAMFILES%\\" + App.AppName + L"\\");
    Setup.InstallPathUser = GetAppDataPath(App.AppFullName, true, false, TAppDataKind::adLocal);
    App.AppDataPath = GetAppDataPath(App.AppName, true, false, TAppDataKind::adLocal);
    App.Publisher = L"Halvex Software";
    App.ProgramVersion = TVersionRec(1, 1, 0, 0);
    App.HelpLink = L"https://www.halvex-software.com/fetchora/";
    App.SupportLink = L"https://www.halvex-software.com/contact/";
    App.UpdateLink = App.HelpLink;
    Setup.CanBeRun = true;
    App.ExeOfPath = L"Fetchora.exe";
    Setup.InstallSupport = TInstallSupport::Both;
    Setup.EnableUninstaller = true;
    Setup.AddRecordToRegistry = true;
    Setup.AllowCustomPath = true;
    Setup.AllowOptions = false;
    Setup.AllowExtensions = false;
    Setup.AllowCreateShortcut = true;
    Setup.HasEULA = true;

    if (Setup.AllowCreateShortcut) {
        Setup.CreateDesktop = true;
        Setup.CreateStartMenu = true;
    }
    switch (Setup.InstallSupport) {
    case TInstallSupport::Both:
        Setup.InstallPick = TInstallPick::Unset;
        break;
    case TInstallSupport::AllUser:
        Setup.InstallPick = TInstallPick::AllUser;
        break;
    case TInstallSupport::ThisUser:
        Setup.InstallPick = TInstallPick::User;
        break;
    }
}
