// MD5 and RC4, and the key that the system's base cryptographic provider
// derives for RC4 from an MD5 hash: the host's implementation of the string
// cipher, giving the same bytes as the provider.
#pragma once

#include <cstddef>

void Md5Digest(const void *data, size_t length, unsigned char digest[16]);

// Enciphers or deciphers (the same operation) the bytes in place.
void Rc4Apply(const unsigned char *key, size_t keyLength, unsigned char *data, size_t length);

// The provider's default RC4 key from an MD5 hash of the pass phrase: 40 bits
// (the first 5 bytes of the digest) followed by 11 zero bytes of salt.
void DeriveRc4KeyFromMd5(const void *passPhrase, size_t length, unsigned char key[16]);
