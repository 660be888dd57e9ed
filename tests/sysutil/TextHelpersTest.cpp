#include "sysutil/TextHelpers.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using Words = std::vector<std::wstring>;

TEST(TextHelpers, ReadsAndWritesBooleanWords) {
    for (const wchar_t* text : {L"true", L"TRUE", L"True", L"tRuE", L"1", L"-1"}) {
        EXPECT_TRUE(TextToBoolean(text)) << text;
    }
    for (const wchar_t* text : {L"yes", L"false", L"0", L"", L" true", L"true ", L"01", L"+1", L"2"}) {
        EXPECT_FALSE(TextToBoolean(text)) << text;
    }
    EXPECT_EQ(BooleanToText(true), L"true");
    EXPECT_EQ(BooleanToText(false), L"false");
}

TEST(TextHelpers, IndexOfTextComparesWholeTextsExactly) {
    const Words switches = {L"-start", L"-silent", L"-silent"};
    EXPECT_EQ(IndexOfText(L"-start", switches), 0);
    EXPECT_EQ(IndexOfText(L"-silent", switches), 1) << "the first equal item";
    EXPECT_EQ(IndexOfText(L"-Silent", switches), -1);
    EXPECT_EQ(IndexOfText(L"-sil", switches), -1);
    EXPECT_EQ(IndexOfText(L"", switches), -1);
    EXPECT_EQ(IndexOfText(L"-start", {}), -1);
}

struct SplitCase {
    const wchar_t* Text;
    const wchar_t* Delimiter;
    Words Expected;
};

TEST(TextHelpers, SplitTextKeepsEveryEmptyPart) {
    const SplitCase cases[] = {
        {L"one line", L"\r", {L"one line"}},
        {L"", L"\r", {}},
        {L"a\rb\r", L"\r", {L"a", L"b", L""}},
        {L"a\r\rb", L"\r", {L"a", L"", L"b"}},
        {L"\r", L"\r", {L"", L""}},
        {L"red, green, blue", L", ", {L"red", L"green", L"blue"}},
        {L"a,b, c", L", ", {L"a,b", L"c"}},
        {L"aXb", L"x", {L"aXb"}},
        {L"abc", L"", {L"abc"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(SplitText(c.Text, c.Delimiter), c.Expected) << c.Text;
    }
}

TEST(TextHelpers, CountsOverlappingOccurrences) {
    EXPECT_EQ(CountOccurrences(L"\r", L"one\rtwo\rthree\r"), 3);
    EXPECT_EQ(CountOccurrences(L"a", L"aAa"), 2);
    EXPECT_EQ(CountOccurrences(L"A", L"aAa"), 1);
    EXPECT_EQ(CountOccurrences(L"A", L"aAa", TTextSearchFlags::IgnoreCase), 3);
    EXPECT_EQ(CountOccurrences(L"aa", L"aaa"), 2);
    EXPECT_EQ(CountOccurrences(L"\u00c4", L"\u00e4\u00c4", TTextSearchFlags::IgnoreCase), 2) << "not only ASCII";
    EXPECT_EQ(CountOccurrences(L"x", L""), 0);
    EXPECT_EQ(CountOccurrences(L"", L"abc"), 0);
}

struct FindCase {
    const wchar_t* SubText;
    const wchar_t* Text;
    int Occurrence;
    int Offset;
    TTextSearchFlags Flags;
    int Expected;
};

TEST(TextHelpers, FindOccurrenceCountsFromOneAndOverlaps) {
    constexpr TTextSearchFlags none = TTextSearchFlags::None;
    const FindCase cases[] = {
        {L"a", L"banana", 1, 0, none, 2},
        {L"a", L"banana", 2, 0, none, 4},
        {L"a", L"banana", 3, 0, none, 6},
        {L"a", L"banana", 4, 0, none, 0},
        {L"a", L"banana", 0, 0, none, 0},
        {L"a", L"banana", -1, 0, none, 0},
        {L"ana", L"banana", 2, 0, none, 4},
        {L"A", L"banana", 1, 0, none, 0},
        {L"A", L"bAnana", 2, 0, TTextSearchFlags::IgnoreCase, 4},
        // The offset moves only the first search.
        {L"a", L"banana", 1, 2, none, 4},
        {L"a", L"banana", 2, 2, none, 6},
        // Nothing beyond the offset: the next pass starts again from the beginning.
        {L"a", L"banana", 1, 10, none, 0},
        {L"a", L"banana", 2, 10, none, 2},
        {L"a", L"banana", 2, -5, none, 4},
        {L"x", L"banana", INT_MAX, 0, none, 0},
        {L"a", L"banana", INT_MAX, INT_MAX, none, 0},
        {L"", L"banana", 1, 0, none, 0},
        // The second-to-last line break of a text with three.
        {L"\r", L"a\rb\rc\r", 2, 0, none, 4},
    };
    for (const FindCase& c : cases) {
        EXPECT_EQ(FindOccurrence(c.SubText, c.Text, c.Occurrence, c.Offset, c.Flags), c.Expected)
            << c.SubText << " in " << c.Text << ", occurrence " << c.Occurrence << ", offset " << c.Offset;
    }
}

struct RangeCase {
    int From;
    int To;
    const wchar_t* Inclusive;
    const wchar_t* Exclusive;
    const wchar_t* Removed;
};

TEST(TextHelpers, CopiesAndRemovesRanges) {
    const RangeCase cases[] = {
        {2, 4, L"bcd", L"c", L"aef"},
        {1, 6, L"abcdef", L"bcde", L""},
        {3, 3, L"c", L"", L"abdef"},
        {3, 4, L"cd", L"", L"abef"},
        {0, 2, L"ab", L"a", L"cdef"},
        {-5, 1, L"a", L"", L"bcdef"},
        {5, 100, L"ef", L"f", L"abcd"},
        {7, 9, L"", L"", L"abcdef"},
        {4, 2, L"", L"", L"abcdef"},
        {INT_MIN, INT_MAX, L"abcdef", L"abcdef", L""},
        {INT_MAX, INT_MIN, L"", L"", L"abcdef"},
    };
    for (const RangeCase& c : cases) {
        EXPECT_EQ(CopyRange(L"abcdef", c.From, c.To), c.Inclusive) << c.From << ".." << c.To;
        EXPECT_EQ(CopyRange(L"abcdef", c.From, c.To, true), c.Exclusive) << c.From << ".." << c.To;
        EXPECT_EQ(RemoveRange(L"abcdef", c.From, c.To), c.Removed) << c.From << ".." << c.To;
    }
    EXPECT_EQ(CopyRange(L"", 1, 3), L"");
    EXPECT_EQ(RemoveRange(L"", 1, 3), L"");
}

TEST(TextHelpers, ReplacesWithoutRegardToCase) {
    EXPECT_EQ(ReplaceTextIgnoreCase(L"%Temp%\\a;%TEMP%", L"%temp%", L"T", false), L"T\\a;%TEMP%");
    EXPECT_EQ(ReplaceTextIgnoreCase(L"%Temp%\\a;%TEMP%", L"%temp%", L"T", true), L"T\\a;T");
    EXPECT_EQ(ReplaceTextIgnoreCase(L"aaa", L"a", L"aa", true), L"aaaaaa") << "replacements are not searched";
    EXPECT_EQ(ReplaceTextIgnoreCase(L"abc", L"", L"x", true), L"abc");
    EXPECT_EQ(ReplaceTextIgnoreCase(L"abc", L"abcd", L"x", true), L"abc");
    EXPECT_EQ(LowerText(L"Shell:DESKTOP \u00c4"), L"shell:desktop \u00e4");
}

} // namespace
