// Qt's readers of *.png files (style sheet images, icons from files, QPixmap(path)) go through
// SFDecodePng: a built-in image plugin for "png" takes the place of Qt's own PNG reader, so that
// Qt no longer opens every image-format plugin to ask about the file. Writing PNGs stays with Qt.
#pragma once

#include <QImageIOHandler>
#include <QImageIOPlugin>

// On by default. Off, the plugin claims no file and Qt's own PNG reader is used again (tests compare
// the two).
void SFSetPngImagePluginActive(bool active);

class SFPngImageHandler : public QImageIOHandler {
public:
    bool canRead() const override;
    bool read(QImage* image) override;
    // Whether the device's next bytes are the PNG signature (peeked, not consumed).
    static bool CanRead(QIODevice* device);
};

class SFPngImagePlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "SFPngImagePlugin.json")
public:
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override;
    QImageIOHandler* create(QIODevice* device, const QByteArray& format = QByteArray()) const override;
};
