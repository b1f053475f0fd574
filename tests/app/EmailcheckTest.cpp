// The shapes of e-mail address that the submit and tell forms take.
#include <gtest/gtest.h>

#include "Emailcheck.h"

TEST(Email, TheShapesThatPassAndThoseThatDoNot) {
    const struct {
        const char* Text;
        bool Valid;
    } Cases[] = {
        {"", false},          {"a@b.cc", true},    {"a@b.c", false},         {"@b.cc", false},
        {"@x@b.cc", true},    {"a@.cc", false},    {"a@bcd", false},         {"abcdef", false},
        {"a@b.cc.d", false},  {"a@b.c.cc", true},  {"a@b.cc.", true},        {"a@b.cc..", false},
        {"a@b@c.cc", true},   {"a @b.cc", true},   {"a@b..cc", true},        {"a", false},
        {"@", false},         {"a@", false},       {"ab@cd.ef, x", true},
    };
    for (const auto& Case : Cases) EXPECT_EQ(Case.Valid, IsValidEmail(Case.Text)) << '"' << Case.Text << '"';
}
