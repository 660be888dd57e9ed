#include "sysutil/Exceptions.h"

#include "sysutil/Utf8.h"

#include <memory>

EError::EError(std::wstring Message) : FMessage(std::move(Message)), FUtf8(WideToUtf8(FMessage)) {}

EOSError::EOSError(DWORD Code, const std::wstring& Context)
    : EError(Context.empty() ? SystemErrorMessage(Code) : SystemErrorMessage(Code) + L" " + Context), FCode(Code) {}

std::wstring SystemErrorMessage(DWORD Code) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, Code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const std::unique_ptr<wchar_t, decltype(&LocalFree)> owner(buffer, &LocalFree);
    std::wstring text;
    if (length != 0 && buffer != nullptr) {
        text.assign(buffer, length);
    }
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        text = L"System error " + std::to_wstring(Code) + L".";
    }
    return text;
}
