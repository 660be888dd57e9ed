#include "installer/ShowDialog.h"

#include "sysutil/Seams.h"

// The system message box through the message seam; its results (IDOK, IDYES, IDNO) are
// the same numbers as the installer's modal results.
int ShowDialog(const std::wstring& Title, const std::wstring& Text, TDialogButtons Buttons) {
    const UINT flags = Buttons == DialogYesNo ? MB_YESNO | MB_ICONQUESTION : MB_OK | MB_ICONINFORMATION;
    return ShowMessage(Title, Text, flags | MB_SETFOREGROUND);
}
