// Skin images decoded ahead on their own thread: handed over once, with the pixels a direct
// decode gives, and never when the file changed since.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>
#include <QThread>

#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinPrefetch.h"

namespace {
bool TakeWithin(const QString& path, QImage* image, int ms = 5000)
{
    const QFileInfo info(path);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        if (SFTakePrefetchedSkinImage(path, info.size(), info.lastModified(), image))
            return true;
        QThread::msleep(5);
    }
    return false;
}
} // namespace

TEST(SkinPrefetch, HandsOverDecodedImagesOnceAndNeverForAChangedFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Decoded in name order.
    const QString changed = dir.filePath(QStringLiteral("a-changed.png"));
    const QString opaque = dir.filePath(QStringLiteral("b-opaque.png"));
    const QString translucent = dir.filePath(QStringLiteral("c-translucent.png"));
    const QString broken = dir.filePath(QStringLiteral("d-broken.png"));
    QImage solid(5, 3, QImage::Format_RGB32);
    solid.fill(QColor(10, 120, 200));
    ASSERT_TRUE(solid.save(opaque, "PNG"));
    QImage glass(4, 4, QImage::Format_ARGB32);
    glass.fill(QColor(200, 40, 40, 100));
    ASSERT_TRUE(glass.save(translucent, "PNG"));
    ASSERT_TRUE(solid.save(changed, "PNG"));
    QFile bad(broken);
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("\x89PNG\r\n\x1a\n garbage");
    bad.close();

    SFPrefetchSkinImages(dir.path());
    QImage image;
    ASSERT_TRUE(TakeWithin(opaque, &image));
    EXPECT_EQ(image.convertToFormat(QImage::Format_ARGB32), QImage(opaque).convertToFormat(QImage::Format_ARGB32));
    EXPECT_FALSE(TakeWithin(opaque, &image, 50)) << "handed over once";
    ASSERT_TRUE(TakeWithin(translucent, &image));
    EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(image, QImage(translucent).convertToFormat(QImage::Format_ARGB32_Premultiplied));

    // Decoded before the others, then changed: the cache reads the file again.
    QImage wider(9, 3, QImage::Format_RGB32);
    wider.fill(Qt::green);
    ASSERT_TRUE(wider.save(changed, "PNG"));
    EXPECT_FALSE(TakeWithin(changed, &image, 50));
    const QPixmap shown = SFSkinImage(changed);
    ASSERT_EQ(shown.width(), 9);
    EXPECT_EQ(shown.toImage().pixelColor(1, 1), QColor(Qt::green));
    SFEndSkinPrefetch();
    EXPECT_FALSE(TakeWithin(broken, &image, 50));
}
