#include "Widgets/SFSkinPrefetch.h"
#include "Widgets/SFPngDecode.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <mutex>
#include <thread>

namespace {

constexpr int kMaxImages = 512;
constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;

struct Decoded {
    QImage image;
    QDateTime modified;
    qint64 size = 0;
};

struct Prefetch {
    std::mutex lock;
    QHash<QString, Decoded> images; // by clean absolute path
    std::thread worker;
    bool started = false;
};

Prefetch& State()
{
    static auto* state = new Prefetch; // never freed: the worker may outlive static clean-up
    return *state;
}

void DecodeFolder(const QString& dir)
{
    const QFileInfoList files =
        QDir(dir).entryInfoList(QStringList{QStringLiteral("*.png")}, QDir::Files | QDir::Readable, QDir::Name);
    int count = 0;
    for (const QFileInfo& file : files) {
        if (++count > kMaxImages)
            break;
        if (file.size() <= 0 || file.size() > kMaxFileBytes)
            continue;
        // In the format a pixmap keeps, so that the GUI thread need not convert it.
        QImage image = SFLoadPngFile(file.filePath());
        if (image.isNull())
            continue;
        Prefetch& state = State();
        std::lock_guard<std::mutex> hold(state.lock);
        state.images.insert(QDir::cleanPath(file.absoluteFilePath()),
                            Decoded{std::move(image), file.lastModified(), file.size()});
    }
}

} // namespace

void SFPrefetchSkinImages(const QString& dir)
{
    Prefetch& state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    if (state.started)
        return;
    state.started = true;
    state.worker = std::thread([dir] { DecodeFolder(dir); });
}

bool SFTakePrefetchedSkinImage(const QString& path, qint64 size, const QDateTime& modified, QImage* image)
{
    Prefetch& state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    if (state.images.isEmpty())
        return false;
    const auto found = state.images.find(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (found == state.images.end())
        return false;
    const bool current = found->size == size && found->modified == modified;
    if (current)
        *image = std::move(found->image);
    state.images.erase(found);
    return current;
}

void SFEndSkinPrefetch()
{
    Prefetch& state = State();
    std::thread worker;
    {
        std::lock_guard<std::mutex> hold(state.lock);
        worker = std::move(state.worker);
    }
    if (worker.joinable())
        worker.join();
    std::lock_guard<std::mutex> hold(state.lock);
    state.images.clear();
}
