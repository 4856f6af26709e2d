// The sealed password-reset request: the plain XML under AES-256-CBC with a fresh key, the key under the
// service's RSA public key. Layout: "XMLPRST", version 1, eight version digits, 256-byte RSA block,
// big-endian length N, N encrypted bytes.
#pragma once

#include <string>

typedef struct evp_pkey_st EVP_PKEY;

enum {
    RESET_FILE_OK = 0,
    RESET_FILE_CANNOT_OPEN = 1,
    RESET_FILE_EMPTY = 2,
    RESET_FILE_TOO_BIG = 3,
    RESET_FILE_CANNOT_CREATE = 4,
    RESET_FILE_KEY_FAILED = 5,
    RESET_FILE_NO_LIBRARY = 6, // the cryptographic library could not be loaded
};

// Seals `plainPath` into `outputPath` (they may be the same file). The capacity is 1600 x factor bytes
// (1600 for factor 0). The plain file is deleted only after the container has been written; on any
// failure it stays and no container is left behind.
int EncryptResetFile(const char* plainPath, const char* outputPath, const char* keyPath, const char* version,
                     int factor);

// Reads a PEM RSA key (public: SubjectPublicKeyInfo or PKCS#1 form; else private). Null on failure with
// *error 1 cannot open, 2 nothing read, 5 cannot wrap the text, 6 no key, 7 no cryptographic library;
// unchanged on success. Free the result with FreeRsaKey.
EVP_PKEY* ReadRsaKeyFile(const char* keyPath, int isPublic, int* error);
void FreeRsaKey(EVP_PKEY* key);

// Why the cryptographic library could not be loaded, naming it (after RESET_FILE_NO_LIBRARY or error 7).
std::string ResetFileCryptError();
