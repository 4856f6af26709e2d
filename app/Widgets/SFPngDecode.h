// PNG files decoded with libpng's simplified reader, without Qt's image readers: the first of those
// opens every image-format plugin to ask whether it knows the file, which is slow at start-up.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QString>

// Files larger than this are refused unread.
constexpr qint64 kSFPngMaxFileBytes = 16 * 1024 * 1024;
// Images wider or taller than this, or with more pixels than kSFPngMaxPixels, are refused.
constexpr int kSFPngMaxSide = 8192;
constexpr qint64 kSFPngMaxPixels = 16 * 1024 * 1024;
// 16-bit images are read at 8 bytes a pixel before they are reduced: refused above this buffer.
constexpr qint64 kSFPngMaxBufferBytes = 64 * 1024 * 1024;

// Whether the bytes start with the PNG signature.
bool SFIsPngData(const char* data, qint64 size);

// Reads the device to its end, at most kSFPngMaxFileBytes + 1 bytes (one more than is accepted).
QByteArray SFReadPngBytes(QIODevice* device);

// Decodes a PNG held in memory into an image of Format_ARGB32_Premultiplied (Format_RGB32 when the
// file has no transparency), the formats QPixmap::fromImage keeps as they are. On failure answers
// a null image and stores the reason in *reason (when given).
QImage SFDecodePng(const QByteArray& data, QString* reason = nullptr);

// Reads and decodes a PNG file. On failure answers a null image and stores in *error a sentence
// naming the file and the reason.
QImage SFLoadPngFile(const QString& path, QString* error = nullptr);

// Reads only the file's header: whether it is a PNG within the bounds above. On failure *error
// names the file and the reason, as SFLoadPngFile does.
bool SFCanReadPngFile(const QString& path, QString* error = nullptr);
