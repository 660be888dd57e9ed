// Detection of an earlier installation of the product through its uninstall record.
#pragma once

// Fills Previous. A found installation turns the run into an update: its folder becomes the
// installation folder, its install type the only one allowed. May end the program (the
// newer-version question answered No) or restart it elevated instead of returning.
void FindPreviousInstall();
