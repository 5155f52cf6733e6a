// The host has no cryptographic provider: our own MD5 and RC4 give the bytes
// the provider gives, and a provider handle is only a mark that the start-up
// has run.
#include "Md5Rc4.h"
#include "StringCipher.h"

uintptr_t g_hCryptProv = 0;

bool AcquireCryptProvider()
{
    g_hCryptProv = 1;
    return true;
}

void ReleaseCryptProvider() { g_hCryptProv = 0; }

bool CipherApply(uintptr_t /*provider*/, const char *passPhrase, size_t phraseLength, unsigned char *data,
                 DWORD &length, bool /*encrypt*/)
{
    unsigned char key[16];
    DeriveRc4KeyFromMd5(passPhrase, phraseLength, key);
    Rc4Apply(key, sizeof key, data, length);
    return true;
}
