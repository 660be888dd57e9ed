// Shell shortcuts (.lnk files) and the COM initialisation they need.
#pragma once

#include <windows.h>

#include <objbase.h>

#include <string>

// Initialises COM on the calling thread for the lifetime of the object. A thread that has
// COM already, in the other threading model, keeps it; only a successful call is undone.
// Raises EError when COM cannot be initialised at all.
class TComInitializer {
public:
    explicit TComInitializer(DWORD Model = COINIT_APARTMENTTHREADED);
    ~TComInitializer();
    TComInitializer(const TComInitializer&) = delete;
    TComInitializer& operator=(const TComInitializer&) = delete;

private:
    bool FInitialized = false;
};

// Writes LinkFile as a shortcut to Target, started in Target's folder with Arguments.
// COM must be initialised on the calling thread (TComInitializer). Raises EError when the
// shell link object cannot be created; the link's settings and the saving are not checked.
void CreateShortcut(const std::wstring& Target, const std::wstring& LinkFile, const std::wstring& Description,
                    const std::wstring& Arguments);
