// Style of CSFQTSliderCtrl: draws its groove and handle from the slider's skin pieces and
// answers its metrics from their sizes.
#pragma once

#include <QCommonStyle>

class QSliderExStyle : public QCommonStyle {
    Q_OBJECT
public:
    void polish(QWidget* widget) override;
    void unpolish(QWidget* widget) override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};
