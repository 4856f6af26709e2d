#include "PngTestFiles.h"

#include <csetjmp>
#include <vector>

#include <QtEndian>

#include <png.h>
#include <zlib.h>

namespace {

unsigned Next(unsigned& state)
{
    state = state * 1103515245u + 12345u;
    return state >> 16;
}

void Append(png_structp png, png_bytep data, size_t size)
{
    static_cast<QByteArray*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

void Flush(png_structp) {}

QByteArray Chunk(const char* type, const QByteArray& body)
{
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(body.size()), out.data());
    const QByteArray typed = QByteArray(type, 4) + body;
    out += typed;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(
                              crc32(0, reinterpret_cast<const Bytef*>(typed.constData()), static_cast<uInt>(typed.size()))),
                          crc.data());
    return out + crc;
}

// Only plain C data in this frame: libpng's errors jump back into it.
bool Encode(QByteArray* out, const PngKind& kind, png_color* palette, int entries, png_byte* alphas,
            const png_color_16* key, png_bytep* rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, Append, Flush);
    png_set_IHDR(png, info, kind.width, kind.height, kind.bitDepth, kind.colorType,
                 kind.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (palette)
        png_set_PLTE(png, info, palette, entries);
    if (alphas)
        png_set_tRNS(png, info, alphas, entries, nullptr);
    if (key)
        png_set_tRNS(png, info, nullptr, 0, key);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

QByteArray WritePng(const PngKind& kind, unsigned seed)
{
    int channels = 1;
    if (kind.colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        channels = 2;
    else if (kind.colorType == PNG_COLOR_TYPE_RGB)
        channels = 3;
    else if (kind.colorType == PNG_COLOR_TYPE_RGB_ALPHA)
        channels = 4;
    const size_t rowBytes = (static_cast<size_t>(kind.width) * channels * kind.bitDepth + 7) / 8;
    std::vector<png_byte> pixels(rowBytes * kind.height);
    for (png_byte& b : pixels)
        b = static_cast<png_byte>(Next(seed));
    std::vector<png_bytep> rows(kind.height);
    for (int y = 0; y < kind.height; ++y)
        rows[y] = pixels.data() + rowBytes * y;
    std::vector<png_color> palettes(1u << (kind.bitDepth <= 8 ? kind.bitDepth : 8));
    std::vector<png_byte> alphas(palettes.size());
    for (size_t i = 0; i < palettes.size(); ++i) {
        palettes[i] = png_color{static_cast<png_byte>(Next(seed)), static_cast<png_byte>(Next(seed)),
                               static_cast<png_byte>(Next(seed))};
        // Clear, opaque and in between.
        alphas[i] = i % 3 == 0 ? 0 : i % 3 == 1 ? 255 : static_cast<png_byte>(Next(seed));
    }
    png_color_16 key{};
    const png_color_16* keyUsed = nullptr;
    if (kind.colorType != PNG_COLOR_TYPE_PALETTE && kind.transparency) {
        // The colour of the first pixel is the transparent one.
        const int shift = kind.bitDepth < 8 ? 8 - kind.bitDepth : 0;
        const unsigned first = kind.bitDepth == 16 ? (pixels[0] << 8 | pixels[1]) : pixels[0] >> shift;
        key.gray = static_cast<png_uint_16>(first);
        if (kind.colorType == PNG_COLOR_TYPE_RGB) {
            const int step = kind.bitDepth / 8;
            auto sample = [&](int i) {
                return static_cast<png_uint_16>(step == 2 ? (pixels[2 * i] << 8 | pixels[2 * i + 1]) : pixels[i]);
            };
            key.red = sample(0);
            key.green = sample(1);
            key.blue = sample(2);
        }
        keyUsed = &key;
    }
    QByteArray out;
    const bool palette = kind.colorType == PNG_COLOR_TYPE_PALETTE;
    if (!Encode(&out, kind, palette ? palettes.data() : nullptr, static_cast<int>(palettes.size()),
                palette && kind.transparency ? alphas.data() : nullptr, keyUsed, rows.data()))
        return QByteArray();
    return out;
}

QByteArray PngWithHeader(quint32 width, quint32 height, int bitDepth, int colorType)
{
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(width, header.data());
    qToBigEndian<quint32>(height, header.data() + 4);
    header[8] = static_cast<char>(bitDepth);
    header[9] = static_cast<char>(colorType);
    // A zlib stream of a few zero bytes: enough for the reader to reach the header's end.
    const QByteArray zeros(64, '\0');
    uLongf packedSize = compressBound(static_cast<uLong>(zeros.size()));
    QByteArray packed(static_cast<qsizetype>(packedSize), '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(zeros.constData()),
             static_cast<uLong>(zeros.size()));
    packed.resize(static_cast<qsizetype>(packedSize));
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", header) + Chunk("IDAT", packed) +
           Chunk("IEND", QByteArray());
}

QByteArray WithChunk(const QByteArray& png, const char* type, const QByteArray& body)
{
    return png.left(33) + Chunk(type, body) + png.mid(33);
}
