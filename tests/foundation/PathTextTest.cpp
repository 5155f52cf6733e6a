#include <gtest/gtest.h>

#include <string>

#include "PathText.h"

namespace {
struct Case {
    const char *in;
    const char *out;
};
}  // namespace

TEST(PathText, Separators)
{
    EXPECT_EQ(GetPathSeparator("C:\\a/b"), '\\');
    EXPECT_EQ(GetPathSeparator("http://x/y"), '/');
    EXPECT_EQ(GetPathSeparator("name"), 0);
    EXPECT_TRUE(EndsWithSeparator("a/b/"));
    EXPECT_FALSE(EndsWithSeparator("a\\b/"));  // its separator is '\'
    EXPECT_FALSE(EndsWithSeparator(""));

    for (const Case &c : {Case{"", "\\"}, Case{"a", "a\\"}, Case{"a/b", "a/b/"}, Case{"C:\\", "C:\\"},
                          Case{"x\\y\\", "x\\y\\"}})
        EXPECT_EQ(AddTrailingSeparator(c.in), c.out) << c.in;
    for (const Case &c : {Case{"", ""}, Case{"C:\\", "C:\\"}, Case{"a\\\\\\", "a"}, Case{"a/b/", "a/b"},
                          Case{"\\", "\\"}, Case{"C:\\dir\\", "C:\\dir"}})
        EXPECT_EQ(RemoveTrailingSeparator(c.in), c.out) << c.in;
}

TEST(PathText, ParentFolder)
{
    for (const Case &c : {Case{"C:\\", ""}, Case{"C:\\a", "C:\\"}, Case{"a/b/c/", "a/b"},
                          Case{"C:\\dir\\x", "C:\\dir"}, Case{"name", ""}, Case{"C:x", ""},
                          Case{"http://host/dir/page.htm", "http://host/dir"}})
        EXPECT_EQ(GetParentFolder(c.in), c.out) << c.in;
}

TEST(PathText, FileNameAndExtension)
{
    EXPECT_EQ(GetFileName("http://h/dir/page.htm?x=1", true), "page");
    EXPECT_EQ(GetFileName("http://h/dir/page.htm?x=1.5"), "page.htm");
    EXPECT_EQ(GetFileName("\\"), "\\");
    EXPECT_EQ(GetFileName("C:\\dir\\sub\\"), "sub");
    EXPECT_EQ(GetFileName("C:\\dir\\a.b.txt", true), "a.b");
    EXPECT_EQ(GetFileName("plain.lib", true), "plain");

    EXPECT_EQ(RemoveExtension("C:\\dir\\x.lib"), "C:\\dir\\x");
    EXPECT_EQ(RemoveExtension("C:\\dir.old\\file"), "C:\\dir.old\\file");
    EXPECT_EQ(GetFileExtension("C:\\dir.old\\file"), "");
    EXPECT_EQ(GetFileExtension("C:\\d\\USER.LIB", true), "lib");
    EXPECT_EQ(GetFileExtension("C:\\d\\USER.LIB"), "LIB");
    EXPECT_EQ(GetFileExtension(""), "");
    EXPECT_EQ(GetFileExtension("noext"), "");
}

TEST(PathText, JoinAndCompare)
{
    EXPECT_EQ(JoinPath("C:\\a", "b"), "C:\\a\\b");
    EXPECT_EQ(JoinPath("C:\\a\\", "b"), "C:\\a\\b");
    EXPECT_EQ(JoinPath("http://h/d", "p.htm"), "http://h/d/p.htm");
    EXPECT_EQ(JoinPath("", "y"), "y");
    EXPECT_EQ(JoinPath("name", "y"), "name\\y");
    EXPECT_EQ(JoinPath("a/b", "c", '\\'), "a/b\\c");

    EXPECT_TRUE(IsSamePath("c:/A/b", "C:\\a\\B\\"));
    EXPECT_FALSE(IsSamePath("C:\\a\\b", "C:\\a\\bc"));

    EXPECT_EQ(GetRelativePath("C:\\Data", "c:\\data\\libraries\\x.lib"), "libraries\\x.lib");
    EXPECT_EQ(GetRelativePath("C:\\Data", "D:\\other\\x.lib"), "D:\\other\\x.lib");
    EXPECT_EQ(GetRelativePath("C:\\Data\\Sub", "C:\\Data"), "C:\\Data");
}

TEST(PathText, RelativeAndRoot)
{
    for (const char *p : {"", "a", "ab\\c", "\\single", "/x"})
        EXPECT_TRUE(IsRelativePath(p)) << p;
    for (const char *p : {"C:", "C:\\x", "\\\\server\\share"})
        EXPECT_FALSE(IsRelativePath(p)) << p;

    for (const char *p : {"\\", "/", "C:\\", "z:/"})
        EXPECT_TRUE(IsRootPath(p)) << p;
    for (const char *p : {"", "C:", "C:\\a", "1:\\", "\\\\"})
        EXPECT_FALSE(IsRootPath(p)) << p;
}

TEST(PathText, ShortenPathKeepsExtensionAndMaximum)
{
    const std::string folder = "C:\\" + std::string(288, 'd');
    const std::string path = folder + "\\name.txt";
    ASSERT_EQ(path.size(), 300u);
    const CString shortened = ShortenPath(path.c_str(), 259);
    EXPECT_EQ(shortened.GetLength(), 259);
    EXPECT_EQ(std::string(shortened), path.substr(0, 253) + ".." + ".txt");

    const std::string fits = "C:\\" + std::string(250, 'x') + ".txt";
    EXPECT_EQ(ShortenPath(fits.c_str(), 259), fits.c_str());
    // The extension is only what follows the last '.' of the file name.
    const std::string noExt = "C:\\a.b\\" + std::string(30, 'n');
    EXPECT_EQ(ShortenPath(noExt.c_str(), 20), noExt.substr(0, 18) + "..");
    // No room for a head besides ".." and the extension: unchanged.
    EXPECT_EQ(ShortenPath("C:\\dir\\file.extension", 12), "C:\\dir\\file.extension");
}
