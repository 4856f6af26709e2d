// Animated skin images, written as GIF.
#pragma once

#include <QImage>
#include <QString>

#include <vector>

// Writes frames (same size) as a looping GIF with `delayCs` hundredths of a second per frame.
// Pixels below half opacity become transparent. Answers false with a reason when it cannot.
bool WriteAnimatedGif(const QString& path, const std::vector<QImage>& frames, int delayCs, QString* error);

// Paints every animated image of the skin into the folder; answers the number of failures.
int PaintSkinAnimations(const QString& folder);
