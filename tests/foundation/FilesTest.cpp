#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Files.h"
#include "PathText.h"
#include "TempDir.h"

TEST(Files, ExistenceAndSizes)
{
    TempDir dir;
    const std::string file = dir.Write("five.txt", "12345");
    const std::string folder = dir.Path("sub");
    ASSERT_TRUE(CreateFolderPath(folder.c_str()));

    EXPECT_TRUE(FileExists(file.c_str()));
    EXPECT_TRUE(FileExists(folder.c_str()));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(dir.Path("missing").c_str()));

    EXPECT_TRUE(FolderExists(folder.c_str()));
    EXPECT_TRUE(FolderExists(AddTrailingSeparator(folder.c_str())));
    EXPECT_FALSE(FolderExists(file.c_str()));
    EXPECT_FALSE(FolderExists(dir.Path("missing").c_str()));
    EXPECT_FALSE(FolderExists(""));
    EXPECT_TRUE(FolderExists("C:\\"));  // a drive root is taken as existing

    EXPECT_EQ(GetFileLength(file.c_str()), 5);
    EXPECT_EQ(GetFileLength(dir.Path("missing").c_str()), -1);
    EXPECT_EQ(GetFileSize64(file.c_str()), 5);
    EXPECT_EQ(GetFileSize64(dir.Path("missing").c_str()), -1);
}

TEST(Files, CreateFolderPathMakesParentsAndRefusesFiles)
{
    TempDir dir;
    const std::string deep = dir.Path("a/b/c");
    EXPECT_TRUE(CreateFolderPath(deep.c_str()));
    EXPECT_TRUE(FolderExists(deep.c_str()));
    EXPECT_TRUE(CreateFolderPath(deep.c_str()));  // already there

    const std::string file = dir.Write("plain", "x");
    EXPECT_FALSE(CreateFolderPath(file.c_str()));
    EXPECT_FALSE(CreateFolderPath(JoinPath(file.c_str(), "child")));
    EXPECT_EQ(TempDir::Read(file), "x");
}

TEST(Files, ReadTextFile)
{
    TempDir dir;
    CString text = "untouched";
    EXPECT_EQ(ReadTextFile(dir.Path("missing").c_str(), text), -1);
    EXPECT_EQ(text, "untouched");

    const std::string crlf = dir.Write("crlf.txt", "a\r\nb\r\n");
    EXPECT_EQ(ReadTextFile(crlf.c_str(), text), 6);
    EXPECT_EQ(text, "a\nb\n");

    EXPECT_EQ(ReadTextFile(crlf.c_str(), text, 3), 3);  // at most size bytes
    EXPECT_EQ(text, "a\n");

    const std::string zero = dir.Write("zero.bin", std::string("ab\0cd", 5));
    EXPECT_EQ(ReadTextFile(zero.c_str(), text), 5);
    EXPECT_EQ(text, "ab");  // the text ends at its first 0 byte

    const std::string empty = dir.Write("empty.txt", "");
    text = "old";
    EXPECT_EQ(ReadTextFile(empty.c_str(), text), 0);
    EXPECT_EQ(text, "");
}

TEST(Files, WriteTextFileBytesOnDisk)
{
    TempDir dir;
    const std::string path = dir.Path("out.txt");
    ASSERT_TRUE(WriteTextFile(path.c_str(), "one\ntwo\n"));
    EXPECT_EQ(TempDir::Read(path), "one\r\ntwo\r\n");

    ASSERT_TRUE(WriteTextFile(path.c_str(), "a\nb", 1252, 0, true));
    EXPECT_EQ(TempDir::Read(path), "a\nb");

    // Replacing a longer file leaves exactly the new bytes and no temporary.
    ASSERT_TRUE(WriteTextFile(path.c_str(), std::string(5000, 'z').c_str()));
    ASSERT_TRUE(WriteTextFile(path.c_str(), "short", 0, 0, true));
    EXPECT_EQ(TempDir::Read(path), "short");

    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    ASSERT_TRUE(WriteTextFile(path.c_str(), all.c_str(), 0, 0, true));
    EXPECT_EQ(TempDir::Read(path), all);
    EXPECT_EQ(dir.List(), "out.txt");
}

TEST(Files, WriteTextFileFailuresKeepTheOldFile)
{
    TempDir dir;
    EXPECT_FALSE(WriteTextFile(dir.Path("no/such/folder/x.txt").c_str(), "x"));
    EXPECT_FALSE(WriteTextFile(dir.Path("x.txt").c_str(), "x", 0, -1));  // no attempt at all
    EXPECT_FALSE(FileExists(dir.Path("x.txt").c_str()));

    // A folder in the way: the write fails, is reported, and leaves nothing behind.
    ASSERT_TRUE(CreateFolderPath(dir.Path("taken").c_str()));
    EXPECT_FALSE(WriteTextFile(dir.Path("taken").c_str(), "data"));
    EXPECT_TRUE(FolderExists(dir.Path("taken").c_str()));
    EXPECT_EQ(dir.List(), "taken");
}

TEST(Files, CopyFolderTree)
{
    TempDir dir;
    dir.Write("src/top.lib", "T");
    dir.Write("src/sub/inner.lib", "I");
    dir.Write("src/.svn/entries", "S");
    dir.Write("src/sub/.svn/entries", "S");
    const std::string src = dir.Path("src");
    const std::string dst = dir.Path("dst");

    // Into the target: the source folder is recreated inside it; .svn is skipped at every level.
    ASSERT_TRUE(CopyFolderTree(src.c_str(), dst.c_str(), true, 0));
    EXPECT_EQ(dir.List("dst"), "src");
    EXPECT_EQ(dir.List("dst/src"), "sub top.lib");
    EXPECT_EQ(dir.List("dst/src/sub"), "inner.lib");
    EXPECT_EQ(TempDir::Read(dir.Path("dst/src/sub/inner.lib")), "I");

    // Over the target: existing files fail without the overwrite flag, the walk goes on.
    dir.Write("over/top.lib", "old");
    EXPECT_FALSE(CopyFolderTree(src.c_str(), dir.Path("over").c_str(), false, 0));
    EXPECT_EQ(TempDir::Read(dir.Path("over/top.lib")), "old");
    EXPECT_EQ(TempDir::Read(dir.Path("over/sub/inner.lib")), "I");
    EXPECT_TRUE(CopyFolderTree(src.c_str(), dir.Path("over").c_str(), false, COPYTREE_OVERWRITE));
    EXPECT_EQ(TempDir::Read(dir.Path("over/top.lib")), "T");

    EXPECT_TRUE(CopyFolderTree(src.c_str(), dir.Path("flat").c_str(), false, COPYTREE_NO_SUBFOLDERS));
    EXPECT_EQ(dir.List("flat"), "top.lib");

    EXPECT_FALSE(CopyFolderTree(dir.Path("missing").c_str(), dir.Path("t2").c_str(), false, 0));
}

TEST(Files, FolderQueries)
{
    TempDir dir;
    dir.Write("a/one.lib", "");
    dir.Write("a/two.txt", "");
    dir.Write("a/b/three.lib", "");
    dir.Write("a/.hidden/four.lib", "");
    ASSERT_TRUE(CreateFolderPath(dir.Path("empty").c_str()));

    EXPECT_EQ(CountFilesInTree(dir.Path("a").c_str(), "*.lib", false), 1);
    EXPECT_EQ(CountFilesInTree(dir.Path("a").c_str(), "*.lib", true), 2);
    EXPECT_TRUE(IsFolderEmpty(dir.Path("empty").c_str()));
    EXPECT_FALSE(IsFolderEmpty(dir.Path("a").c_str()));

    EXPECT_TRUE(IsPathInFolder(dir.Path("a").c_str(), dir.Path("a/b").c_str()));
    EXPECT_TRUE(IsPathInFolder(dir.Path("a").c_str(), dir.Path("a").c_str()));
    EXPECT_FALSE(IsPathInFolder(dir.Path("a/b").c_str(), dir.Path("a/bc").c_str()));
}

namespace {
// Every line of a file read backwards from its last byte, as the history
// reader does.
std::vector<std::string> LinesBackward(const std::string &path)
{
    std::vector<std::string> lines;
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return lines;
    std::fseek(file, -1, SEEK_END);
    bool atStart = false;
    for (int guard = 0; !atStart && guard < 100; ++guard) {
        CString line;
        ReadLineBackward(file, line, atStart);
        lines.push_back(line.GetString());
    }
    std::fclose(file);
    return lines;
}
}  // namespace

TEST(Files, ReadLineBackward)
{
    TempDir dir;
    const struct {
        std::string bytes;
        std::vector<std::string> lines;  // newest first
    } cases[] = {
        {"a\r\nbc\r\n", {"", "bc", "a"}},
        {"a\nbc", {"bc", "a"}},  // a one-character first line after an LF
        {"ab\ncd", {"cd", "ab"}},
        {"x", {"x"}},
        {"\n", {""}},
        {"", {""}},  // nothing to read: one empty line, no end-of-file byte in it
        {"one\r\n\r\ntwo", {"two", "", "one"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LinesBackward(dir.Write("h.txt", c.bytes)), c.lines) << "bytes: " << c.bytes;
}
