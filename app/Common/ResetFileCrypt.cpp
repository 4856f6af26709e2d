#include "Common/ResetFileCrypt.h"

#include "Common/CryptoLib.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

enum { KEY_TEXT_LIMIT = 4098, RSA_BLOCK = 256, HEADER = 16, CAPACITY_UNIT = 1600 };

struct FileCloser {
    void operator()(FILE* f) const { fclose(f); }
};
typedef std::unique_ptr<FILE, FileCloser> FilePtr;

bool EncryptKeyBlock(const CryptoLib& c, const char* keyPath, const unsigned char* block, size_t blockSize,
                     unsigned char* out)
{
    int error = 0;
    EVP_PKEY* key = ReadRsaKeyFile(keyPath, 1, &error);
    if (!key)
        return false;
    bool ok = false;
    if (c.EVP_PKEY_get_base_id(key) == EVP_PKEY_RSA && c.EVP_PKEY_get_size(key) == RSA_BLOCK) {
        EVP_PKEY_CTX* ctx = c.EVP_PKEY_CTX_new(key, nullptr);
        size_t outLen = RSA_BLOCK;
        ok = ctx && c.EVP_PKEY_encrypt_init(ctx) > 0 && c.EVP_PKEY_CTX_set_rsa_padding(ctx, RSA_PKCS1_PADDING) > 0 &&
             c.EVP_PKEY_encrypt(ctx, out, &outLen, block, blockSize) > 0 && outLen == RSA_BLOCK;
        c.EVP_PKEY_CTX_free(ctx);
    }
    c.EVP_PKEY_free(key);
    return ok;
}

bool EncryptData(const CryptoLib& c, const unsigned char* key, const unsigned char* iv, const std::vector<unsigned char>& plain,
                 std::vector<unsigned char>& out)
{
    EVP_CIPHER_CTX* ctx = c.EVP_CIPHER_CTX_new();
    if (!ctx)
        return false;
    out.resize(plain.size() + 16);
    int n1 = 0, n2 = 0;
    const bool ok = c.EVP_EncryptInit_ex(ctx, c.EVP_aes_256_cbc(), nullptr, key, iv) > 0 &&
                    c.EVP_EncryptUpdate(ctx, out.data(), &n1, plain.data(), int(plain.size())) > 0 &&
                    c.EVP_EncryptFinal_ex(ctx, out.data() + n1, &n2) > 0;
    c.EVP_CIPHER_CTX_free(ctx);
    out.resize(ok ? size_t(n1 + n2) : 0);
    return ok;
}

bool SamePath(const char* a, const char* b)
{
    struct stat sa {}, sb {};
    if (stat(a, &sa) != 0 || stat(b, &sb) != 0)
        return strcmp(a, b) == 0;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

} // namespace

EVP_PKEY* ReadRsaKeyFile(const char* keyPath, int isPublic, int* error)
{
    int dummy = 0;
    if (!error)
        error = &dummy;
    const CryptoLib* lib = LoadCryptoLib();
    if (!lib) {
        *error = 7;
        return nullptr;
    }
    const CryptoLib& c = *lib;
    FilePtr file(keyPath ? fopen(keyPath, "r") : nullptr);
    if (!file) {
        *error = 1;
        return nullptr;
    }
    std::vector<char> text(KEY_TEXT_LIMIT + 1, 0);
    const size_t n = fread(text.data(), 1, KEY_TEXT_LIMIT, file.get());
    file.reset();
    if (n == 0) {
        *error = 2;
        return nullptr;
    }
    BIO* bio = c.BIO_new_mem_buf(text.data(), -1);
    if (!bio) {
        *error = 5;
        return nullptr;
    }
    EVP_PKEY* key = nullptr;
    OSSL_DECODER_CTX* dctx = c.OSSL_DECODER_CTX_new_for_pkey(
        &key, "PEM", nullptr, "RSA", isPublic ? EVP_PKEY_PUBLIC_KEY : EVP_PKEY_KEYPAIR, nullptr, nullptr);
    if (!dctx || !c.OSSL_DECODER_from_bio(dctx, bio)) {
        c.EVP_PKEY_free(key);
        key = nullptr;
    }
    c.OSSL_DECODER_CTX_free(dctx);
    c.BIO_free(bio);
    if (!key) {
        *error = 6;
        printf("Failed to create RSA\n");
        return nullptr;
    }
    return key;
}

int EncryptResetFile(const char* plainPath, const char* outputPath, const char* keyPath, const char* version,
                     int factor)
{
    const size_t capacity = size_t(CAPACITY_UNIT) * size_t(factor > 0 ? factor : 1);
    std::vector<unsigned char> plain(capacity, 0);
    {
        FilePtr in(plainPath ? fopen(plainPath, "rb") : nullptr);
        if (!in)
            return RESET_FILE_CANNOT_OPEN;
        const size_t n = fread(plain.data(), 1, capacity, in.get());
        if (n == 0)
            return RESET_FILE_EMPTY;
        if (n >= capacity)
            return RESET_FILE_TOO_BIG;
        plain.resize(n);
    }

    const CryptoLib* lib = LoadCryptoLib();
    if (!lib)
        return RESET_FILE_NO_LIBRARY;
    const CryptoLib& c = *lib;
    // Key block: 32-byte AES key, then the 16-byte IV, which is all zeros.
    unsigned char block[48] = {};
    if (c.RAND_bytes(block, 32) != 1)
        return RESET_FILE_KEY_FAILED;
    unsigned char rsaOut[RSA_BLOCK] = {};
    std::vector<unsigned char> cipher;
    const bool sealed = EncryptKeyBlock(c, keyPath, block, sizeof block, rsaOut) &&
                        EncryptData(c, block, block + 32, plain, cipher);
    c.OPENSSL_cleanse(block, sizeof block);
    if (!sealed)
        return RESET_FILE_KEY_FAILED;

    unsigned char header[HEADER] = {'X', 'M', 'L', 'P', 'R', 'S', 'T', 1};
    const size_t versionLen = version ? strlen(version) : 0;
    for (size_t i = 0; i < 8; ++i) {
        const char c = i < versionLen ? version[i] : 0;
        header[8 + i] = (c >= '0' && c <= '9') ? uint8_t(c - '0') : 0;
    }
    const uint32_t n = uint32_t(cipher.size());
    const unsigned char length[4] = {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)};

    if (!outputPath)
        return RESET_FILE_CANNOT_CREATE;
    const std::string temp = std::string(outputPath) + ".tmp";
    {
        FilePtr out(fopen(temp.c_str(), "wb"));
        if (!out)
            return RESET_FILE_CANNOT_CREATE;
        const bool written = fwrite(header, 1, HEADER, out.get()) == HEADER &&
                             fwrite(rsaOut, 1, RSA_BLOCK, out.get()) == RSA_BLOCK &&
                             fwrite(length, 1, 4, out.get()) == 4 &&
                             fwrite(cipher.data(), 1, cipher.size(), out.get()) == cipher.size() &&
                             fflush(out.get()) == 0;
        if (!written) {
            out.reset();
            unlink(temp.c_str());
            return RESET_FILE_CANNOT_CREATE;
        }
    }
    const bool sameFile = SamePath(plainPath, outputPath);
    if (rename(temp.c_str(), outputPath) != 0) {
        unlink(temp.c_str());
        return RESET_FILE_CANNOT_CREATE;
    }
    if (!sameFile)
        unlink(plainPath);
    return RESET_FILE_OK;
}

void FreeRsaKey(EVP_PKEY* key)
{
    if (const CryptoLib* c = key ? LoadCryptoLib() : nullptr)
        c->EVP_PKEY_free(key);
}

std::string ResetFileCryptError() { return CryptoLibError(); }
