// Symmetric encryption of short strings with a pass phrase (RC4 keyed by the
// MD5 hash of the phrase, through the system's cryptographic provider), and
// the hexadecimal text form in which cipher text is stored in settings.
#pragma once

#include <cstdint>

#include "CString.h"

// The application's cryptographic provider handle (0: none). The start-up
// acquires it with AcquireCryptProvider and shut-down releases it; every
// operation below fails while there is none.
extern uintptr_t g_hCryptProv;
bool AcquireCryptProvider();
void ReleaseCryptProvider();

// Only the first 64 characters of a pass phrase count. RC4 keeps the length:
// the data is changed in place and length stays as it was.
BOOL EncryptBuffer(uintptr_t provider, const char *passPhrase, unsigned char *data, DWORD &length);
BOOL DecryptBuffer(uintptr_t provider, const char *passPhrase, unsigned char *data, DWORD &length);

// Two upper-case hexadecimal digits per byte and a terminating 0: out holds
// at least 2 * count + 1 characters.
void BytesToHex(const unsigned char *bytes, int count, char *out);
// Byte i from the pair at 2i (either case), for every whole pair; out holds
// at least length / 2 bytes. A pair that does not begin with a hexadecimal
// digit repeats the previous byte (0 for the first).
void HexToBytes(const char *text, unsigned char *out);

// The cipher text in hexadecimal; "" for an empty text or when encryption
// fails. An empty pass phrase means the default one.
CString EncryptToHex(const char *text, const char *passPhrase);
// The plain text up to its first 0 byte; "" for an empty input or a failure.
CString DecryptFromHex(const char *hex, const char *passPhrase);

// The built-in pass phrase: 16 lower-case letters and a 0 (buffer of at
// least 17 bytes), made anew on each call and never stored.
void MakeDefaultPassPhrase(char *buffer);
