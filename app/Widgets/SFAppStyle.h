// The program's own look of the parts that no skin image gives: tool tips, scroll bars and the
// frames of the text and date fields. A proxy over the default style: unlike an application style sheet,
// it costs nothing per widget.
#pragma once

#include <QProxyStyle>

class CSFAppStyle : public QProxyStyle {
public:
    CSFAppStyle();

    void polish(QApplication* app) override;
    using QProxyStyle::polish;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
};

// Makes CSFAppStyle the application's style.
void SFInstallProgramStyle(QApplication* app);

// Style sheet of the program's pop-up menus (set on each menu, not on the application).
extern const char kSFMenuSheet[];
// Style sheet rules of a scroll bar inside a widget that has a style sheet of its own.
extern const char kSFScrollBarSheet[];
