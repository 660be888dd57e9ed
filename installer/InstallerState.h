// The installer's state: the product it carries, the settings of this installation, what an
// earlier installation left behind, and the few globals that the start-up, the command line
// and the installation steps share. Everything lives for the whole run and is touched only
// from the user-interface thread.
#pragma once

#include "installer/VersionRec.h"
#include "sysutil/ColorValue.h"
#include "sysutil/Processes.h"

#include <cstdint>
#include <string>

enum class TInstallSupport : uint8_t { Both, AllUser, ThisUser };
enum class TInstallPick : uint8_t { Unset, AllUser, User };

// The identity of the product being installed.
struct AppOptions {
    std::wstring AppName;
    std::wstring AppFullName;
    std::wstring AppDataPath;
    std::wstring ExeOfPath;
    TVersionRec ProgramVersion;
    std::wstring Publisher;
    std::wstring HelpLink;
    std::wstring UpdateLink;
    std::wstring SupportLink;

    // The product's executable inside the current installation folder.
    std::wstring ExeLocation() const;
};

// The settings of this installation.
struct InstallOptions {
    std::wstring InstallPath;
    std::wstring InstallPathAll;
    std::wstring InstallPathUser;
    std::wstring RegistryRecord;
    std::wstring RegistryHIVE;
    bool EnableUninstaller = true;
    bool AddRecordToRegistry = true;
    TInstallSupport InstallSupport = TInstallSupport::Both;
    TInstallPick InstallPick = TInstallPick::Unset;
    bool CreateStartMenu = false;
    bool CreateDesktop = false;
    bool CanBeRun = true;
    bool Option1 = false;
    bool Option2 = false;
    bool Option3 = false;
    bool Extension1 = false;
    bool Extension2 = false;
    bool Extension3 = false;
    bool HasEULA = true;
    bool AllowCreateShortcut = true;
    bool AllowCustomPath = true;
    bool AllowExtensions = false;
    bool AllowOptions = false;
};

// What an earlier installation of the product left in the registry.
struct PreviousInstall {
    bool Exists = false;
    std::wstring InstallPath;
    TInstallSupport Kind = TInstallSupport::Both;
    TVersionRec Version;
};

// What the installation steps need of the wizard form; the form implements it, and
// Installer points at it while the form exists.
class TInstallerWindow {
public:
    virtual ~TInstallerWindow() = default;
    virtual bool Showing() const = 0;
    virtual void SetProgress(int Percent) = 0;
    virtual void StopInstallTick() = 0;
    virtual void ChangePage(uint8_t Page) = 0;
    // Closing the main form ends the message loop and with it the program.
    virtual void Close() = 0;
};

extern AppOptions App;
extern InstallOptions Setup;
extern PreviousInstall Previous;

extern TInstallerWindow* Installer;
extern const TVersionRec InstallerVersion;
extern const TVersionRec ReportVersion;
extern int32_t CurrentStep;
extern bool InstallFailed;
// 0 nothing, 1 close the installer, 2 start the product and close.
extern uint8_t AfterFinish;
extern std::wstring TitleSuffix;
// The wizard's pages by number. A record, because the system's GDI header declares a
// global function StartPage.
struct TWizardPages {
    uint8_t StartPage = 2;
    uint8_t CurrentPage = 0;
};
extern TWizardPages Wizard;
extern const std::wstring HelpText;
extern std::wstring TempFolder;
extern TColor TextColor;
// The running copy of the product found last.
extern TProcess FoundProcess;
extern bool AutoDelete;
extern bool ForceInstance;
extern bool IsAdmin;
// The command line of this run as the system gave it; parameters are read from it.
extern std::wstring StartCommandLine;

// Fills App and Setup with the product definition of this build.
void SetDefaults();

// Path with a trailing backslash ensured.
std::wstring IncludeTrailingBackslash(const std::wstring& Path);
