#include "Widgets/QSliderExStyle.h"

#include <QPainter>
#include <QStyleOptionSlider>

#include "Widgets/CSFQTSliderCtrl.h"

namespace {
const CSFQTSliderCtrl* AsSlider(const QWidget* widget)
{
    return qobject_cast<const CSFQTSliderCtrl*>(widget);
}
}  // namespace

void QSliderExStyle::polish(QWidget* widget)
{
    if (AsSlider(widget))
        widget->setAttribute(Qt::WA_Hover, true);
    QCommonStyle::polish(widget);
}

void QSliderExStyle::unpolish(QWidget* widget)
{
    if (AsSlider(widget))
        widget->setAttribute(Qt::WA_Hover, false);
    QCommonStyle::unpolish(widget);
}

void QSliderExStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                        QPainter* painter, const QWidget* widget) const
{
    const CSFQTSliderCtrl* slider = AsSlider(widget);
    const auto* opt = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_Slider || !slider || !opt)
        return;
    const QPoint origin = slider->HandleOrigin(opt->sliderValue);
    const int x = origin.x();
    painter->save();
    const QPixmap* left = slider->Piece(CSFQTSliderCtrl::PieceGrooveLeft);
    const QPixmap* right = slider->Piece(CSFQTSliderCtrl::PieceGrooveRight);
    if (opt->subControls & SC_SliderGroove) {
        const QRect groove = subControlRect(CC_Slider, opt, SC_SliderGroove, widget);
        const QRect handle = subControlRect(CC_Slider, opt, SC_SliderHandle, widget);
        if (!groove.isEmpty() && !handle.isEmpty() && left && right) {
            if (x > 0)
                painter->drawPixmap(QPoint(0, 0), *left, QRect(0, 0, x, left->height()));
            if (right->width() > x)
                painter->drawPixmap(QPoint(x, 0), *right, QRect(x, 0, right->width() - x, right->height()));
        } else if (!left && !right) {
            // No skin: a plain groove, filled up to the handle.
            const int mid = slider->height() / 2;
            painter->fillRect(QRect(0, mid - 2, slider->width(), 4), QColor(201, 206, 214));
            painter->fillRect(QRect(0, mid - 2, x, 4), QColor(45, 136, 239));
        }
    }
    if (opt->subControls & SC_SliderHandle) {
        const QPixmap* normal = slider->Piece(CSFQTSliderCtrl::PieceHandle);
        const QPixmap* hover = slider->Piece(CSFQTSliderCtrl::PieceHandleHover);
        const QPixmap* pressed = slider->Piece(CSFQTSliderCtrl::PieceHandlePressed);
        const QPixmap* disabled = slider->Piece(CSFQTSliderCtrl::PieceHandleDisabled);
        if (normal && hover && pressed && disabled) {
            const bool over = opt->state & State_MouseOver;
            const bool enabled = opt->state & State_Enabled;
            const QPixmap* image = disabled;
            if (over && (opt->state & State_Sunken))
                image = pressed;
            else if (over && enabled)
                image = hover;
            else if (enabled)
                image = normal;
            painter->drawPixmap(QPoint(x - image->width() / 2, origin.y()), *image);
        } else if (!normal && !hover && !pressed && !disabled) {
            // No skin: a plain handle.
            painter->setPen(Qt::NoPen);
            painter->setBrush((opt->state & State_Enabled) ? QColor(45, 136, 239) : QColor(154, 163, 174));
            painter->drawRoundedRect(QRect(x - 4, 1, 8, qMax(2, slider->height() - 2)), 2, 2);
        }
    }
    painter->restore();
}

int QSliderExStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    if (const CSFQTSliderCtrl* slider = AsSlider(widget)) {
        const QPixmap* handle = slider->Piece(CSFQTSliderCtrl::PieceHandle);
        const QPixmap* right = slider->Piece(CSFQTSliderCtrl::PieceGrooveRight);
        switch (metric) {
        case PM_SliderThickness:
            if (right)
                return right->height();
            break;
        case PM_SliderControlThickness:
            if (handle)
                return handle->width();
            break;
        case PM_SliderLength:
        case PM_ScrollBarSliderMin:
            if (right)
                return right->width();
            break;
        default:
            break;
        }
    }
    return QCommonStyle::pixelMetric(metric, option, widget);
}

int QSliderExStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                              QStyleHintReturn* returnData) const
{
    if (hint == SH_Slider_AbsoluteSetButtons)
        return Qt::LeftButton;
    return QCommonStyle::styleHint(hint, option, widget, returnData);
}
