#include "StringCipher.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "TextHelpers.h"

// Implemented per platform: the provider's MD5-derived RC4, or our own.
bool CipherApply(uintptr_t provider, const char *passPhrase, size_t phraseLength, unsigned char *data,
                 DWORD &length, bool encrypt);

namespace {
const size_t kPassPhraseMax = 64;

BOOL Apply(uintptr_t provider, const char *passPhrase, unsigned char *data, DWORD &length, bool encrypt)
{
    if (!provider || !passPhrase || !data)
        return FALSE;
    const size_t phraseLength = strnlen(passPhrase, kPassPhraseMax);
    return CipherApply(provider, passPhrase, phraseLength, data, length, encrypt) ? TRUE : FALSE;
}

int HexDigit(char c) { return IsHexDigit(c) ? HexDigitValue(c) : -1; }

CString PassPhraseOrDefault(const char *passPhrase)
{
    if (passPhrase && *passPhrase)
        return passPhrase;
    char phrase[17];
    MakeDefaultPassPhrase(phrase);
    return phrase;
}
}  // namespace

BOOL EncryptBuffer(uintptr_t provider, const char *passPhrase, unsigned char *data, DWORD &length)
{
    return Apply(provider, passPhrase, data, length, true);
}

BOOL DecryptBuffer(uintptr_t provider, const char *passPhrase, unsigned char *data, DWORD &length)
{
    return Apply(provider, passPhrase, data, length, false);
}

void BytesToHex(const unsigned char *bytes, int count, char *out)
{
    static const char kDigits[] = "0123456789ABCDEF";
    for (int i = 0; i < count; ++i) {
        out[2 * i] = kDigits[bytes[i] >> 4];
        out[2 * i + 1] = kDigits[bytes[i] & 0x0F];
    }
    out[count > 0 ? 2 * count : 0] = '\0';
}

void HexToBytes(const char *text, unsigned char *out)
{
    const size_t pairs = std::strlen(text) / 2;
    unsigned char value = 0;
    for (size_t i = 0; i < pairs; ++i) {
        const int high = HexDigit(text[2 * i]);
        if (high >= 0) {
            const int low = HexDigit(text[2 * i + 1]);
            value = static_cast<unsigned char>(low >= 0 ? high * 16 + low : high);
        }
        out[i] = value;
    }
}

CString EncryptToHex(const char *text, const char *passPhrase)
{
    const size_t length = text ? std::strlen(text) : 0;
    if (length == 0)
        return CString();
    std::vector<unsigned char> bytes(text, text + length + 1);
    DWORD count = static_cast<DWORD>(length);
    if (!EncryptBuffer(g_hCryptProv, PassPhraseOrDefault(passPhrase), bytes.data(), count))
        return CString();
    std::vector<char> hex(2 * static_cast<size_t>(count) + 1);
    BytesToHex(bytes.data(), static_cast<int>(count), hex.data());
    return hex.data();
}

CString DecryptFromHex(const char *hex, const char *passPhrase)
{
    if (!hex || !*hex)
        return CString();
    const size_t count = std::strlen(hex) / 2;
    std::vector<unsigned char> bytes(count + 1, 0);
    HexToBytes(hex, bytes.data());
    DWORD length = static_cast<DWORD>(count);
    if (!DecryptBuffer(g_hCryptProv, PassPhraseOrDefault(passPhrase), bytes.data(), length))
        return CString();
    bytes[count] = 0;
    return reinterpret_cast<const char *>(bytes.data());
}

void MakeDefaultPassPhrase(char *buffer)
{
    // A generator of our own with a fixed seed (the runtime's rand recurrence
    // and range), so the phrase is the same on every call and no other user
    // of rand sees its sequence change.
    uint32_t state = 0x4C58u;
    for (int i = 0; i < 16; ++i) {
        state = state * 214013u + 2531011u;
        const uint32_t r = (state >> 16) & 0x7FFFu;
        buffer[i] = static_cast<char>('a' + r * 25u / 32767u);
    }
    buffer[16] = '\0';
}
