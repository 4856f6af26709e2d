// MD5 digests (RFC 1321) as lower-case hexadecimal text.
#pragma once

#include <cstddef>

class CMd5Hash {
public:
    CMd5Hash();
    ~CMd5Hash();
    CMd5Hash(const CMd5Hash&) = delete;
    CMd5Hash& operator=(const CMd5Hash&) = delete;

    // Appends bytes; a null pointer or length 0 is ignored. After a digest, new data starts a new message.
    void Update(const void* data, size_t length);
    // Writes 32 hexadecimal characters, no terminator: pass a zeroed buffer of at least 33 bytes.
    void GetHexDigest(char* output);

private:
    struct Context;
    Context* m_pContext;
};
