#ifndef ORVAN_UTILS_SHA1_H
#define ORVAN_UTILS_SHA1_H

#include <cstddef>
#include <cstdint>

namespace Orvan {
namespace Utils {

enum
{
    Sha1HashSize = 20,
    Sha1HexLength = 40
};

struct Sha1Context;

// SHA-1 digest. After final or hex, the next update starts a new hash.
class CSha1
{
public:
    CSha1();
    ~CSha1();
    CSha1(const CSha1&) = delete;
    CSha1& operator=(const CSha1&) = delete;

    void update(const void* data, size_t length);
    // Copies the 20 digest bytes; length must be at least Sha1HashSize.
    void final(uint8_t* out, size_t length);
    // 40 lower-case hex digits; a terminating NUL only when length > 40.
    void hex(char* out, size_t length);

private:
    void finish();
    Sha1Context* m_context;
};

namespace Detail {

// Compresses count 64-byte blocks into the five chaining words.
using Sha1CompressFn = void (*)(uint32_t state[5], const uint8_t* blocks, size_t count);
void sha1CompressPortable(uint32_t state[5], const uint8_t* blocks, size_t count);
// Null when the processor has no SHA instructions.
Sha1CompressFn sha1CompressAccelerated();

} // namespace Detail

} // namespace Utils
} // namespace Orvan

#endif
