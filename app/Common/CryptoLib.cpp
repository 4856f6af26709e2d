#include "Common/CryptoLib.h"

#include "os/RuntimeLib.h"

namespace {

CryptoLib g_crypto{};

void Bind(os::RuntimeLib& l)
{
#define VX_BIND(fn) l.Bind(g_crypto.fn, #fn)
    VX_BIND(BIO_new_mem_buf);
    VX_BIND(BIO_free);
    VX_BIND(OSSL_DECODER_CTX_new_for_pkey);
    VX_BIND(OSSL_DECODER_from_bio);
    VX_BIND(OSSL_DECODER_CTX_free);
    VX_BIND(EVP_PKEY_free);
    VX_BIND(EVP_PKEY_get_base_id);
    VX_BIND(EVP_PKEY_get_size);
    VX_BIND(EVP_PKEY_CTX_new);
    VX_BIND(EVP_PKEY_CTX_free);
    VX_BIND(EVP_PKEY_CTX_set_rsa_padding);
    VX_BIND(EVP_PKEY_encrypt_init);
    VX_BIND(EVP_PKEY_encrypt);
    VX_BIND(EVP_CIPHER_CTX_new);
    VX_BIND(EVP_CIPHER_CTX_free);
    VX_BIND(EVP_aes_256_cbc);
    VX_BIND(EVP_EncryptInit_ex);
    VX_BIND(EVP_EncryptUpdate);
    VX_BIND(EVP_EncryptFinal_ex);
    VX_BIND(RAND_bytes);
    VX_BIND(OPENSSL_cleanse);
#undef VX_BIND
}

} // namespace

os::RuntimeLib& CryptoRuntimeLib()
{
    static os::RuntimeLib lib(VX_CRYPTO_SONAME, Bind);
    return lib;
}

const CryptoLib* LoadCryptoLib() { return CryptoRuntimeLib().Load() ? &g_crypto : nullptr; }

std::string CryptoLibError() { return CryptoRuntimeLib().Error(); }
