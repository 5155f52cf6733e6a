// The system's provider and our own MD5 and RC4 (the host build's cipher)
// side by side on many random inputs.
#include <gtest/gtest.h>

#include <windows.h>
#include <wincrypt.h>

#include <random>
#include <string>
#include <vector>

#include "Md5Rc4.h"
#include "StringCipher.h"

namespace {
std::string RandomBytes(std::mt19937 &random, size_t maxLength, int low)
{
    std::uniform_int_distribution<size_t> length(0, maxLength);
    std::uniform_int_distribution<int> byte(low, 255);
    std::string bytes(length(random), '\0');
    for (char &c : bytes)
        c = static_cast<char>(byte(random));
    return bytes;
}

TEST(StringCipherWin, ProviderMatchesOurMd5AndRc4)
{
    ASSERT_TRUE(AcquireCryptProvider());
    const HCRYPTPROV provider = static_cast<HCRYPTPROV>(g_hCryptProv);
    std::mt19937 random(20261210);
    for (int round = 0; round < 500; ++round) {
        // MD5 of any bytes, across the block boundaries.
        const std::string data = RandomBytes(random, 200, 0);
        HCRYPTHASH hash = 0;
        ASSERT_TRUE(CryptCreateHash(provider, CALG_MD5, 0, 0, &hash));
        ASSERT_TRUE(CryptHashData(hash, reinterpret_cast<const BYTE *>(data.data()), static_cast<DWORD>(data.size()), 0));
        BYTE system[16];
        DWORD size = sizeof system;
        ASSERT_TRUE(CryptGetHashParam(hash, HP_HASHVAL, system, &size, 0));
        CryptDestroyHash(hash);
        unsigned char ours[16];
        Md5Digest(data.data(), data.size(), ours);
        ASSERT_EQ(std::string(reinterpret_cast<char *>(system), 16), std::string(reinterpret_cast<char *>(ours), 16))
            << "MD5 of " << data.size() << " bytes";

        // The cipher: a phrase without 0 bytes (up to 80, so the 64 cut shows)
        // and a text of any bytes.
        const std::string phrase = RandomBytes(random, 80, 1);
        const std::string text = RandomBytes(random, 100, 0);
        std::vector<unsigned char> viaSystem(text.begin(), text.end()), viaOurs = viaSystem;
        viaSystem.push_back(0);
        DWORD length = static_cast<DWORD>(text.size());
        ASSERT_TRUE(EncryptBuffer(g_hCryptProv, phrase.c_str(), viaSystem.data(), length));
        ASSERT_EQ(length, text.size());
        unsigned char key[16];
        DeriveRc4KeyFromMd5(phrase.data(), phrase.size() < 64 ? phrase.size() : 64, key);
        Rc4Apply(key, sizeof key, viaOurs.data(), viaOurs.size());
        viaSystem.pop_back();
        ASSERT_EQ(viaSystem, viaOurs) << "phrase of " << phrase.size() << ", text of " << text.size();

        ASSERT_TRUE(DecryptBuffer(g_hCryptProv, phrase.c_str(), viaSystem.data(), length));
        ASSERT_EQ(std::string(viaSystem.begin(), viaSystem.end()), text);
    }
    ReleaseCryptProvider();
}
}  // namespace
