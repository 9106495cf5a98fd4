#include "http/cookies.h"

#include <gtest/gtest.h>

namespace {

struct MergeCase {
    const char* stored;
    const char* received;
    const char* mergedStored;
    const char* cleanedReceived;
};

const MergeCase kMergeCases[] = {
    {"a=1; b=2", "b=3; c=4; ", "b=3; c=4; a=1", "b=3;c=4;"},
    {"sid=abc; x=1", "sid=deleted; ", "x=1", "sid=deleted;"},
    {"x=1; sid=deleted", "", "x=1", ""},
    {"=deleted", "", "", ""},
    {"a=1", "x=undeleted; deleted; ", "x=undeleted; deleted; a=1", "x=undeleted;deleted;"},
    {"a=1; a=2", "", "a=1", ""},
    {"", "a=1; a=1; ", "a=1", "a=1;a=1;"},
    {"", "a=1; a=2; ", "a=1; a=2", "a=1;a=2;"},
    {"a=1; a=1; b=2; a=1", "", "a=1; b=2", ""},
    {"q=a b", "", "q=ab", ""},
    {"q=a\xA1\xA1" "b", "r=\xA1\xA1" "c ; ", "r=c; q=ab", "r=c;"},
    {"", "", "", ""},
    {"a=1", "; ", "; a=1", ";"},
    {"sid=1", "SID=2; ", "SID=2; sid=1", "SID=2;"},
    {" a =1", "a=2; ", "a=2", "a=2;"},
    {"flag; a=1", "flag; ", "flag; a=1", "flag;"},
    {"a=1;;b=2", "", "a=1; ; b=2", ""},
    // A ";" or "=" that is the trail byte of a double-byte character splits nothing.
    {"n=\xB0;x; m=1", "n\xB0=2; ", "n\xB0=2; n=\xB0;x; m=1", "n\xB0=2;"},
};

TEST(CookiesTest, MergeCookies) {
    for (const MergeCase& c : kMergeCases) {
        SCOPED_TRACE(testing::Message() << "stored [" << c.stored << "] received [" << c.received
                                        << "]");
        Text stored = c.stored;
        Text received = c.received;
        Text result = MergeCookies(stored, received);
        EXPECT_EQ(stored, c.mergedStored);
        EXPECT_EQ(result, c.mergedStored);
        EXPECT_EQ(received, c.cleanedReceived);
    }
}

TEST(CookiesTest, CookieName) {
    struct Case {
        const char* entry;
        const char* name;
    };
    const Case cases[] = {
        {"a=1", "a"},       {" a =1=2", "a"},  {"flag", "flag"},       {"=v", ""},
        {"", ""},           {"\xA1\xA1" "k\xA1\xA1=v", "k"},     {"\t a=1", "\t a"},
        {"\xB0=x=1", "\xB0=x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(CookieName(c.entry), c.name);
    }
}

TEST(CookiesTest, HasCookieNamed) {
    const TextList list = {"a=1", " b =2", "flag"};
    struct Case {
        const char* name;
        bool found;
    };
    const Case cases[] = {{"a", true}, {"b", true}, {"flag", true}, {"A", false}, {"c", false},
                          {"a=1", false}, {"", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HasCookieNamed(list, c.name), c.found);
    }
    EXPECT_FALSE(HasCookieNamed({}, ""));
    EXPECT_TRUE(HasCookieNamed({"x=1", "=v"}, ""));
}

TEST(CookiesTest, JoinUnique) {
    struct Case {
        const char* text;
        const char* separator;
        const char* joined;
    };
    const Case cases[] = {
        {"a; b; a; c; b", "; ", "a; b; c"},
        {"a; a", "; ", "a"},
        {"a; A", "; ", "a; A"},
        {"", "; ", ""},
        {"; a; ; b", "; ", "; a; b"},
        {"a; b; ", "; ", "a; b"},
        {"a,b,a", ",", "a,b"},
        {"a; a", "", "a; a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "[" << c.text << "] by [" << c.separator << "]");
        EXPECT_EQ(JoinUnique(c.text, c.separator), c.joined);
    }
}

TEST(CookiesTest, ContainsExact) {
    const TextList list = {"a=1", ""};
    EXPECT_TRUE(ContainsExact(list, "a=1"));
    EXPECT_TRUE(ContainsExact(list, ""));
    EXPECT_FALSE(ContainsExact(list, "A=1"));
    EXPECT_FALSE(ContainsExact(list, "a=1 "));
    EXPECT_FALSE(ContainsExact({}, ""));
}

}  // namespace
