// timeout.exe for the test prefix, where Wine has none: waits the given number of seconds
// the way the system's own program does, so the self-deletion commands ("timeout /t 3 &&
// del ...") run under test as they run on Windows.
//
//   timeout [/t] seconds [/nobreak]     seconds from -1 (wait for a key) to 99999
//
// A key press ends the wait early unless /nobreak is given. Like the original, it refuses
// to run when its input is not a console. Exit code 0 after the wait, 1 on any error.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <optional>
#include <string>

namespace {

void Write(HANDLE Output, const std::wstring& Text) {
    DWORD written = 0;
    if (WriteConsoleW(Output, Text.data(), static_cast<DWORD>(Text.size()), &written, nullptr)) {
        return;
    }
    // Redirected output: the console's text as UTF-8 bytes.
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), bytes.data(), size, nullptr, nullptr);
    WriteFile(Output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

int Fail(const std::wstring& Message) {
    Write(GetStdHandle(STD_ERROR_HANDLE), L"ERROR: " + Message + L"\r\nType \"TIMEOUT /?\" for usage.\r\n");
    return 1;
}

std::wstring Lower(std::wstring Text) {
    for (wchar_t& c : Text) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return Text;
}

// A whole decimal number with an optional minus sign, nothing else.
std::optional<long> ReadSeconds(const std::wstring& Text) {
    if (Text.empty() || Text.size() > 7) {
        return std::nullopt;
    }
    wchar_t* end = nullptr;
    const long value = std::wcstol(Text.c_str(), &end, 10);
    if (end == Text.c_str() || *end != L'\0') {
        return std::nullopt;
    }
    return value;
}

// Reads pending console events; true when one of them was a key going down.
bool KeyPressed(HANDLE Input) {
    DWORD pending = 0;
    while (GetNumberOfConsoleInputEvents(Input, &pending) && pending > 0) {
        INPUT_RECORD record;
        DWORD read = 0;
        if (!ReadConsoleInputW(Input, &record, 1, &read) || read == 0) {
            return false;
        }
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) {
            return true;
        }
    }
    return false;
}

} // namespace

int wmain(int argc, wchar_t* argv[]) {
    std::optional<long> seconds;
    bool noBreak = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = Lower(argv[i]);
        if (argument == L"/?") {
            Write(GetStdHandle(STD_OUTPUT_HANDLE),
                  L"TIMEOUT [/T] timeout [/NOBREAK]\r\n\r\n"
                  L"Waits the given number of seconds (-1 to 99999; -1 waits for a key press).\r\n"
                  L"/NOBREAK ignores key presses.\r\n");
            return 0;
        }
        if (argument == L"/nobreak") {
            if (noBreak) {
                return Fail(L"Invalid syntax. '/nobreak' option is not allowed more than '1' time(s).");
            }
            noBreak = true;
            continue;
        }
        std::wstring value = argument;
        if (argument[0] == L'/' && argument != L"/t") {
            return Fail(L"Invalid argument/option - '" + std::wstring(argv[i]) + L"'.");
        }
        if (argument == L"/t") {
            if (++i == argc) {
                return Fail(L"Invalid syntax. Value expected for '/t'.");
            }
            value = argv[i];
        }
        if (seconds.has_value()) {
            return Fail(L"Invalid syntax. Default option is not allowed more than '1' time(s).");
        }
        seconds = ReadSeconds(value);
        if (!seconds.has_value() || *seconds < -1 || *seconds > 99999) {
            return Fail(L"Invalid value for timeout (/T) specified. Valid range is -1 to 99999.");
        }
    }
    if (!seconds.has_value()) {
        return Fail(L"Invalid syntax. A timeout value is required.");
    }

    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(input, &mode)) {
        Write(GetStdHandle(STD_ERROR_HANDLE),
              L"ERROR: Input redirection is not supported, exiting the process immediately.\r\n");
        return 1;
    }
    FlushConsoleInputBuffer(input);

    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    const std::wstring action = noBreak ? L"CTRL+C to quit ..." : L"a key to continue ...";
    const auto line = [&](long Left) {
        return L"\rWaiting for " + std::to_wstring(Left) + L" seconds, press " + action + L" ";
    };
    DWORD outputMode = 0;
    const bool console = GetConsoleMode(output, &outputMode) != FALSE;
    if (*seconds < 0) {
        Write(output, noBreak ? L"\r\nPress " + action : L"\r\nPress any key to continue ...");
    } else {
        Write(output, L"\r\n" + line(*seconds).substr(1));
    }

    // Timed by the tick count, so a slow console does not stretch the wait.
    const ULONGLONG start = GetTickCount64();
    const ULONGLONG length = *seconds < 0 ? 0 : static_cast<ULONGLONG>(*seconds) * 1000;
    long shown = *seconds;
    for (;;) {
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (*seconds >= 0 && elapsed >= length) {
            break;
        }
        const long left = *seconds < 0 ? -1 : static_cast<long>((length - elapsed + 999) / 1000);
        // The count goes down in place on a console; redirected output keeps its one line.
        if (console && left != shown) {
            Write(output, line(left));
            shown = left;
        }
        const DWORD slice = *seconds < 0 ? 100 : static_cast<DWORD>(std::min<ULONGLONG>(100, length - elapsed));
        if (WaitForSingleObject(input, slice) == WAIT_OBJECT_0) {
            if (noBreak) {
                FlushConsoleInputBuffer(input);
            } else if (KeyPressed(input)) {
                break;
            }
        }
    }
    Write(output, L"\r\n");
    return 0;
}
