// Skin folder, skin text parsers and skin image loading shared by every SetSkin.
#pragma once

#include <string>
#include <utility>

#include <QColor>
#include <QPixmap>
#include <QRect>
#include <QString>

#include "os/WinTypes.h"

class QIcon;
class QImage;
class QPixmap;

// "x,y,w,h" -> {x, y, x+w-1, y+h-1} (w by h pixels); empty text -> {0, 0, -1, -1}.
QRect SFParseRect(const std::wstring& text);
// "x,y,w,h" -> {x, y, x+w, y+h}; empty text -> {0, 0, 0, 0}.
QRect SFParseRectExclusive(const std::wstring& text);
// "RRGGBB" -> opaque colour; any other length -> opaque black.
QColor SFParseColor(const std::wstring& text);
// 0x00BBGGRR -> opaque colour.
QColor SFColorFromRef(COLORREF ref);
// "a,b" -> {a, b}; anything but exactly two parts -> {0, 0}; a part that is no number -> 0.
std::pair<int, int> SFParseIntPair(const std::wstring& text);
std::pair<int, int> SFParseIntPair(const QString& text);
// Exactly "stretch" means stretch; anything else means tile.
bool SFIsStretchMode(const std::wstring& mode);
// "left" 0, "center" 1, "right" 2; anything else 0.
int SFParseTitleAlign(const std::wstring& align);

// Skin folder; image names are appended to it without a separator.
void SFSetSkinDir(const std::wstring& dir);
QString SFGetSkinDir();
// Skin folder followed directly by the name.
QString SFSkinPath(const std::wstring& name);

// The decoded image of a file, shared by every control that shows it: on the GUI thread a file is
// decoded once and reused until its size or modification time (in whole seconds) changes; a file
// that does not load is looked for again next time. An empty path or a bare folder (an empty image name) gives a null pixmap at once.
QPixmap SFSkinImage(const QString& path, const char* format = nullptr);
// Decodes a PNG file ahead, on any thread, for SFSkinImage to take (once) on the GUI thread instead of
// decoding it there; the file is read again if it has changed in between.
void SFPrefetchSkinImage(const QString& path);

// Reads an image file: PNG files (format "png", a .png name or the PNG signature) through
// SFLoadPngFile, without Qt's image readers; other formats through Qt. On failure answers a null
// image and stores in *error a sentence naming the file and the reason.
QImage SFReadSkinImage(const QString& path, const char* format = nullptr, QString* error = nullptr);
// Whether the file's header can be read, the way SFReadSkinImage would read it; *error as there.
bool SFCheckSkinImage(const QString& path, QString* error = nullptr);
// An icon of a skin file: a PNG (by name or content, e.g. a PNG named .ico) through SFSkinImage
// (decoded once, shared), other formats through Qt.
QIcon SFSkinIcon(const QString& path);

// A control's skin image, decoded (through SFSkinImage) when it is first drawn: a control shows
// few of its looks, and many controls are never shown at all.
class SFLazySkinImage {
public:
    // An empty path means no image.
    void SetPath(const QString& path);
    // The image, decoded on first use; null when the path is empty or the file does not load.
    const QPixmap& Get() const;

private:
    QString m_path;
    mutable QPixmap m_image;
    mutable bool m_decoded = true;
};

// Loads the file into a new pixmap stored in *slot (the old one is deleted). Answers false and
// stores null when the path is empty or the file cannot be read. Format null = detect.
bool SFLoadSkinPixmap(const QString& path, QPixmap** slot, const char* format = nullptr);

// Narrow UTF-8 text as a Qt string.
QString SFFromUtf8(const char* text);
// Wide text as a Qt string (null gives an empty string).
QString SFFromWide(const wchar_t* text);
// Copies at most count - 1 units of text and a terminating zero into buf; answers the number
// of units copied. Nothing is written when buf is null or count < 1.
int SFCopyText(const QString& text, wchar_t* buf, int count);
