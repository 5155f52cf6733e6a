#include "ShellTarget.h"

#include <gtest/gtest.h>

#include <string>

#include "TempDir.h"

TEST(UrlKind, KindsOfAddresses)
{
    const struct {
        const char *text;
        int kind;
    } cases[] = {
        {"", URL_KIND_UNKNOWN},
        {"www.example.com", URL_KIND_HTTP},          // a dotted host is a web address
        {"192.168.0.1/index.htm", URL_KIND_HTTP},
        {"http://example.com/a?b", URL_KIND_HTTP},
        {"HTTP://example.com", URL_KIND_HTTP},
        {"https://example.com", URL_KIND_HTTPS},
        {"ftp://user:pw@files.example.com:21/x", URL_KIND_FTP},
        {"nntp://news.example.com/group", URL_KIND_NNTP},
        {"telnet://host.example.com", URL_KIND_TELNET},
        {"mailto:a@example.com", URL_KIND_MAILTO},
        {"file:///c:/x.txt", URL_KIND_FILE},
        {"C:\\Program Files\\x.exe", URL_KIND_FILE},
        {"notepad", URL_KIND_UNKNOWN},               // no dot, no scheme
        {"\\\\server\\share\\a.txt", URL_KIND_UNKNOWN},
        {"http://", URL_KIND_UNKNOWN},
        {"what:ever", URL_KIND_UNKNOWN},
    };
    for (const auto &c : cases)
        EXPECT_EQ(GetUrlKind(c.text), c.kind) << c.text;
}

TEST(ShellOpenTarget, AddressesAndCommandLines)
{
    ShellOpenRequest r = PrepareShellOpen("  someone@example.com ", "");
    EXPECT_EQ(r.file, "mailto:someone@example.com");
    EXPECT_EQ(r.parameters, "");
    for (const char *given : {"mailto:someone@example.com", "MailTo:someone@example.com"}) {
        r = PrepareShellOpen(given, "");
        EXPECT_EQ(r.file, given);
    }
    r = PrepareShellOpen("no-such-program.exe /a \"b c\"", "");
    EXPECT_EQ(r.file, "no-such-program.exe");
    EXPECT_EQ(r.parameters, "/a \"b c\"");
    EXPECT_EQ(r.folder, "");
    r = PrepareShellOpen("http://example.com/x", "D:\\work");
    EXPECT_EQ(r.file, "http://example.com/x");
    EXPECT_EQ(r.folder, "D:\\work");
}

// A file whose name reads like an address, or holds spaces, is one target
// that opens in its own folder.
TEST(ShellOpenTarget, ExistingPathsAreOpenedAsTheyStand)
{
    TempDir dir;
    const std::string names[] = {"report@v1.2.doc", "my report.txt", "sub folder"};
    for (const std::string &name : names) {
        const std::string path = name == "sub folder" ? dir.Path(name) : dir.Write(name, "x");
        if (name == "sub folder")
            std::filesystem::create_directories(path);
        const ShellOpenRequest r = PrepareShellOpen(path.c_str(), "");
        EXPECT_EQ(r.file, path.c_str()) << name;
        EXPECT_EQ(r.parameters, "") << name;
    }
    const std::string file = dir.Write("report@v1.2.doc", "x");
#ifdef _WIN32
    EXPECT_EQ(PrepareShellOpen(file.c_str(), "").folder, dir.Path().c_str());
#endif
    EXPECT_EQ(PrepareShellOpen(file.c_str(), "E:\\elsewhere").folder, "E:\\elsewhere");
}
