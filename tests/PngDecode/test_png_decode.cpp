// The libpng skin image decoder gives Qt's pixels for every kind of PNG, and refuses damaged,
// truncated, empty and oversized files with a sentence naming the file, without crashing.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QTemporaryDir>

#include <png.h>

#include "PngTestFiles.h"
#include "Widgets/SFPngDecode.h"
#include "Widgets/SFPngImagePlugin.h"
#include "Widgets/SFSkin.h"

namespace {

// What Qt's own PNG reader makes of the file or bytes.
QImage QtReads(const QString& path)
{
    SFSetPngImagePluginActive(false);
    QImage image(path);
    SFSetPngImagePluginActive(true);
    return image;
}
QImage QtReads(const QByteArray& data)
{
    SFSetPngImagePluginActive(false);
    QImage image = QImage::fromData(data, "PNG");
    SFSetPngImagePluginActive(true);
    return image;
}

// Empty when equal; else where and how the two differ.
QString Difference(const QImage& ours, const QImage& qt)
{
    if (ours.size() != qt.size())
        return QStringLiteral("size %1x%2, Qt %3x%4").arg(ours.width()).arg(ours.height()).arg(qt.width()).arg(qt.height());
    const QImage a = ours.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage b = qt.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < a.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (ra[x] != rb[x])
                return QStringLiteral("pixel %1,%2 is %3, Qt %4")
                    .arg(x)
                    .arg(y)
                    .arg(ra[x], 8, 16, QLatin1Char('0'))
                    .arg(rb[x], 8, 16, QLatin1Char('0'));
        }
    }
    return QString();
}

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& data)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        return QString();
    return path;
}

} // namespace

TEST(PngDecode, EveryPaintedSkinImageGivesQtsPixels)
{
    const QDir skin(QCoreApplication::applicationDirPath() + QStringLiteral("/Skin"));
    const QStringList names = skin.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    ASSERT_GT(names.size(), 100) << "painted skin in " << skin.path().toStdString();
    for (const QString& name : names) {
        QString error;
        const QImage ours = SFLoadPngFile(skin.filePath(name), &error);
        ASSERT_FALSE(ours.isNull()) << error.toStdString();
        EXPECT_TRUE(ours.format() == QImage::Format_ARGB32_Premultiplied || ours.format() == QImage::Format_RGB32);
        const QImage qt = QtReads(skin.filePath(name));
        EXPECT_EQ(Difference(ours, qt).toStdString(), "") << name.toStdString();
        // The pixmap keeps the decoded pixels as they are.
        EXPECT_EQ(Difference(SFSkinImage(skin.filePath(name)).toImage(), qt).toStdString(), "") << name.toStdString();
    }
}

TEST(PngDecode, EveryKindOfPngGivesQtsPixels)
{
    const PngKind kinds[] = {
        {"palette, 8 bits, transparent entries", PNG_COLOR_TYPE_PALETTE, 8, false, true, 37, 23},
        {"palette, 4 bits", PNG_COLOR_TYPE_PALETTE, 4, false, false, 19, 7},
        {"palette, 1 bit, interlaced", PNG_COLOR_TYPE_PALETTE, 1, true, true, 21, 13},
        {"grey, 8 bits", PNG_COLOR_TYPE_GRAY, 8, false, false, 16, 16},
        {"grey, 2 bits, one transparent level", PNG_COLOR_TYPE_GRAY, 2, false, true, 17, 5},
        {"grey and alpha, 8 bits", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, false, 31, 9},
        {"grey and alpha, 16 bits", PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, false, 12, 12},
        {"grey, 16 bits", PNG_COLOR_TYPE_GRAY, 16, false, false, 10, 6},
        {"RGB, 8 bits, transparent colour", PNG_COLOR_TYPE_RGB, 8, false, true, 8, 8},
        {"RGB, 16 bits", PNG_COLOR_TYPE_RGB, 16, false, false, 9, 11},
        {"RGBA, 8 bits", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false, 33, 17},
        {"RGBA, 16 bits", PNG_COLOR_TYPE_RGB_ALPHA, 16, false, false, 25, 14},
        {"RGBA, 8 bits, interlaced", PNG_COLOR_TYPE_RGB_ALPHA, 8, true, false, 29, 31},
        {"RGBA, 16 bits, interlaced", PNG_COLOR_TYPE_RGB_ALPHA, 16, true, false, 1, 9},
        {"grey and alpha, interlaced, one pixel", PNG_COLOR_TYPE_GRAY_ALPHA, 8, true, false, 1, 1},
    };
    for (const PngKind& kind : kinds) {
        const QByteArray data = WritePng(kind, 7u + static_cast<unsigned>(kind.width * 131 + kind.height));
        ASSERT_FALSE(data.isEmpty()) << kind.name;
        QString reason;
        const QImage ours = SFDecodePng(data, &reason);
        ASSERT_FALSE(ours.isNull()) << kind.name << ": " << reason.toStdString();
        const QImage qt = QtReads(data);
        ASSERT_FALSE(qt.isNull()) << kind.name;
        EXPECT_EQ(Difference(ours, qt).toStdString(), "") << kind.name;
    }
    // Ancillary chunks are not read: no gamma correction (Qt makes none), no text or profile inflated.
    const QByteArray plain = WritePng(kinds[0], 1);
    QByteArray bomb(1 << 20, 'x');
    const QByteArray extras[] = {
        WithChunk(plain, "gAMA", QByteArray("\0\1\x86\xa0", 4)),
        WithChunk(WithChunk(plain, "iCCP", QByteArray("p\0\0", 3) + qCompress(bomb).mid(4)), "zTXt",
                  QByteArray("k\0\0", 3) + qCompress(bomb).mid(4)),
        WithChunk(plain, "vpAg", QByteArray(9, '\0')),
    };
    for (const QByteArray& data : extras) {
        const QImage ours = SFDecodePng(data);
        ASSERT_FALSE(ours.isNull());
        EXPECT_EQ(Difference(ours, QtReads(plain)).toStdString(), "");
    }
    // An unknown critical chunk is refused, as Qt refuses it.
    const QByteArray unknown = WithChunk(plain, "QUUX", QByteArray(4, '\0'));
    EXPECT_TRUE(QtReads(unknown).isNull());
    EXPECT_TRUE(SFDecodePng(unknown).isNull());

    // Written by Qt itself: a palette image and a 16-bit one.
    QImage indexed(5, 4, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(0, 0, 0, 0), qRgba(255, 0, 0, 255), qRgba(10, 200, 30, 99)});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            indexed.setPixel(x, y, (x + y) % 3);
    QImage deep(6, 3, QImage::Format_RGBA64);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            deep.setPixelColor(x, y, QColor::fromRgba64(x * 9000, y * 20000, 65535 - x * 7000, 20000 + x * y * 4000));
    for (const QImage& image : {indexed, deep}) {
        QByteArray data;
        QBuffer buffer(&data);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
        ASSERT_TRUE(image.save(&buffer, "PNG"));
        EXPECT_EQ(Difference(SFDecodePng(data), QtReads(data)).toStdString(), "") << image.format();
    }
}

TEST(PngDecode, BadFilesAreRefusedWithTheirNameAndReason)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray good = WritePng({"", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false, 40, 30}, 3);
    const QByteArray deep = WritePng({"", PNG_COLOR_TYPE_RGB_ALPHA, 16, true, false, 40, 30}, 5);
    QByteArray deepBadCrc = deep;
    deepBadCrc[deep.size() - 20] = static_cast<char>(deepBadCrc[deep.size() - 20] ^ 0x55);
    QByteArray badCrc = good;
    badCrc[good.size() - 20] = static_cast<char>(badCrc[good.size() - 20] ^ 0x55);  // inside IDAT
    QByteArray badHeader = good;
    badHeader[16] = static_cast<char>(0xFF);  // width's top byte, the CRC no longer fits
    struct Case {
        const char* name;
        QByteArray data;
        const char* reason;
        bool headerReadable;  // what the start-up check sees
    } cases[] = {
        {"empty", QByteArray(), "empty", false},
        {"text", QByteArray("hello, this is no picture"), "not a PNG", false},
        {"signature only", good.left(8), "damaged", false},
        {"cut in the header", good.left(20), "damaged", false},
        {"cut after the header", good.left(33), "damaged", false},
        {"cut in the pixels", good.left(good.size() / 2), "past the end", false},
        {"a chunk claiming a gigabyte", good.left(33) + QByteArray("\x40\0\0\0zTXt", 8) + good.mid(33), "past the end", false},
        {"pixels with a wrong CRC", badCrc, "damaged", true},
        {"16 bits, cut in the pixels", deep.left(deep.size() / 2), "past the end", false},
        {"16 bits, pixels with a wrong CRC", deepBadCrc, "damaged", true},
        {"header with a wrong CRC", badHeader, "damaged", false},
        {"too wide", PngWithHeader(kSFPngMaxSide + 1, 1, 8, PNG_COLOR_TYPE_RGB_ALPHA), "pixels", false},
        {"too tall", PngWithHeader(2, kSFPngMaxSide + 1, 8, PNG_COLOR_TYPE_GRAY), "pixels", false},
        {"too many pixels", PngWithHeader(kSFPngMaxSide, kSFPngMaxSide, 8, PNG_COLOR_TYPE_GRAY), "pixels", false},
        {"16 bits, too many pixels", PngWithHeader(4096, 4096, 16, PNG_COLOR_TYPE_RGB), "16 bits", false},
        {"over libpng's own limit", PngWithHeader(0x7FFFFFFF, 0x7FFFFFFF, 8, PNG_COLOR_TYPE_GRAY), "damaged", false},
        {"zero size", PngWithHeader(0, 5, 8, PNG_COLOR_TYPE_GRAY), "damaged", false},
        {"bad bit depth", PngWithHeader(4, 4, 7, PNG_COLOR_TYPE_RGB), "damaged", false},
        {"header fine, pixels missing", PngWithHeader(64, 64, 8, PNG_COLOR_TYPE_RGB), "damaged", true},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString path = Write(dir, QStringLiteral("bad%1.png").arg(n++), c.data);
        ASSERT_FALSE(path.isEmpty());
        QString error;
        EXPECT_TRUE(SFLoadPngFile(path, &error).isNull()) << c.name;
        EXPECT_TRUE(error.contains(QDir::toNativeSeparators(path))) << c.name << ": " << error.toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << c.name << ": " << error.toStdString();
        QString check;
        EXPECT_EQ(SFCanReadPngFile(path, &check), c.headerReadable) << c.name << ": " << check.toStdString();
        // The shared skin loader answers nothing, as it did for any file Qt could not read.
        EXPECT_TRUE(SFSkinImage(path).isNull()) << c.name;
        EXPECT_TRUE(SFSkinImage(path, "png").isNull()) << c.name;
    }

    // Larger than the limit: refused before it is read.
    const QString big = dir.filePath(QStringLiteral("big.png"));
    {
        QFile file(big);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(good);
        ASSERT_TRUE(file.resize(kSFPngMaxFileBytes + 1));
    }
    QString error;
    EXPECT_TRUE(SFLoadPngFile(big, &error).isNull());
    EXPECT_TRUE(error.contains(QLatin1String("larger than 16 MiB"))) << error.toStdString();
    EXPECT_FALSE(SFCanReadPngFile(big));
    EXPECT_FALSE(SFCheckSkinImage(big));
    EXPECT_TRUE(SFDecodePng(QByteArray(kSFPngMaxFileBytes + 1, '\0')).isNull());

    const QString missing = dir.filePath(QStringLiteral("missing.png"));
    EXPECT_TRUE(SFLoadPngFile(missing, &error).isNull());
    EXPECT_EQ(error, QStringLiteral("The image %1 cannot be read: the file does not exist.")
                         .arg(QDir::toNativeSeparators(missing)));
    EXPECT_FALSE(SFCheckSkinImage(missing, &error));
    EXPECT_TRUE(error.contains(QLatin1String("does not exist")));

    // Only the closing chunk missing: every pixel is there and is shown (Qt's reader refused it).
    const QByteArray noEnd = good.left(good.size() - 12);
    EXPECT_EQ(Difference(SFDecodePng(noEnd), QtReads(good)).toStdString(), "");
}

TEST(PngDecode, OtherFormatsStillReadThroughQt)
{
    const QString skin = QCoreApplication::applicationDirPath() + QStringLiteral("/Skin/");
    // A PNG under another name is told by its signature.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString renamed = dir.filePath(QStringLiteral("frame.bin"));
    ASSERT_TRUE(QFile::copy(skin + QStringLiteral("Frame.png"), renamed));
    EXPECT_EQ(Difference(SFReadSkinImage(renamed), QtReads(skin + QStringLiteral("Frame.png"))).toStdString(), "");
    EXPECT_TRUE(SFCheckSkinImage(renamed));

    const QImage gif = SFReadSkinImage(skin + QStringLiteral("update_p.gif"));
    ASSERT_FALSE(gif.isNull());
    EXPECT_EQ(Difference(gif, QImage(skin + QStringLiteral("update_p.gif"))).toStdString(), "");
    EXPECT_FALSE(SFSkinIcon(skin + QStringLiteral("main.ico")).isNull());
    EXPECT_TRUE(SFCheckSkinImage(skin + QStringLiteral("main.ico")));

    // A non-PNG asked for as PNG is refused, as Qt's PNG reader refused it.
    QString error;
    EXPECT_TRUE(SFReadSkinImage(skin + QStringLiteral("update_p.gif"), "png", &error).isNull());
    EXPECT_TRUE(error.contains(QLatin1String("not a PNG"))) << error.toStdString();
    const QString text = Write(dir, QStringLiteral("notes.txt"), QByteArray("no image"));
    EXPECT_TRUE(SFReadSkinImage(text, nullptr, &error).isNull());
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(text))) << error.toStdString();
    EXPECT_FALSE(SFCheckSkinImage(text));
}

TEST(PngDecode, QtsReadersOfPngFilesUseTheDecoderAndWritingStaysWithQt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray data = WritePng({"", PNG_COLOR_TYPE_RGB_ALPHA, 8, true, false, 13, 11}, 9);
    const QString path = Write(dir, QStringLiteral("icon.png"), data);
    const QImage viaQt(path);
    ASSERT_FALSE(viaQt.isNull());
    // Qt's own reader gives Format_ARGB32 for such a file; the decoder premultiplies.
    EXPECT_EQ(viaQt.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(Difference(viaQt, QtReads(data)).toStdString(), "");
    EXPECT_FALSE(QIcon(path).pixmap(13, 11).isNull());
    QImageReader reader(path);
    EXPECT_TRUE(reader.canRead());
    EXPECT_EQ(reader.format(), QByteArray("png"));

    const QString cut = Write(dir, QStringLiteral("cut.png"), data.left(data.size() / 2));
    EXPECT_TRUE(QImage(cut).isNull());
    EXPECT_TRUE(QPixmap(cut).isNull());

    // Saving as PNG is still Qt's writer, and what it writes reads back the same.
    const QString saved = dir.filePath(QStringLiteral("saved.png"));
    ASSERT_TRUE(viaQt.save(saved, "PNG"));
    EXPECT_EQ(Difference(QImage(saved), viaQt).toStdString(), "");
}
