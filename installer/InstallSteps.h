// The five installation steps (1 Prepare, 2 Export, 3 Extract, 4 Write, 5 Verify), what
// happens when a run ends, how the installer closes, and the clean-up after a failed run.
//
// A step never stops the run itself: a failure of a guarded operation only sets
// InstallFailed, and the caller decides when the run ends. Errors of the unguarded
// operations (a missing resource, opening the archive, deleting it, a shortcut) propagate
// to the program's general error report.
#pragma once

#include <cstdint>
#include <string>

// Performs step 1 to 5; any other number does nothing.
void RunInstallStep(int32_t Step);
// One tick of the wizard's installation timer: shows the progress, runs the next step and
// ends the run after the fifth step or the first failure.
void InstallTickTimer();
void FinishInstall();
// Performs AfterFinish: 1 closes the installer, 2 starts the product and closes.
void DoAfterFinish();
void StartInstalledApp();
// Ends the installer: starts the self-deletion for "-ad", then closes the wizard window or,
// when none is shown, ends the program with the run's exit code.
void CloseInstaller();
// "Delete temporary files": after a confirmation, removes the exported archive and, for a
// new installation, its folder and uninstall record.
void DeleteTemporaryFiles();

// The installer's working folder (under the local application data), created when missing.
void EstablishTempFolder();
// Where step 2 exports the program archive.
std::wstring ArchivePath();
// The parameters of the hidden command that deletes the installer at InstallerPath, or
// empty when that path cannot be handed to the command interpreter safely.
std::wstring SelfDeletionParameters(const std::wstring& InstallerPath);
