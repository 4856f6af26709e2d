// Helpers shared by the widget tests.
#pragma once

#include <QCoreApplication>
#include <QImage>
#include <QWidget>

#include "Widgets/SFSkin.h"

// Points the skin folder at the images painted for this build (bin/Skin/).
inline void UseBuildSkin()
{
    SFSetSkinDir((QCoreApplication::applicationDirPath() + QStringLiteral("/Skin/")).toStdWString());
}

inline QImage Grab(QWidget* widget)
{
    return widget->grab().toImage();
}

inline bool SameColour(const QColor& a, const QColor& b, int tolerance = 8)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}
