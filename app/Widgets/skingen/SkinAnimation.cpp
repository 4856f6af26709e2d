#include "SkinAnimation.h"

#include <gif_lib.h>

#include <cmath>

#include <QFile>
#include <QPainter>
#include <QTransform>

#include <cstdio>

#include "SkinPainter.h"

namespace {

constexpr int kTransparent = 255;

// A fixed palette: a 6x6x6 colour cube and a ramp from the accent colour to white, so that the
// anti-aliased edges of a glyph on the accent colour keep their shades. Index 255 is transparent.
std::vector<QRgb> Palette(QRgb accent)
{
    std::vector<QRgb> colours;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                colours.push_back(qRgb(r * 51, g * 51, b * 51));
    const int ramp = kTransparent - static_cast<int>(colours.size());
    for (int i = 0; i < ramp; ++i) {
        const auto mix = [&](int from) { return from + (255 - from) * i / (ramp - 1); };
        colours.push_back(qRgb(mix(qRed(accent)), mix(qGreen(accent)), mix(qBlue(accent))));
    }
    colours.push_back(qRgb(255, 255, 255));
    return colours;
}

GifByteType Nearest(const std::vector<QRgb>& palette, QRgb c)
{
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < kTransparent; ++i) {
        const long dr = qRed(palette[i]) - qRed(c), dg = qGreen(palette[i]) - qGreen(c),
                   db = qBlue(palette[i]) - qBlue(c);
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return static_cast<GifByteType>(best);
}

QString GifError(int code)
{
    const char* text = GifErrorString(code);
    return QString::fromLatin1(text ? text : "unknown GIF error");
}

} // namespace

bool WriteAnimatedGif(const QString& path, const std::vector<QImage>& frames, int delayCs, QString* error)
{
    if (frames.empty()) {
        *error = QStringLiteral("no frames");
        return false;
    }
    const int w = frames[0].width(), h = frames[0].height();
    const std::vector<QRgb> palette = Palette(frames[0].pixel(w / 2, h / 5));
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    if (!map) {
        *error = QStringLiteral("out of memory");
        return false;
    }
    for (int i = 0; i < 256; ++i) {
        map->Colors[i].Red = static_cast<GifByteType>(qRed(palette[i]));
        map->Colors[i].Green = static_cast<GifByteType>(qGreen(palette[i]));
        map->Colors[i].Blue = static_cast<GifByteType>(qBlue(palette[i]));
    }
    int code = 0;
    const QByteArray name = path.toLocal8Bit();
    GifFileType* gif = EGifOpenFileName(name.constData(), false, &code);
    if (!gif) {
        GifFreeMapObject(map);
        *error = GifError(code);
        return false;
    }
    bool ok = EGifPutScreenDesc(gif, w, h, 8, 0, map) == GIF_OK;
    // Loop for ever (application extension "NETSCAPE2.0", sub-block 1, count 0).
    static const GifByteType kApp[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType kLoop[] = {1, 0, 0};
    ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, sizeof kApp, kApp) == GIF_OK &&
         EGifPutExtensionBlock(gif, sizeof kLoop, kLoop) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;
    std::vector<GifByteType> line(static_cast<size_t>(w));
    for (const QImage& source : frames) {
        if (!ok)
            break;
        const QImage frame = source.convertToFormat(QImage::Format_ARGB32);
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSE_BACKGROUND;
        gcb.DelayTime = delayCs;
        gcb.TransparentColor = kTransparent;
        GifByteType ext[4];
        const size_t extLen = EGifGCBToExtension(&gcb, ext);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(extLen), ext) == GIF_OK &&
             EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_OK;
        for (int y = 0; ok && y < h; ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
            for (int x = 0; x < w; ++x)
                line[static_cast<size_t>(x)] = qAlpha(row[x]) < 128 ? kTransparent : Nearest(palette, row[x]);
            ok = EGifPutLine(gif, line.data(), w) == GIF_OK;
        }
    }
    if (!ok)
        *error = GifError(gif->Error);
    if (EGifCloseFile(gif, &code) != GIF_OK && ok) {
        *error = GifError(code);
        ok = false;
    }
    GifFreeMapObject(map);
    // giflib creates the file for its owner only; the skin is read by everyone.
    if (ok)
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ReadGroup | QFile::ReadOther);
    return ok;
}

int PaintSkinAnimations(const QString& folder)
{
    // The searching animation: the pressed refresh button, turning once per second.
    const SkinImage base{"update_p.gif", SkinKind::Glyph, 59, 59, 0xFF1F6FCC, 0xFFFFFFFF, 0, Glyph::Refresh, nullptr};
    const QImage still = PaintSkinImage(base);
    constexpr int kFrames = 12;
    std::vector<QImage> frames;
    for (int i = 0; i < kFrames; ++i) {
        QImage frame(still.size(), QImage::Format_ARGB32_Premultiplied);
        frame.fill(Qt::transparent);
        QPainter p(&frame);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(still.width() / 2.0, still.height() / 2.0);
        p.rotate(360.0 * i / kFrames);
        p.translate(-still.width() / 2.0, -still.height() / 2.0);
        p.drawImage(0, 0, still);
        p.end();
        frames.push_back(frame);
    }
    QString error;
    int failures = 0;
    if (!WriteAnimatedGif(folder + QLatin1Char('/') + QLatin1String(base.name), frames, 100 / kFrames, &error)) {
        std::fprintf(stderr, "skingen: cannot write %s: %s\n", base.name, qPrintable(error));
        ++failures;
    }
    // The loading animation: a ring of eight dots whose bright dot goes round once per second.
    std::vector<QImage> ring;
    constexpr int kDots = 8, kSize = 64;
    for (int i = 0; i < kDots; ++i) {
        QImage frame(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
        frame.fill(Qt::transparent);
        QPainter p(&frame);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        for (int d = 0; d < kDots; ++d) {
            const int age = (i - d + kDots) % kDots;
            // Fades towards white: the GIF keeps no partial transparency.
            const double k = age / double(kDots);
            const QColor c(int(0x2D + (255 - 0x2D) * k * 0.85), int(0x88 + (255 - 0x88) * k * 0.85),
                           int(0xEF + (255 - 0xEF) * k * 0.85));
            p.setBrush(c);
            const double a = 2 * 3.14159265358979 * d / kDots;
            p.drawEllipse(QPointF(kSize / 2.0 + 22 * std::sin(a), kSize / 2.0 - 22 * std::cos(a)), 5.5, 5.5);
        }
        p.end();
        ring.push_back(frame);
    }
    if (!WriteAnimatedGif(folder + QStringLiteral("/loading.gif"), ring, 100 / kDots, &error)) {
        std::fprintf(stderr, "skingen: cannot write loading.gif: %s\n", qPrintable(error));
        ++failures;
    }
    // The add-on tool page's installing mark: the same ring, tile-corner sized.
    std::vector<QImage> small;
    for (const QImage& frame : ring)
        small.push_back(frame.scaled(35, 35, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    if (!WriteAnimatedGif(folder + QStringLiteral("/waitting.gif"), small, 100 / kDots, &error)) {
        std::fprintf(stderr, "skingen: cannot write waitting.gif: %s\n", qPrintable(error));
        ++failures;
    }
    return failures;
}
