#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "Md5Rc4.h"
#include "StringCipher.h"

namespace {
class StringCipherTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(AcquireCryptProvider()); }
    void TearDown() override { ReleaseCryptProvider(); }
};

std::string Hex(const unsigned char *bytes, size_t count)
{
    std::string hex(2 * count + 1, '\0');
    BytesToHex(bytes, static_cast<int>(count), &hex[0]);
    hex.resize(2 * count);
    return hex;
}

TEST_F(StringCipherTest, KnownCipherText)
{
    // RC4 keyed by the first 5 bytes of MD5("abc") and 11 zero bytes.
    EXPECT_EQ(EncryptToHex("hello world", "abc"), "14B784870478B2B9588B17");
    EXPECT_EQ(DecryptFromHex("14B784870478B2B9588B17", "abc"), "hello world");
    EXPECT_EQ(DecryptFromHex("14b784870478b2b9588b17", "abc"), "hello world");  // either case
}

TEST_F(StringCipherTest, RoundTrips)
{
    const std::string longPhrase(100, 'p');
    const struct {
        const char *text, *phrase;
    } cases[] = {
        {"x", "k"},
        {"PassWord123", "kovmirta"},
        {"\xE9t\xE9 \xFF\x80\x01", "abc"},  // bytes above 0x7F
        {"a phrase, well beyond the nineteen characters of a small buffer", "a pass phrase longer than 19 characters"},
        {"tab\there", longPhrase.c_str()},
        {"default", ""},
    };
    for (const auto &c : cases) {
        const CString hex = EncryptToHex(c.text, c.phrase);
        EXPECT_EQ(hex.GetLength(), 2 * static_cast<int>(std::strlen(c.text))) << c.text;
        EXPECT_EQ(hex.SpanIncluding("0123456789ABCDEF"), hex) << c.text;
        EXPECT_EQ(DecryptFromHex(hex, c.phrase), c.text) << c.text;
    }
    EXPECT_EQ(EncryptToHex("", "abc"), "");
    EXPECT_EQ(DecryptFromHex("", "abc"), "");
}

TEST_F(StringCipherTest, PassPhrases)
{
    const std::string first64(64, 'q');
    EXPECT_EQ(EncryptToHex("text", (first64 + "A").c_str()), EncryptToHex("text", (first64 + "B").c_str()));
    EXPECT_EQ(EncryptToHex("text", (first64 + "A").c_str()), EncryptToHex("text", first64.c_str()));
    // Every one of the 64 counts, well past 19.
    std::string other = first64;
    other[63] = 'r';
    EXPECT_NE(EncryptToHex("text", other.c_str()), EncryptToHex("text", first64.c_str()));
    other = first64;
    other[19] = 'r';
    EXPECT_NE(EncryptToHex("text", other.c_str()), EncryptToHex("text", first64.c_str()));

    char phrase[17];
    MakeDefaultPassPhrase(phrase);
    EXPECT_EQ(std::strlen(phrase), 16u);
    EXPECT_EQ(CString(phrase).SpanIncluding("abcdefghijklmnopqrstuvwxyz"), phrase);
    char again[17];
    MakeDefaultPassPhrase(again);
    EXPECT_STREQ(phrase, again);
    EXPECT_EQ(EncryptToHex("text", ""), EncryptToHex("text", phrase));

    // A wrong phrase gives other bytes, never the text.
    EXPECT_NE(DecryptFromHex(EncryptToHex("text", "right"), "wrong"), "text");
}

TEST_F(StringCipherTest, DefaultPassPhraseLeavesRandAlone)
{
    std::srand(1234);
    const int expected[3] = {std::rand(), std::rand(), std::rand()};
    std::srand(1234);
    const int first = std::rand();
    char phrase[17];
    MakeDefaultPassPhrase(phrase);
    EXPECT_EQ(first, expected[0]);
    EXPECT_EQ(std::rand(), expected[1]);
    EXPECT_EQ(std::rand(), expected[2]);
}

TEST_F(StringCipherTest, HexForms)
{
    const unsigned char bytes[] = {0x00, 0x7F, 0x80, 0xFF, 0x0a};
    EXPECT_EQ(Hex(bytes, 5), "007F80FF0A");  // unsigned, two digits each
    EXPECT_EQ(Hex(bytes, 0), "");

    unsigned char out[4] = {9, 9, 9, 9};
    HexToBytes("ff0A7", out);  // an odd last digit is ignored
    EXPECT_EQ(out[0], 0xFF);
    EXPECT_EQ(out[1], 0x0A);
    EXPECT_EQ(out[2], 9);

    HexToBytes("0A z1g", out);  // a pair that is not hexadecimal repeats the byte before
    EXPECT_EQ(out[0], 0x0A);
    EXPECT_EQ(out[1], 0x0A);
    EXPECT_EQ(out[2], 0x01);
}

TEST(StringCipher, NoProviderFails)
{
    ReleaseCryptProvider();
    EXPECT_EQ(EncryptToHex("hello world", "abc"), "");
    EXPECT_EQ(DecryptFromHex("14B784870478B2B9588B17", "abc"), "");
    unsigned char data[3] = {1, 2, 3};
    DWORD length = 3;
    EXPECT_FALSE(EncryptBuffer(0, "abc", data, length));
    EXPECT_EQ(data[0], 1);
}

TEST(Md5Rc4, KnownValues)
{
    const std::string eighty = std::string("1234567890") + "1234567890" + "1234567890" + "1234567890" +
                               "1234567890" + "1234567890" + "1234567890" + "1234567890";
    const struct {
        std::string input;
        const char *digest;
    } cases[] = {
        {"", "D41D8CD98F00B204E9800998ECF8427E"},
        {"a", "0CC175B9C0F1B6A831C399E269772661"},
        {"abc", "900150983CD24FB0D6963F7D28E17F72"},
        {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
        {eighty, "57EDF4A22BE3C955AC49DA2E2107B67A"},
        {std::string(55, 'x'), "04364420E25C512FD958A70738AA8F72"},  // padding fits one block
        {std::string(56, 'x'), "668A72D5BA17F08E62DABCAFAD6DB14B"},  // padding needs a second
        {std::string(64, 'x'), "C1BB4F81D892B2D57947682AEB252456"},
    };
    for (const auto &c : cases) {
        unsigned char digest[16];
        Md5Digest(c.input.data(), c.input.size(), digest);
        EXPECT_EQ(Hex(digest, 16), c.digest) << c.input.size();
    }

    unsigned char text[] = {'P', 'l', 'a', 'i', 'n', 't', 'e', 'x', 't'};
    Rc4Apply(reinterpret_cast<const unsigned char *>("Key"), 3, text, sizeof text);
    EXPECT_EQ(Hex(text, sizeof text), "BBF316E8D940AF0AD3");

    unsigned char key[16];
    DeriveRc4KeyFromMd5("abc", 3, key);
    EXPECT_EQ(Hex(key, 16), "900150983C0000000000000000000000");
}
}  // namespace
