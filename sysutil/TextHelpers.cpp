#include "sysutil/TextHelpers.h"

#include <windows.h>

#include <algorithm>

namespace {

// Positions are computed in 64 bits so that extreme From, To or Offset values cannot overflow.
using TPosition = int64_t;

// The position from 1 of SubText in Text at or after Start, or 0.
TPosition PositionFrom(const std::wstring& SubText, const std::wstring& Text, TPosition Start) {
    Start = std::max<TPosition>(Start, 1);
    if (Start > static_cast<TPosition>(Text.size()) + 1) {
        return 0;
    }
    const size_t found = Text.find(SubText, static_cast<size_t>(Start - 1));
    return found == std::wstring::npos ? 0 : static_cast<TPosition>(found) + 1;
}

std::wstring SearchForm(const std::wstring& Text, TTextSearchFlags Flags) {
    return HasFlag(Flags, TTextSearchFlags::IgnoreCase) ? LowerText(Text) : Text;
}

} // namespace

bool TextToBoolean(const std::wstring& Text) {
    return Text == L"1" || Text == L"-1" || LowerText(Text) == L"true";
}

std::wstring BooleanToText(bool Value) {
    return Value ? L"true" : L"false";
}

int IndexOfText(const std::wstring& Text, const std::vector<std::wstring>& Items) {
    const auto found = std::find(Items.begin(), Items.end(), Text);
    return found == Items.end() ? -1 : static_cast<int>(found - Items.begin());
}

std::vector<std::wstring> SplitText(const std::wstring& Text, const std::wstring& Delimiter) {
    std::vector<std::wstring> parts;
    if (Text.empty()) {
        return parts;
    }
    // An empty delimiter would be found at every place without consuming anything.
    if (Delimiter.empty()) {
        parts.push_back(Text);
        return parts;
    }
    size_t start = 0;
    for (size_t found = Text.find(Delimiter); found != std::wstring::npos; found = Text.find(Delimiter, start)) {
        parts.push_back(Text.substr(start, found - start));
        start = found + Delimiter.size();
    }
    parts.push_back(Text.substr(start));
    return parts;
}

int CountOccurrences(const std::wstring& SubText, const std::wstring& Text, TTextSearchFlags Flags) {
    if (SubText.empty()) {
        return 0;
    }
    const std::wstring sub = SearchForm(SubText, Flags);
    const std::wstring text = SearchForm(Text, Flags);
    int count = 0;
    for (size_t found = text.find(sub); found != std::wstring::npos; found = text.find(sub, found + 1)) {
        ++count;
    }
    return count;
}

int FindOccurrence(const std::wstring& SubText, const std::wstring& Text, int Occurrence, int Offset,
                   TTextSearchFlags Flags) {
    if (SubText.empty()) {
        return 0;
    }
    const std::wstring sub = SearchForm(SubText, Flags);
    const std::wstring text = SearchForm(Text, Flags);
    TPosition result = 0;
    for (int pass = 0; pass < Occurrence; ++pass) {
        result = PositionFrom(sub, text, result + 1 + (pass == 0 ? Offset : 0));
        // A search from the start that found nothing finds nothing on any later pass either.
        if (result == 0 && pass > 0) {
            break;
        }
    }
    return static_cast<int>(result);
}

std::wstring CopyRange(const std::wstring& Text, int From, int To, bool Exclusive) {
    const TPosition first = std::max<TPosition>(static_cast<TPosition>(From) + (Exclusive ? 1 : 0), 1);
    const TPosition last =
        std::min<TPosition>(static_cast<TPosition>(To) - (Exclusive ? 1 : 0), static_cast<TPosition>(Text.size()));
    if (last < first) {
        return std::wstring();
    }
    return Text.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1));
}

std::wstring RemoveRange(const std::wstring& Text, int From, int To) {
    const TPosition first = std::max<TPosition>(From, 1);
    const TPosition last = std::min<TPosition>(To, static_cast<TPosition>(Text.size()));
    if (last < first) {
        return Text;
    }
    return Text.substr(0, static_cast<size_t>(first - 1)) + Text.substr(static_cast<size_t>(last));
}

std::wstring LowerText(const std::wstring& Text) {
    std::wstring lower = Text;
    if (!lower.empty()) {
        // In place, so the length cannot change.
        CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
    }
    return lower;
}

std::wstring ReplaceTextIgnoreCase(const std::wstring& Text, const std::wstring& OldText, const std::wstring& NewText,
                                   bool Every) {
    if (OldText.empty()) {
        return Text;
    }
    const std::wstring lowerText = LowerText(Text);
    const std::wstring lowerOld = LowerText(OldText);
    std::wstring result;
    size_t start = 0;
    for (size_t found = lowerText.find(lowerOld); found != std::wstring::npos;
         found = lowerText.find(lowerOld, start)) {
        result.append(Text, start, found - start).append(NewText);
        start = found + OldText.size();
        if (!Every) {
            break;
        }
    }
    return result.append(Text, start, std::wstring::npos);
}
