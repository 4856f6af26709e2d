// The player's block input: any bytes split into stream blocks, each block's video decoded.
// The first byte chooses the stream buffer size so that the over-long-block path is reached.
#include "player/H264Decoder.h"
#include "player/StreamBlock.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static player::H264Decoder* decoder = new player::H264Decoder();
    player::BlockSplitter splitter(data[0] & 1 ? 4096 : 921600);
    player::StreamBlock block;
    int frames = 0;
    auto count = [&](const player::DecodedFrame& f) { frames += f.width > 0 && f.y != nullptr; };
    // Fed in pieces of varying size, as a network delivers them.
    size_t off = 1, piece = 1 + (data[0] >> 1);
    while (off < size) {
        size_t n = piece < size - off ? piece : size - off;
        splitter.Feed(data + off, n);
        off += n;
        while (splitter.Next(block))
            decoder->Decode(reinterpret_cast<const uint8_t*>(block.video.data()), block.video.size(), count);
    }
    // The raw bytes straight into the decoder as well.
    decoder->Decode(data + 1, size - 1, count);
    return frames < 0;
}
