#include "Widgets/SFSkin.h"

#include <climits>
#include <mutex>
#include <cwctype>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QHash>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QThread>
#include <QStringList>
#include <QtPlugin>

#include "Widgets/SFPngDecode.h"

// Every *.png read through Qt goes to SFPngImagePlugin, not Qt's own reader.
Q_IMPORT_PLUGIN(SFPngImagePlugin)

namespace {
QString g_skinDir;

// Reads up to four decimal numbers separated by commas the way "%d,%d,%d,%d" is scanned:
// blanks before a number are skipped, scanning stops at the first mismatch and the numbers
// not read stay 0.
void ScanFourInts(const std::wstring& text, int v[4])
{
    v[0] = v[1] = v[2] = v[3] = 0;
    size_t i = 0;
    const size_t n = text.size();
    for (int k = 0; k < 4; ++k) {
        while (i < n && std::iswspace(static_cast<wint_t>(text[i])))
            ++i;
        bool negative = false;
        if (i < n && (text[i] == L'+' || text[i] == L'-')) {
            negative = text[i] == L'-';
            ++i;
        }
        if (i >= n || text[i] < L'0' || text[i] > L'9')
            return;
        long long value = 0;
        while (i < n && text[i] >= L'0' && text[i] <= L'9') {
            if (value < INT_MAX)
                value = value * 10 + (text[i] - L'0');
            ++i;
        }
        if (value > INT_MAX)
            value = INT_MAX;
        v[k] = static_cast<int>(negative ? -value : value);
        if (k < 3) {
            if (i >= n || text[i] != L',')
                return;
            ++i;
        }
    }
}

int HexPart(const std::wstring& part)
{
    size_t i = 0;
    while (i < part.size() && std::iswspace(static_cast<wint_t>(part[i])))
        ++i;
    int value = 0;
    for (; i < part.size(); ++i) {
        const wchar_t c = part[i];
        int d;
        if (c >= L'0' && c <= L'9')
            d = c - L'0';
        else if (c >= L'a' && c <= L'f')
            d = c - L'a' + 10;
        else if (c >= L'A' && c <= L'F')
            d = c - L'A' + 10;
        else
            break;
        value = value * 16 + d;
    }
    return value;
}
// Whether a file is read by our PNG decoder: asked for as "png", named *.png or starting with the
// PNG signature.
bool IsPngFile(const QString& path, const char* format)
{
    if (format && *format)
        return qstricmp(format, "png") == 0;
    if (path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        return true;
    QFile file(path);
    char head[8];
    return file.open(QIODevice::ReadOnly) && file.read(head, sizeof head) == sizeof head && SFIsPngData(head, sizeof head);
}

QString ReaderProblem(const QString& path, const QString& reason)
{
    return QStringLiteral("The image %1 cannot be read: %2.").arg(QDir::toNativeSeparators(path), reason);
}
}  // namespace

QRect SFParseRect(const std::wstring& text)
{
    if (text.empty())
        return QRect(QPoint(0, 0), QPoint(-1, -1));
    int v[4];
    ScanFourInts(text, v);
    return QRect(QPoint(v[0], v[1]), QPoint(v[0] + v[2] - 1, v[1] + v[3] - 1));
}

QRect SFParseRectExclusive(const std::wstring& text)
{
    if (text.empty())
        return QRect(QPoint(0, 0), QPoint(0, 0));
    int v[4];
    ScanFourInts(text, v);
    return QRect(QPoint(v[0], v[1]), QPoint(v[0] + v[2], v[1] + v[3]));
}

QColor SFParseColor(const std::wstring& text)
{
    if (text.size() != 6)
        return QColor(0, 0, 0, 255);
    return QColor(HexPart(text.substr(0, 2)), HexPart(text.substr(2, 2)), HexPart(text.substr(4, 2)), 255);
}

QColor SFColorFromRef(COLORREF ref)
{
    return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF, 255);
}

std::pair<int, int> SFParseIntPair(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {0, 0};
    const QStringList parts = trimmed.split(QLatin1Char(','), Qt::KeepEmptyParts);
    if (parts.size() != 2)
        return {0, 0};
    return {parts[0].trimmed().toInt(), parts[1].trimmed().toInt()};
}

std::pair<int, int> SFParseIntPair(const std::wstring& text)
{
    return SFParseIntPair(QString::fromStdWString(text));
}

bool SFIsStretchMode(const std::wstring& mode)
{
    return mode == L"stretch";
}

int SFParseTitleAlign(const std::wstring& align)
{
    if (align == L"center")
        return 1;
    if (align == L"right")
        return 2;
    return 0;
}

void SFSetSkinDir(const std::wstring& dir)
{
    g_skinDir = QString::fromStdWString(dir);
}

QString SFGetSkinDir()
{
    return g_skinDir;
}

QString SFSkinPath(const std::wstring& name)
{
    return g_skinDir + QString::fromStdWString(name);
}

namespace {

struct Prefetched {
    QImage image;
    qint64 modified;
    qint64 size;
};

std::mutex g_prefetchLock;

QHash<QString, Prefetched>& PrefetchedImages()
{
    static QHash<QString, Prefetched> images;
    return images;
}

// The image decoded ahead from the file as it is now, or a null image.
QImage TakePrefetched(const QString& path, const QFileInfo& info)
{
    std::lock_guard<std::mutex> lock(g_prefetchLock);
    QHash<QString, Prefetched>& images = PrefetchedImages();
    const auto found = images.find(path);
    if (found == images.end())
        return QImage();
    Prefetched taken = std::move(*found);
    images.erase(found);
    if (taken.size != info.size() || taken.modified != info.lastModified().toSecsSinceEpoch())
        return QImage();
    return taken.image;
}

} // namespace

void SFPrefetchSkinImage(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !IsPngFile(path, nullptr))
        return;
    Prefetched decoded{QImage(), info.lastModified().toSecsSinceEpoch(), info.size()};
    decoded.image = SFLoadPngFile(path, nullptr);
    if (decoded.image.isNull())
        return;
    std::lock_guard<std::mutex> lock(g_prefetchLock);
    PrefetchedImages().insert(path, std::move(decoded));
}

QPixmap SFSkinImage(const QString& path, const char* format)
{
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return QPixmap();
    struct Kept {
        QPixmap image;
        qint64 modified;  // whole seconds, as QPixmap::load's own cache compared them
        qint64 size;
    };
    // Pixmaps belong to the GUI thread; the cache is never freed, so that none outlives the
    // application object's clean-up.
    static auto* cache = new QHash<QString, Kept>;
    const QCoreApplication* app = QCoreApplication::instance();
    const bool gui = app && QThread::currentThread() == app->thread();
    if (!gui)
        return QPixmap::fromImage(SFReadSkinImage(path, format));
    const QFileInfo info(path);
    if (!info.isFile())
        return QPixmap();
    const QString key = format ? path + QLatin1Char('\n') + QLatin1String(format) : path;
    const auto kept = cache->constFind(key);
    if (kept != cache->constEnd() && kept->size == info.size() && kept->modified == info.lastModified().toSecsSinceEpoch())
        return kept->image;
    // Files decoded ahead are PNG files, read as PNG whatever the format asked.
    QImage decoded = !format || qstricmp(format, "png") == 0 ? TakePrefetched(path, info) : QImage();
    if (decoded.isNull())
        decoded = SFReadSkinImage(path, format);
    const QPixmap image = QPixmap::fromImage(std::move(decoded));
    if (image.isNull()) {
        cache->remove(key);
        return QPixmap();
    }
    cache->insert(key, Kept{image, info.lastModified().toSecsSinceEpoch(), info.size()});
    return image;
}

QImage SFReadSkinImage(const QString& path, const char* format, QString* error)
{
    if (IsPngFile(path, format))
        return SFLoadPngFile(path, error);
    QImageReader reader(path, format);
    QImage image = reader.read();
    if (image.isNull() && error)
        *error = ReaderProblem(path, reader.errorString());
    return image;
}

bool SFCheckSkinImage(const QString& path, QString* error)
{
    if (IsPngFile(path, nullptr))
        return SFCanReadPngFile(path, error);
    QImageReader reader(path);
    if (reader.canRead())
        return true;
    if (error)
        *error = ReaderProblem(path, reader.errorString());
    return false;
}

QIcon SFSkinIcon(const QString& path)
{
    if (!path.isEmpty() && IsPngFile(path, nullptr))
        return QIcon(SFSkinImage(path));
    return QIcon(path);
}

void SFLazySkinImage::SetPath(const QString& path)
{
    m_path = path;
    m_image = QPixmap();
    m_decoded = path.isEmpty();
}

const QPixmap& SFLazySkinImage::Get() const
{
    if (!m_decoded) {
        m_image = SFSkinImage(m_path);
        m_decoded = true;
    }
    return m_image;
}

bool SFLoadSkinPixmap(const QString& path, QPixmap** slot, const char* format)
{
    if (!slot)
        return false;
    delete *slot;
    *slot = nullptr;
    const QPixmap image = SFSkinImage(path, format);
    if (image.isNull())
        return false;
    *slot = new QPixmap(image);
    return true;
}

QString SFFromUtf8(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

QString SFFromWide(const wchar_t* text)
{
    return text ? QString::fromWCharArray(text) : QString();
}

int SFCopyText(const QString& text, wchar_t* buf, int count)
{
    if (!buf || count < 1)
        return 0;
    const std::wstring wide = text.toStdWString();
    const int n = static_cast<int>(std::min<size_t>(wide.size(), static_cast<size_t>(count - 1)));
    for (int i = 0; i < n; ++i)
        buf[i] = wide[static_cast<size_t>(i)];
    buf[n] = L'\0';
    return n;
}
