#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StringArray.h"

namespace {

CStringArray Make(std::initializer_list<const char *> items)
{
    CStringArray a;
    for (const char *item : items)
        a.Add(item);
    return a;
}

std::vector<std::string> Items(const CStringArray &a)
{
    std::vector<std::string> out;
    for (const CString &s : a)
        out.push_back(s.Str());
    return out;
}

using V = std::vector<std::string>;

}  // namespace

TEST(CStringArray, AddReturnsTheNewIndex)
{
    CStringArray a;
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(a.GetUpperBound(), -1);
    EXPECT_EQ(a.Add("x"), 0);
    EXPECT_EQ(a.Add("y"), 1);
    EXPECT_EQ(a.GetSize(), 2);
    EXPECT_EQ(a.GetCount(), 2);
    EXPECT_EQ(a.GetUpperBound(), 1);
    EXPECT_EQ(Items(a), (V{"x", "y"}));
    a.RemoveAll();
    EXPECT_TRUE(a.IsEmpty());
}

TEST(CStringArray, OutOfRangeReadsGiveEmptyAndChangeNothing)
{
    CStringArray a = Make({"first", "second"});
    const CStringArray &c = a;
    for (int index : {-1, 2, 100}) {
        EXPECT_STREQ(c.GetAt(index), "") << index;
        EXPECT_STREQ(c[index], "") << index;
        // The non-const subscript must read the same way: not another
        // element, and without growing the array.
        EXPECT_STREQ(a[index], "") << index;
        EXPECT_EQ(a.GetSize(), 2) << index;
    }
    EXPECT_EQ(Items(a), (V{"first", "second"}));
}

TEST(CStringArray, OutOfRangeWritesAreDropped)
{
    CStringArray a = Make({"first", "second"});
    a.SetAt(-1, "x");
    a.SetAt(2, "x");
    a[-1] = "y";
    a.ElementAt(5) = "y";
    EXPECT_EQ(Items(a), (V{"first", "second"}));

    a.SetAt(1, "2nd");
    a[0] = "1st";
    a.ElementAt(0) += "!";
    EXPECT_EQ(Items(a), (V{"1st!", "2nd"}));
}

TEST(CStringArray, SetAtGrowPadsWithEmptyStrings)
{
    CStringArray a = Make({"a"});
    a.SetAtGrow(3, "d");
    EXPECT_EQ(Items(a), (V{"a", "", "", "d"}));
    a.SetAtGrow(1, "b");
    EXPECT_EQ(Items(a), (V{"a", "b", "", "d"}));
    a.SetAtGrow(-1, "x");
    EXPECT_EQ(Items(a), (V{"a", "b", "", "d"}));
}

TEST(CStringArray, ElementsOfTheArrayItselfCanBeStoredAgain)
{
    // Growing reallocates; the value must be taken before that happens.
    CStringArray a = Make({"a long string that does not fit the small buffer"});
    a.SetAtGrow(40, a[0]);
    ASSERT_EQ(a.GetSize(), 41);
    EXPECT_EQ(a[40], a[0]);

    CStringArray b = Make({"another string longer than the small buffer"});
    b.InsertAt(30, b[0], 2);
    ASSERT_EQ(b.GetSize(), 32);
    EXPECT_EQ(b[31], b[0]);
    b.InsertAt(0, b[31]);
    EXPECT_EQ(b[0], b[1]);
    b.Add(b[0]);
    EXPECT_EQ(b[b.GetUpperBound()], b[0]);
}

TEST(CStringArray, InsertAt)
{
    struct Case {
        int index;
        int count;
        V want;
    } const cases[] = {
        {0, 1, {"x", "a", "b"}},
        {1, 2, {"a", "x", "x", "b"}},
        {2, 1, {"a", "b", "x"}},
        {4, 1, {"a", "b", "", "", "x"}},
        {-1, 1, {"a", "b"}},
        {1, 0, {"a", "b"}},
        {1, -2, {"a", "b"}},
    };
    for (const Case &c : cases) {
        CStringArray a = Make({"a", "b"});
        a.InsertAt(c.index, "x", c.count);
        EXPECT_EQ(Items(a), c.want) << c.index << "," << c.count;
    }
}

TEST(CStringArray, RemoveAtClampsTheCount)
{
    struct Case {
        int index;
        int count;
        V want;
    } const cases[] = {
        {0, 1, {"b", "c", "d"}},
        {1, 2, {"a", "d"}},
        {2, 99, {"a", "b"}},
        {1, 0x7FFFFFFF, {"a"}},
        {3, 1, {"a", "b", "c"}},
        {4, 1, {"a", "b", "c", "d"}},
        {-1, 2, {"a", "b", "c", "d"}},
        {0, 0, {"a", "b", "c", "d"}},
        {0, -1, {"a", "b", "c", "d"}},
    };
    for (const Case &c : cases) {
        CStringArray a = Make({"a", "b", "c", "d"});
        a.RemoveAt(c.index, c.count);
        EXPECT_EQ(Items(a), c.want) << c.index << "," << c.count;
    }
}

TEST(CStringArray, AppendReturnsTheFirstNewIndex)
{
    CStringArray a = Make({"a"});
    EXPECT_EQ(a.Append(Make({"b", "c"})), 1);
    EXPECT_EQ(a.Append(CStringArray()), 3);
    EXPECT_EQ(Items(a), (V{"a", "b", "c"}));

    EXPECT_EQ(a.Append(a), 3);
    EXPECT_EQ(Items(a), (V{"a", "b", "c", "a", "b", "c"}));
}

TEST(CStringArray, SetSizeAndCopy)
{
    CStringArray a = Make({"a", "b", "c"});
    a.SetSize(5);
    EXPECT_EQ(Items(a), (V{"a", "b", "c", "", ""}));
    a.SetSize(1);
    EXPECT_EQ(Items(a), (V{"a"}));
    a.SetSize(-4);
    EXPECT_TRUE(a.IsEmpty());

    CStringArray b = Make({"x", "y"});
    a.Copy(b);
    b.SetAt(0, "changed");
    EXPECT_EQ(Items(a), (V{"x", "y"}));
    a.Copy(a);
    EXPECT_EQ(Items(a), (V{"x", "y"}));
}
