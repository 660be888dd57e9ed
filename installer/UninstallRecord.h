// The uninstall record: the key under the system's "Uninstall" key that lists the product
// among the installed programs and lets a later installer find this installation.
#pragma once

// Writes the record of the current installation (Setup.RegistryHIVE, Setup.RegistryRecord)
// in the 64-bit view; raises EOSError when a value cannot be written.
void WriteUninstallRecord();
// Removes the record of this installation's hive, when it exists.
void DeleteUninstallRecord();
