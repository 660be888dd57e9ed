// Runs the UI thread's messages (and so the queued calls of worker threads) until a condition
// holds, giving up after a generous time so a fault fails the test instead of hanging it.
#pragma once

#include "toolkit/Application.h"

#include <windows.h>

#include <functional>

inline bool PumpUntil(const std::function<bool()>& Done, DWORD GiveUpAfter = 20000) {
    const ULONGLONG start = GetTickCount64();
    while (!Done()) {
        if (GetTickCount64() - start > GiveUpAfter) {
            return false;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        Application.ProcessMessages();
    }
    return true;
}
