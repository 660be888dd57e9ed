// Small text functions: yes/no words, splitting and searching. Positions count characters
// from 1, and a position of 0 means that nothing was found. None of them keeps state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A one-byte set of search options.
enum class TTextSearchFlags : uint8_t {
    None = 0,
    // Both texts are lower-cased by the user's locale before they are compared.
    IgnoreCase = 0x01,
};

constexpr TTextSearchFlags operator|(TTextSearchFlags A, TTextSearchFlags B) noexcept {
    return static_cast<TTextSearchFlags>(static_cast<uint8_t>(A) | static_cast<uint8_t>(B));
}
constexpr bool HasFlag(TTextSearchFlags Flags, TTextSearchFlags Flag) noexcept {
    return (static_cast<uint8_t>(Flags) & static_cast<uint8_t>(Flag)) != 0;
}

// True for "true" in any letter case and for exactly "1" or "-1"; false for anything else.
bool TextToBoolean(const std::wstring& Text);
// "true" or "false".
std::wstring BooleanToText(bool Value);

// Index from 0 of the first item equal to Text (case-sensitive), or -1.
int IndexOfText(const std::wstring& Text, const std::vector<std::wstring>& Items);

// The parts between the delimiters: a trailing delimiter gives a last empty part, the empty
// text gives no part at all. An empty delimiter splits nothing: the text is the only part.
std::vector<std::wstring> SplitText(const std::wstring& Text, const std::wstring& Delimiter);

// Overlapping matches count: "aa" occurs twice in "aaa". The empty text occurs nowhere.
int CountOccurrences(const std::wstring& SubText, const std::wstring& Text,
                     TTextSearchFlags Flags = TTextSearchFlags::None);
// The position of the Occurrence-th match (overlapping matches counted), or 0. Offset moves the
// start of the first search only.
int FindOccurrence(const std::wstring& SubText, const std::wstring& Text, int Occurrence, int Offset,
                   TTextSearchFlags Flags = TTextSearchFlags::None);

// The characters from From to To, both included, or with Exclusive those strictly between
// them; positions outside the text are ignored, so a reversed range gives the empty text.
std::wstring CopyRange(const std::wstring& Text, int From, int To, bool Exclusive = false);
// The text without the characters from From to To, both included. A reversed range removes
// nothing.
std::wstring RemoveRange(const std::wstring& Text, int From, int To);

// The text lower-cased by the user's locale. Every character maps to exactly one, so positions
// found in the result hold for the original.
std::wstring LowerText(const std::wstring& Text);
// Replaces the first or, with Every, each occurrence of OldText, letters compared without case.
// The replacements themselves are not searched again.
std::wstring ReplaceTextIgnoreCase(const std::wstring& Text, const std::wstring& OldText, const std::wstring& NewText,
                                   bool Every);
