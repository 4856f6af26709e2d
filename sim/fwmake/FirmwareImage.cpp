// Writing firmware images; see the header for the layout.
#include "fwmake/FirmwareImage.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace fwmake {

namespace {

void PutLe32(std::string& s, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + i] = char((v >> (8 * i)) & 0xFF);
}

// The payload is a repeatable byte stream of the seed.
class PayloadStream {
public:
    explicit PayloadStream(uint32_t seed) : x_(seed ? seed : 0x9E3779B9u) {}
    void Fill(char* out, size_t n)
    {
        for (size_t i = 0; i < n; ++i) {
            x_ ^= x_ << 13;
            x_ ^= x_ >> 17;
            x_ ^= x_ << 5;
            out[i] = char(x_ & 0xFF);
        }
    }

private:
    uint32_t x_;
};

constexpr size_t kChunk = 1 << 20;

} // namespace

std::string MakeHeader(const std::string& family, const std::string& version, uint32_t payloadSize,
                       uint32_t payloadCrc)
{
    std::string h(kHeaderSize, '\0');
    h[0] = 'Z';
    h[1] = 'R';
    h[2] = char(kFormat & 0xFF);
    h[3] = char(kFormat >> 8);
    PutLe32(h, 4, uint32_t(kHeaderSize));
    PutLe32(h, 8, payloadSize);
    PutLe32(h, 12, payloadCrc);
    h.replace(kFamilyOffset, std::min(family.size(), kFamilySize - 1), family.substr(0, kFamilySize - 1));
    h.replace(kVersionOffset, std::min(version.size(), kVersionSize - 1), version.substr(0, kVersionSize - 1));
    PutLe32(h, kHeaderCrcOffset, Crc32(0, h.data(), kHeaderCrcOffset));
    return h;
}

bool WriteImage(const std::string& path, const ImageOptions& opt, std::string* err)
{
    auto fail = [&](const std::string& why) {
        if (err)
            *err = why + ": " + path;
        return false;
    };
    if (opt.payloadSize > 0xFFFFFFFFull)
        return fail("payload larger than 4 GiB");
    // First pass: the checksum of the payload.
    std::vector<char> buf(kChunk);
    uint32_t crc = 0;
    {
        PayloadStream gen(opt.seed);
        for (uint64_t left = opt.payloadSize; left > 0;) {
            size_t n = size_t(std::min<uint64_t>(left, kChunk));
            gen.Fill(buf.data(), n);
            crc = Crc32(crc, buf.data(), n);
            left -= n;
        }
    }
    std::string header = MakeHeader(opt.family, opt.version, uint32_t(opt.payloadSize), crc);
    if (opt.magic.size() >= 2)
        header.replace(0, 2, opt.magic.substr(0, 2));
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!f)
        return fail("cannot create");
    const uint64_t total = kHeaderSize + opt.payloadSize;
    const uint64_t limit = opt.truncateTo >= 0 ? std::min<uint64_t>(uint64_t(opt.truncateTo), total) : total;
    uint64_t written = 0;
    auto put = [&](const char* data, size_t n) {
        size_t take = size_t(std::min<uint64_t>(n, limit - written));
        if (take && std::fwrite(data, 1, take, f.get()) != take)
            return false;
        written += take;
        return true;
    };
    if (!put(header.data(), header.size()))
        return fail("cannot write");
    PayloadStream gen(opt.seed);
    bool flipped = false;
    for (uint64_t left = opt.payloadSize; left > 0 && written < limit;) {
        size_t n = size_t(std::min<uint64_t>(left, kChunk));
        gen.Fill(buf.data(), n);
        if (opt.corruptPayload && !flipped) {
            buf[n / 2] = char(buf[n / 2] ^ 0x5A);
            flipped = true;
        }
        if (!put(buf.data(), n))
            return fail("cannot write");
        left -= n;
    }
    if (std::fflush(f.get()) != 0)
        return fail("cannot write");
    return true;
}

} // namespace fwmake
