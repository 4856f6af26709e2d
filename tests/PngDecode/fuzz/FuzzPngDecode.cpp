// libFuzzer target: the skin PNG decoder on arbitrary bytes, the 8-bit (simplified reader) and
// 16-bit (full reader) paths, and the header check.
#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QImage>
#include <QString>

#include "Widgets/SFPngDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString reason;
    const QImage image = SFDecodePng(bytes, &reason);
    if (image.isNull()) {
        if (reason.isEmpty())
            __builtin_trap();  // every refusal says why
        return 0;
    }
    if (image.width() > kSFPngMaxSide || image.height() > kSFPngMaxSide ||
        (image.format() != QImage::Format_ARGB32_Premultiplied && image.format() != QImage::Format_RGB32))
        __builtin_trap();
    // Touch the last row: it was written by the decoder.
    volatile uchar last = image.constScanLine(image.height() - 1)[image.bytesPerLine() - 1];
    (void)last;
    return 0;
}
