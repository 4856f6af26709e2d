#include "Widgets/SFPngDecode.h"

#include <cstring>
#include <vector>

#include <QDir>
#include <QFile>

#include <png.h>

namespace {

const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

QString Sentence(const QString& path, const QString& reason)
{
    return QStringLiteral("The image %1 cannot be read: %2.").arg(QDir::toNativeSeparators(path), reason);
}

QString Damaged(const png_image& png)
{
    const QString message = QString::fromLatin1(png.message, static_cast<int>(qstrnlen(png.message, sizeof png.message)));
    return message.isEmpty() ? QStringLiteral("it is damaged")
                             : QStringLiteral("it is damaged (%1)").arg(message);
}

// Frees what libpng still holds when the image goes out of scope; libpng's own errors never leave
// its functions (the simplified reader catches them itself), so no jump crosses this frame.
struct PngReader {
    png_image png;
    QByteArray kept;  // the chunks libpng reads; alive until the image is freed
    PngReader()
    {
        std::memset(&png, 0, sizeof png);
        png.version = PNG_IMAGE_VERSION;
    }
    ~PngReader() { png_image_free(&png); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;
};

// The chunks worth reading: every critical chunk (an unknown one makes libpng refuse the file, as
// it should) and the transparency; every other ancillary chunk is dropped, so that no text, profile
// or unknown chunk is inflated or allocated at the size it claims, and colours are not corrected
// for a gamma, as Qt does not. Every chunk must lie inside the file.
QString KeepEssentialChunks(const QByteArray& data, QByteArray& kept)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    const qint64 size = data.size();
    qint64 at = 8;
    QByteArray out;
    bool dropped = false;
    while (at < size) {
        if (size - at < 12)
            return QStringLiteral("it is damaged (a chunk runs past the end of the file)");
        const quint32 length = static_cast<quint32>(bytes[at]) << 24 | static_cast<quint32>(bytes[at + 1]) << 16 |
                               static_cast<quint32>(bytes[at + 2]) << 8 | bytes[at + 3];
        if (length > static_cast<quint64>(size - at - 12))
            return QStringLiteral("it is damaged (a chunk runs past the end of the file)");
        const char* type = data.constData() + at + 4;
        const bool critical = (bytes[at + 4] & 0x20) == 0;
        const qint64 whole = 12 + static_cast<qint64>(length);
        if (critical || std::memcmp(type, "tRNS", 4) == 0) {
            if (dropped)
                out.append(data.constData() + at, whole);
        } else if (!dropped) {
            dropped = true;
            out = data.left(at);
        }
        at += whole;
        if (std::memcmp(type, "IEND", 4) == 0)
            break;
    }
    kept = dropped ? out : data;
    return QString();
}

// Reads the header from memory and checks the bounds; answers an empty text when it may be decoded.
QString BeginRead(PngReader& reader, const QByteArray& data)
{
    if (data.isEmpty())
        return QStringLiteral("the file is empty");
    if (data.size() > kSFPngMaxFileBytes)
        return QStringLiteral("the file is larger than %1 MiB").arg(kSFPngMaxFileBytes / (1024 * 1024));
    if (!SFIsPngData(data.constData(), data.size()))
        return QStringLiteral("it is not a PNG image");
    const QString chunks = KeepEssentialChunks(data, reader.kept);
    if (!chunks.isEmpty())
        return chunks;
    if (!png_image_begin_read_from_memory(&reader.png, reader.kept.constData(), static_cast<size_t>(reader.kept.size())))
        return Damaged(reader.png);
    const png_uint_32 width = reader.png.width;
    const png_uint_32 height = reader.png.height;
    if (width == 0 || height == 0 || width > static_cast<png_uint_32>(kSFPngMaxSide) ||
        height > static_cast<png_uint_32>(kSFPngMaxSide) ||
        static_cast<qint64>(width) * static_cast<qint64>(height) > kSFPngMaxPixels)
        return QStringLiteral("it is %1x%2 pixels, more than the %3x%3 or %4 pixels allowed")
            .arg(width)
            .arg(height)
            .arg(kSFPngMaxSide)
            .arg(kSFPngMaxPixels);
    if ((reader.png.format & PNG_FORMAT_FLAG_LINEAR) &&
        static_cast<qint64>(width) * static_cast<qint64>(height) * 8 > kSFPngMaxBufferBytes)
        return QStringLiteral("it is %1x%2 pixels of 16 bits, more than the %3 MiB allowed")
            .arg(width)
            .arg(height)
            .arg(kSFPngMaxBufferBytes / (1024 * 1024));
    return QString();
}

// 16-bit files are read with libpng's full reader: its simplified one mixes up the rows of
// interlaced 16-bit files, and reducing to 8 bits before premultiplying differs from Qt by a step.
// Its errors jump back to the setjmp in Read16Header / Read16Rows, frames of plain C data only.
struct Read16 {
    const png_byte* data;
    size_t size;
    size_t at;
    char message[64];
};

void Read16Error(png_structp png, png_const_charp message)
{
    auto* read = static_cast<Read16*>(png_get_error_ptr(png));
    qstrncpy(read->message, message ? message : "", sizeof read->message);
    png_longjmp(png, 1);
}

void Read16Warning(png_structp, png_const_charp) {}

void Read16Bytes(png_structp png, png_bytep out, size_t count)
{
    auto* read = static_cast<Read16*>(png_get_io_ptr(png));
    if (count > read->size - read->at)
        png_error(png, "the file ends too early");
    std::memcpy(out, read->data + read->at, count);
    read->at += count;
}

// Reads the header and sets the transforms to 16-bit RGBA in this machine's byte order.
bool Read16Header(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_user_limits(png, kSFPngMaxSide, kSFPngMaxSide);
    png_set_chunk_malloc_max(png, static_cast<png_alloc_size_t>(kSFPngMaxFileBytes));
    png_read_info(png, info);
    const png_byte type = png_get_color_type(png, info);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    else if ((type & PNG_COLOR_MASK_ALPHA) == 0)
        png_set_filler(png, 0xFFFF, PNG_FILLER_AFTER);
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    png_set_swap(png);
#endif
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return true;
}

bool Read16Rows(png_structp png, png_infop info, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
}

QImage Decode16(const QByteArray& data, QString* reason)
{
    Read16 read{reinterpret_cast<const png_byte*>(data.constData()), static_cast<size_t>(data.size()), 0, {}};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &read, Read16Error, Read16Warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    QImage image;
    QString problem;
    if (!info) {
        problem = QStringLiteral("there is not enough memory to read it");
    } else {
        png_set_read_fn(png, &read, Read16Bytes);
        if (!Read16Header(png, info)) {
            problem = QStringLiteral("it is damaged (%1)").arg(QString::fromLatin1(read.message));
        } else {
            const bool alpha = png_get_valid(png, info, PNG_INFO_tRNS) ||
                               (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA);
            const int width = static_cast<int>(png_get_image_width(png, info));
            const int height = static_cast<int>(png_get_image_height(png, info));
            image = QImage(width, height, QImage::Format_RGBA64);
            if (image.isNull() || png_get_rowbytes(png, info) != static_cast<size_t>(width) * 8) {
                problem = QStringLiteral("there is not enough memory for its %1x%2 pixels").arg(width).arg(height);
                image = QImage();
            } else {
                std::vector<png_bytep> rows(static_cast<size_t>(height));
                for (int y = 0; y < height; ++y)
                    rows[static_cast<size_t>(y)] = image.scanLine(y);
                if (!Read16Rows(png, info, rows.data())) {
                    problem = QStringLiteral("it is damaged (%1)").arg(QString::fromLatin1(read.message));
                    image = QImage();
                } else {
                    image.convertTo(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
                }
            }
        }
    }
    png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr);
    if (image.isNull() && reason)
        *reason = problem;
    return image;
}

// Reads the file (see SFReadPngBytes); answers an empty text on success.
QString ReadFile(const QString& path, QByteArray& data)
{
    QFile file(path);
    if (!file.exists())
        return QStringLiteral("the file does not exist");
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("the file cannot be opened (%1)").arg(file.errorString());
    if (file.size() > kSFPngMaxFileBytes)
        return QStringLiteral("the file is larger than %1 MiB").arg(kSFPngMaxFileBytes / (1024 * 1024));
    data = SFReadPngBytes(&file);
    if (data.isEmpty() && file.error() != QFileDevice::NoError)
        return QStringLiteral("the file cannot be read (%1)").arg(file.errorString());
    return QString();
}

} // namespace

bool SFIsPngData(const char* data, qint64 size)
{
    return data && size >= static_cast<qint64>(sizeof kSignature) && std::memcmp(data, kSignature, sizeof kSignature) == 0;
}

QByteArray SFReadPngBytes(QIODevice* device)
{
    if (!device)
        return QByteArray();
    // Allocated at the size the file has, not at the limit: most skin images are a few hundred bytes.
    if (!device->isSequential()) {
        const qint64 left = device->size() - device->pos();
        return device->read(qBound<qint64>(0, left, kSFPngMaxFileBytes + 1));
    }
    QByteArray data;
    while (data.size() <= kSFPngMaxFileBytes) {
        const QByteArray chunk = device->read(qMin<qint64>(64 * 1024, kSFPngMaxFileBytes + 1 - data.size()));
        if (chunk.isEmpty() && !device->waitForReadyRead(0))
            break;
        data += chunk;
    }
    return data;
}

QImage SFDecodePng(const QByteArray& data, QString* reason)
{
    PngReader reader;
    QString problem = BeginRead(reader, data);
    if (!problem.isEmpty()) {
        if (reason)
            *reason = problem;
        return QImage();
    }
    png_image& png = reader.png;
    if (png.format & PNG_FORMAT_FLAG_LINEAR) {
        png_image_free(&png);
        return Decode16(reader.kept, reason);
    }
    const bool alpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    // 0xAARRGGBB words in memory order, as QImage keeps them.
    png.format = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    QImage image(static_cast<int>(png.width), static_cast<int>(png.height),
                 alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) {
        if (reason)
            *reason = QStringLiteral("there is not enough memory for its %1x%2 pixels").arg(png.width).arg(png.height);
        return QImage();
    }
    if (!png_image_finish_read(&png, nullptr, image.bits(), static_cast<png_int_32>(image.bytesPerLine()), nullptr)) {
        if (reason)
            *reason = Damaged(png);
        return QImage();
    }
    if (alpha)
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    return image;
}

QImage SFLoadPngFile(const QString& path, QString* error)
{
    QByteArray data;
    QString reason = ReadFile(path, data);
    QImage image;
    if (reason.isEmpty())
        image = SFDecodePng(data, &reason);
    if (image.isNull() && error)
        *error = Sentence(path, reason);
    return image;
}

bool SFCanReadPngFile(const QString& path, QString* error)
{
    QByteArray data;
    QString reason = ReadFile(path, data);
    if (reason.isEmpty()) {
        PngReader reader;
        reason = BeginRead(reader, data);
    }
    if (!reason.isEmpty() && error)
        *error = Sentence(path, reason);
    return reason.isEmpty();
}
