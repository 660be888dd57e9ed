#include "installer/VersionRec.h"
#include "sysutil/Exceptions.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase {
    const wchar_t* Text;
    TVersionRec Expected;
};

TEST(VersionRec, ParsesEverySeparator) {
    const ParseCase cases[] = {
        {L"1.2", {1, 2, 0, 0}},           {L"7", {7, 0, 0, 0}},
        {L"1,2,3", {1, 2, 3, 0}},         {L"2024-01-30", {2024, 1, 30, 0}},
        {L"1.2.3.4.5", {1, 2, 3, 4}},     {L"", {0, 0, 0, 0}},
        {L"4294967295.0", {4294967295u, 0, 0, 0}},
    };
    for (const ParseCase& c : cases) {
        TVersionRec version(9, 9, 9, 9);
        version.Parse(c.Text);
        EXPECT_EQ(version.CompareTo(c.Expected), TRelation::Equal) << c.Text << " gave " << version.ToString(true);
    }
}

TEST(VersionRec, RefusesPartsThatAreNoNumber) {
    for (const wchar_t* text : {L"1..2", L"v1.2", L"1.2.x", L"1.2.3.4.y", L"1. 2"}) {
        TVersionRec version;
        EXPECT_THROW(version.Parse(text), EConvertError) << text;
    }
    TVersionRec version;
    try {
        version.Parse(L"3.4.x");
    } catch (const EConvertError& error) {
        EXPECT_NE(error.Message().find(L"3.4.x"), std::wstring::npos);
    }
    EXPECT_EQ(version.CompareTo({3, 4, 0, 0}), TRelation::Equal) << "the parts before the bad one stay";
}

TEST(VersionRec, ComparesNumericallyFieldByField) {
    EXPECT_EQ(TVersionRec(1, 10, 0, 0).CompareTo({1, 9, 0, 0}), TRelation::Bigger);
    EXPECT_EQ(TVersionRec(1, 9, 0, 0).CompareTo({1, 10, 0, 0}), TRelation::Smaller);
    EXPECT_EQ(TVersionRec(1, 2, 3, 4).CompareTo({1, 2, 3, 4}), TRelation::Equal);
    EXPECT_EQ(TVersionRec(1, 2, 3, 5).CompareTo({1, 2, 3, 4}), TRelation::Bigger);
    EXPECT_EQ(TVersionRec(0x80000000u, 0, 0, 0).CompareTo({1, 0, 0, 0}), TRelation::Bigger) << "unsigned";
    EXPECT_TRUE(TVersionRec(2, 0, 0, 0).NewerThan({1, 99, 99, 99}));
    EXPECT_FALSE(TVersionRec(1, 0, 0, 0).NewerThan({1, 0, 0, 0}));
}

TEST(VersionRec, Formats) {
    const TVersionRec version(1, 8, 0, 0);
    EXPECT_EQ(version.ToString(), L"1.8.0");
    EXPECT_EQ(version.ToString(false), L"1.8.0");
    EXPECT_EQ(version.ToString(true), L"1.8.0.0");
    EXPECT_EQ(TVersionRec(10, 2, 30, 4).ToString(L',', true), L"10,2,30,4");
}

} // namespace
