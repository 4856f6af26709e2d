// PNG files of every kind, written with libpng's own writer, and hand-made chunk streams.
#pragma once

#include <QByteArray>

struct PngKind {
    const char* name;
    int colorType;  // PNG_COLOR_TYPE_*
    int bitDepth;
    bool interlaced;
    bool transparency;  // a tRNS chunk (palette and grey/RGB without alpha)
    int width, height;
};

// A file of that kind whose samples (and palette) are made from `seed`.
QByteArray WritePng(const PngKind& kind, unsigned seed);

// The signature, an IHDR with these values, one small IDAT and IEND, with correct CRCs.
QByteArray PngWithHeader(quint32 width, quint32 height, int bitDepth, int colorType);

// The file with a chunk of that type and body put right after its IHDR.
QByteArray WithChunk(const QByteArray& png, const char* type, const QByteArray& body);
