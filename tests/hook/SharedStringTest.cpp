#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "SharedSection.h"

TEST(SharedString, SetterCutsAtCapacityAndKeepsTheLastByteZero)
{
    char buffer[8];
    std::memset(buffer, 'z', sizeof buffer);
    const struct {
        const char *value;
        const char *stored;
    } cases[] = {
        {"abc", "abc"}, {"1234567", "1234567"}, {"12345678", "1234567"}, {"a much longer text", "a much "},
        {"", ""},       {nullptr, ""},
    };
    for (const auto &c : cases) {
        SetSharedString(buffer, c.value);
        EXPECT_STREQ(buffer, c.stored) << (c.value ? c.value : "(null)");
        EXPECT_EQ(buffer[sizeof buffer - 1], 0);
    }

    // A value taken from the array itself (moving a tail to the front).
    SetSharedString(buffer, "abcdef");
    SetSharedString(buffer, buffer + 2);
    EXPECT_STREQ(buffer, "cdef");
}

TEST(SharedString, ReadersStayInsideAnUnterminatedArray)
{
    char buffer[6];
    std::memset(buffer, 'x', sizeof buffer);  // as if another process overwrote the terminator
    EXPECT_EQ(SharedStringLength(buffer), 5u);
    buffer[2] = 0;
    EXPECT_EQ(SharedStringLength(buffer), 2u);

    EXPECT_EQ(ClampShared(-5, 0, 2), 0);
    EXPECT_EQ(ClampShared(7, 0, 2), 2);
    EXPECT_EQ(ClampShared(1, 0, 2), 1);
}

TEST(SharedString, SharedArraysHaveTheirCapacities)
{
    SetSharedString(WordBuffer, std::string(500, 'w').c_str());
    EXPECT_EQ(std::strlen(WordBuffer), 258u);
    SetSharedString(CharBuf, std::string(500, 'c').c_str());
    EXPECT_EQ(std::strlen(CharBuf), 259u);
    SetSharedString(NonDelimiter, std::string(40, '_').c_str());
    EXPECT_EQ(std::strlen(NonDelimiter), 31u);
    SetSharedString(AppPath, std::string(300, 'p').c_str());
    EXPECT_EQ(std::strlen(AppPath), 259u);
    SetSharedString(WordBuffer, "");
    SetSharedString(CharBuf, "");
    SetSharedString(NonDelimiter, "");
    SetSharedString(AppPath, "");
}
