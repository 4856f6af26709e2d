// Built into the program: Q_IMPORT_PLUGIN(SFPngImagePlugin) in SFSkin.cpp registers it.
#ifndef QT_STATICPLUGIN
#define QT_STATICPLUGIN
#endif

#include "Widgets/SFPngImagePlugin.h"

#include <atomic>

#include <QImage>

#include "Widgets/SFPngDecode.h"

namespace {
std::atomic<bool> g_active{true};
} // namespace

void SFSetPngImagePluginActive(bool active)
{
    g_active = active;
}

bool SFPngImageHandler::CanRead(QIODevice* device)
{
    if (!device || !device->isReadable())
        return false;
    const QByteArray head = device->peek(8);
    return SFIsPngData(head.constData(), head.size());
}

bool SFPngImageHandler::canRead() const
{
    if (!CanRead(device()))
        return false;
    setFormat("png");
    return true;
}

bool SFPngImageHandler::read(QImage* image)
{
    if (!image || !device())
        return false;
    const QImage decoded = SFDecodePng(SFReadPngBytes(device()));
    if (decoded.isNull())
        return false;
    *image = decoded;
    return true;
}

QImageIOPlugin::Capabilities SFPngImagePlugin::capabilities(QIODevice* device, const QByteArray& format) const
{
    if (!g_active)
        return {};
    if (format.compare("png", Qt::CaseInsensitive) == 0)
        return CanRead;
    if (format.isEmpty() && SFPngImageHandler::CanRead(device))
        return CanRead;
    return {};
}

QImageIOHandler* SFPngImagePlugin::create(QIODevice* device, const QByteArray& format) const
{
    auto* handler = new SFPngImageHandler;
    handler->setDevice(device);
    handler->setFormat(format.isEmpty() ? QByteArray("png") : format.toLower());
    return handler;
}

#include "moc_SFPngImagePlugin.cpp"
