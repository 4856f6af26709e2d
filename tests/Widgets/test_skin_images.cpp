// Decoded skin images shared between controls: reused while the file stays, read again once it
// changes or appears, nothing for an empty name.
#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>

#include "Widgets/CSFQTButton.h"
#include "Widgets/SFFrameSkin.h"
#include "Widgets/SFSkin.h"

namespace {
void WriteSolid(const QString& path, int side, Qt::GlobalColor colour)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(path, "PNG"));
}
} // namespace

TEST(SkinImages, SharedUntilTheFileChangesAndLookedForAgainWhenMissing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("solid.png"));

    EXPECT_TRUE(SFSkinImage(path).isNull()) << "missing";
    WriteSolid(path, 4, Qt::red);
    const QPixmap first = SFSkinImage(path);
    ASSERT_FALSE(first.isNull()) << "appeared since";
    EXPECT_EQ(first.toImage().pixelColor(1, 1), QColor(Qt::red));
    EXPECT_EQ(SFSkinImage(path).cacheKey(), first.cacheKey()) << "decoded once";

    WriteSolid(path, 6, Qt::blue);
    const QPixmap second = SFSkinImage(path);
    ASSERT_EQ(second.width(), 6);
    EXPECT_EQ(second.toImage().pixelColor(1, 1), QColor(Qt::blue));

    EXPECT_TRUE(SFSkinImage(QString()).isNull());
    EXPECT_TRUE(SFSkinImage(dir.path() + QLatin1Char('/')).isNull()) << "an empty name";
    // The controls' loader: an empty name keeps the image, a bad one clears it.
    const QString skinDir = SFGetSkinDir();
    SFSetSkinDir((dir.path() + QLatin1Char('/')).toStdWString());
    QPixmap control;
    SFLoadControlImage(L"solid.png", control);
    EXPECT_EQ(control.width(), 6);
    SFLoadControlImage(L"", control);
    EXPECT_EQ(control.width(), 6);
    SFLoadControlImage(L"none.png", control);
    EXPECT_TRUE(control.isNull());
    SFSetSkinDir(skinDir.toStdWString());
}

TEST(SkinImages, ControlImagesAreDecodedWhenFirstDrawn)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("later.png"));
    SFLazySkinImage image;
    EXPECT_TRUE(image.Get().isNull()) << "no path";
    image.SetPath(path);
    // Written after the control took the name, before it is drawn: the drawing reads it.
    WriteSolid(path, 5, Qt::green);
    ASSERT_EQ(image.Get().width(), 5);
    EXPECT_EQ(image.Get().toImage().pixelColor(2, 2), QColor(Qt::green));
    image.SetPath(QString());
    EXPECT_TRUE(image.Get().isNull());
}

TEST(SkinImages, FrameBackgroundIsStretchedOverTheWholeWindow)
{
    QPixmap frame(4, 4);
    frame.fill(Qt::white);
    struct Case {
        const char* name;
        QColor left, right;  // the background image's left and right halves
    } cases[] = {
        {"one opaque colour", QColor(10, 20, 30), QColor(10, 20, 30)},
        {"one translucent colour", QColor(200, 0, 0, 128), QColor(200, 0, 0, 128)},
        {"two colours", QColor(Qt::red), QColor(Qt::blue)},
    };
    for (const Case& c : cases) {
        QImage back(8, 8, QImage::Format_ARGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                back.setPixelColor(x, y, x < 4 ? c.left : c.right);
        CSFFrameSkin skin;
        skin.m_frame = frame;
        skin.m_background = QPixmap::fromImage(back);
        skin.Compose(200, 100, false);
        const QImage out = skin.Picture().toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(out.size(), QSize(200, 100)) << c.name;
        // Within the rounding of premultiplied pixels.
        auto near = [](QColor a, QColor b) {
            return qAbs(a.red() - b.red()) <= 1 && qAbs(a.green() - b.green()) <= 1 &&
                   qAbs(a.blue() - b.blue()) <= 1 && a.alpha() == b.alpha();
        };
        EXPECT_TRUE(near(out.pixelColor(10, 50), c.left)) << c.name;
        EXPECT_TRUE(near(out.pixelColor(190, 50), c.right)) << c.name;
    }
}
