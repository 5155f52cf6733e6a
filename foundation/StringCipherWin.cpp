// The cipher through the system's cryptographic provider.
#include <windows.h>
#include <wincrypt.h>

#include "ErrorText.h"
#include "StringCipher.h"

uintptr_t g_hCryptProv = 0;

bool AcquireCryptProvider()
{
    HCRYPTPROV provider = 0;
    if (!CryptAcquireContextA(&provider, nullptr, MS_DEF_PROV_A, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
        return false;
    g_hCryptProv = static_cast<uintptr_t>(provider);
    return true;
}

void ReleaseCryptProvider()
{
    if (g_hCryptProv)
        CryptReleaseContext(static_cast<HCRYPTPROV>(g_hCryptProv), 0);
    g_hCryptProv = 0;
}

bool CipherApply(uintptr_t provider, const char *passPhrase, size_t phraseLength, unsigned char *data,
                 DWORD &length, bool encrypt)
{
    const HCRYPTPROV prov = static_cast<HCRYPTPROV>(provider);
    HCRYPTHASH hash = 0;
    if (!CryptCreateHash(prov, CALG_MD5, 0, 0, &hash))
        return false;
    HCRYPTKEY key = 0;
    const bool keyed = CryptHashData(hash, reinterpret_cast<const BYTE *>(passPhrase), static_cast<DWORD>(phraseLength), 0) &&
                       CryptDeriveKey(prov, CALG_RC4, hash, 0, &key);
    CryptDestroyHash(hash);
    if (!keyed)
        return false;
    const BOOL done = encrypt ? CryptEncrypt(key, 0, TRUE, 0, data, &length, length)
                              : CryptDecrypt(key, 0, FALSE, 0, data, &length);
    if (!done)
        ErrorText(0, true);
    CryptDestroyKey(key);
    return done != FALSE;
}
