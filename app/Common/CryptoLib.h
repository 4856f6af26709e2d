// libcrypto opened on first use (the reset-request seal), not linked: the program does not load
// it at start.
#pragma once

#include <openssl/bio.h>
#include <openssl/crypto.h>
#include <openssl/decoder.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>

#include <string>

namespace os {
class RuntimeLib;
}

// The functions of libcrypto that the program calls, by the names and types of its headers.
struct CryptoLib {
    decltype(&::BIO_new_mem_buf) BIO_new_mem_buf;
    decltype(&::BIO_free) BIO_free;
    decltype(&::OSSL_DECODER_CTX_new_for_pkey) OSSL_DECODER_CTX_new_for_pkey;
    decltype(&::OSSL_DECODER_from_bio) OSSL_DECODER_from_bio;
    decltype(&::OSSL_DECODER_CTX_free) OSSL_DECODER_CTX_free;
    decltype(&::EVP_PKEY_free) EVP_PKEY_free;
    decltype(&::EVP_PKEY_get_base_id) EVP_PKEY_get_base_id;
    decltype(&::EVP_PKEY_get_size) EVP_PKEY_get_size;
    decltype(&::EVP_PKEY_CTX_new) EVP_PKEY_CTX_new;
    decltype(&::EVP_PKEY_CTX_free) EVP_PKEY_CTX_free;
    decltype(&::EVP_PKEY_CTX_set_rsa_padding) EVP_PKEY_CTX_set_rsa_padding;
    decltype(&::EVP_PKEY_encrypt_init) EVP_PKEY_encrypt_init;
    decltype(&::EVP_PKEY_encrypt) EVP_PKEY_encrypt;
    decltype(&::EVP_CIPHER_CTX_new) EVP_CIPHER_CTX_new;
    decltype(&::EVP_CIPHER_CTX_free) EVP_CIPHER_CTX_free;
    decltype(&::EVP_aes_256_cbc) EVP_aes_256_cbc;
    decltype(&::EVP_EncryptInit_ex) EVP_EncryptInit_ex;
    decltype(&::EVP_EncryptUpdate) EVP_EncryptUpdate;
    decltype(&::EVP_EncryptFinal_ex) EVP_EncryptFinal_ex;
    decltype(&::RAND_bytes) RAND_bytes;
    decltype(&::OPENSSL_cleanse) OPENSSL_cleanse;
};

// Loads libcrypto once (any thread). Null when it or one of its functions could not be loaded;
// CryptoLibError() then says why, naming the library.
const CryptoLib* LoadCryptoLib();
std::string CryptoLibError();
// The loader itself: its SetSoname() is the test seam.
os::RuntimeLib& CryptoRuntimeLib();
