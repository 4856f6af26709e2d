// Reading skin PNGs, by the skin loader or by Qt's readers of *.png files, opens none of Qt's
// image-format plugins (each of which Qt's own PNG reader opens the first time it reads a file). A program of its own: no other test reads an image
// before it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QPixmap>

#include "Widgets/SFSkin.h"

namespace {
// The image-format plugins mapped into this process.
QStringList FormatPlugins()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return {QStringLiteral("/proc/self/maps unreadable")};
    QStringList found;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const int at = line.indexOf("imageformats/libq");
        if (at >= 0 && !found.contains(QString::fromUtf8(line.mid(at))))
            found << QString::fromUtf8(line.mid(at));
    }
    return found;
}
} // namespace

TEST(PngPlugins, SkinPngsAreReadWithoutImageFormatPlugins)
{
    ASSERT_EQ(FormatPlugins().join(QLatin1Char(' ')).toStdString(), "") << "loaded before the test";
    const QString skin = QCoreApplication::applicationDirPath() + QStringLiteral("/Skin/");
    SFSetSkinDir(skin.toStdWString());

    EXPECT_FALSE(SFSkinImage(SFSkinPath(L"FrameMain.png")).isNull());
    QPixmap* frame = nullptr;
    EXPECT_TRUE(SFLoadSkinPixmap(SFSkinPath(L"Frame.png"), &frame, "png"));
    delete frame;
    EXPECT_FALSE(SFSkinIcon(SFSkinPath(L"icon_ipc.png")).pixmap(16, 16).isNull());
    EXPECT_TRUE(SFCheckSkinImage(SFSkinPath(L"btn_nor.png")));
    EXPECT_FALSE(SFSkinImage(SFSkinPath(L"missing.png")).isNull() && SFCheckSkinImage(SFSkinPath(L"missing.png")));
    EXPECT_EQ(FormatPlugins().join(QLatin1Char(' ')).toStdString(), "");

    // Qt's readers of *.png files: pixmaps, icons and style sheet images from files.
    EXPECT_FALSE(QImage(SFSkinPath(L"Frame.png")).isNull());
    EXPECT_FALSE(QPixmap(SFSkinPath(L"btn_nor.png")).isNull());
    EXPECT_FALSE(QIcon(SFSkinPath(L"list_ip_n.png")).pixmap(16, 16).isNull());
    QImageReader reader(SFSkinPath(L"Select_Check.png"));
    EXPECT_TRUE(reader.canRead());
    QLineEdit edit;
    edit.setStyleSheet(QStringLiteral("QLineEdit { border-image: url(%1); image: url(%2); }")
                           .arg(SFSkinPath(L"bg_edit.png"), SFSkinPath(L"bg_ipedit_nor.png")));
    edit.resize(120, 24);
    edit.grab();
    EXPECT_EQ(FormatPlugins().join(QLatin1Char(' ')).toStdString(), "");

    // Another format is still read by Qt's plugins: the check above can see them.
    EXPECT_FALSE(QImage(SFSkinPath(L"update_p.gif")).isNull());
    EXPECT_TRUE(FormatPlugins().join(QLatin1Char(' ')).contains(QLatin1String("libqgif")));
}
