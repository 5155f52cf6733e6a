#include <gtest/gtest.h>

#include "CString.h"

TEST(CString, MidClampsOutOfRange)
{
    const CString s("abcdef");
    EXPECT_EQ(s.Mid(2, 2), "cd");
    EXPECT_EQ(s.Mid(4, 10), "ef");
    EXPECT_EQ(s.Mid(-3, 2), "ab");
    EXPECT_EQ(s.Mid(10), "");
}
