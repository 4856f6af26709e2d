// Skin images decoded ahead, on a thread of their own, while the GUI thread is still busy with
// other start-up work; the skin image cache takes them from here instead of decoding them again.
#pragma once

#include <QImage>
#include <QString>

class QDateTime;

// Starts decoding every PNG of the folder (bounded in count and size). Any thread; once.
void SFPrefetchSkinImages(const QString& dir);
// Hands over the decoded image of the file, when it was decoded from the file as it is now (the
// caller's size and modification time); false otherwise.
bool SFTakePrefetchedSkinImage(const QString& path, qint64 size, const QDateTime& modified, QImage* image);
// Waits for the decoding and frees what was not taken.
void SFEndSkinPrefetch();
