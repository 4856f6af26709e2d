// skingen <folder>: paints every skin image into the folder.
#include <cstdio>

#include <QDir>
#include <QGuiApplication>

#include "SkinAnimation.h"
#include "SkinPainter.h"

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: skingen <skin folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "skingen: cannot create %s\n", argv[1]);
        return 1;
    }
    int count = 0;
    const SkinImage* table = SkinTable(&count);
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        const QImage image = PaintSkinImage(table[i]);
        // Images are PNG whatever their suffix (the window icon too).
        if (!image.save(folder + QLatin1Char('/') + QLatin1String(table[i].name), "PNG")) {
            std::fprintf(stderr, "skingen: cannot write %s\n", table[i].name);
            ++failures;
        }
    }
    failures += PaintSkinAnimations(folder);
    return failures ? 1 : 0;
}
