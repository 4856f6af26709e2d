#include "Widgets/SFAppStyle.h"

#include <algorithm>

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>
#include <QToolTip>

namespace {
const QColor kText(0x1B, 0x24, 0x30);
const QColor kBorder(0xC9, 0xCE, 0xD6);
const QColor kAccent(0x2D, 0x88, 0xEF);
const QColor kReadOnly(0xF7, 0xF8, 0xFA);
const QColor kTrack(0xF2, 0xF4, 0xF7);
const QColor kHandle(0xC9, 0xCE, 0xD6);
const QColor kHandleHover(0x9A, 0xA3, 0xAE);
constexpr int kScrollBarExtent = 10;
constexpr int kHandleMin = 24;
constexpr int kTipPadding = 3;
constexpr qreal kEditRadius = 3.0;

bool IsProgramEdit(const QWidget* widget)
{
    return widget && widget->inherits("CSFQTEditCtrl");
}

// Groove, handle and the pages before and after it: no arrow buttons.
QRect ScrollBarPart(const QStyleOptionSlider& bar, QStyle::SubControl sub)
{
    const QRect r = bar.rect;
    const bool horizontal = bar.orientation == Qt::Horizontal;
    const int length = horizontal ? r.width() : r.height();
    const qint64 range = static_cast<qint64>(bar.maximum) - bar.minimum;
    int handle = length;
    if (range > 0) {
        const qint64 proportional = static_cast<qint64>(bar.pageStep) * length / (range + bar.pageStep);
        handle = static_cast<int>(std::clamp<qint64>(proportional, kHandleMin, length));
    }
    handle = std::min(handle, length);
    const int pos = range > 0 ? QStyle::sliderPositionFromValue(bar.minimum, bar.maximum, bar.sliderPosition,
                                                                length - handle, bar.upsideDown)
                              : 0;
    auto span = [&](int from, int size) {
        return horizontal ? QRect(r.x() + from, r.y(), size, r.height()) : QRect(r.x(), r.y() + from, r.width(), size);
    };
    switch (sub) {
    case QStyle::SC_ScrollBarGroove:
        return r;
    case QStyle::SC_ScrollBarSlider:
        return span(pos, handle);
    case QStyle::SC_ScrollBarSubPage:
        return span(0, pos);
    case QStyle::SC_ScrollBarAddPage:
        return span(pos + handle, length - pos - handle);
    default:
        return QRect();
    }
}
}  // namespace

const char kSFMenuSheet[] =
    "QMenu {background-color: #FFFFFF; border: 1px solid #C9CED6; color: #1B2430; padding: 4px 0px;}"
    "QMenu::item {padding: 5px 24px 5px 16px;}"
    "QMenu::item:selected {background-color: #E3EEFB; color: #1F6FCC;}"
    "QMenu::item:disabled {color: #9AA3AE;}"
    "QMenu::separator {height: 1px; background-color: #E4E7EB; margin: 4px 8px;}";

const char kSFScrollBarSheet[] =
    "QScrollBar:vertical {background-color: #F2F4F7; width: 10px; margin: 0px;}"
    "QScrollBar::handle:vertical {background-color: #C9CED6; min-height: 24px; border-radius: 4px; margin: 1px;}"
    "QScrollBar::handle:vertical:hover {background-color: #9AA3AE;}"
    "QScrollBar:horizontal {background-color: #F2F4F7; height: 10px; margin: 0px;}"
    "QScrollBar::handle:horizontal {background-color: #C9CED6; min-width: 24px; border-radius: 4px; margin: 1px;}"
    "QScrollBar::handle:horizontal:hover {background-color: #9AA3AE;}"
    "QScrollBar::add-line, QScrollBar::sub-line {width: 0px; height: 0px;}"
    "QScrollBar::add-page, QScrollBar::sub-page {background: none;}";

CSFAppStyle::CSFAppStyle() : QProxyStyle() {}

void CSFAppStyle::polish(QApplication* app)
{
    QProxyStyle::polish(app);
    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipBase, Qt::white);
    tips.setColor(QPalette::ToolTipText, kText);
    QToolTip::setPalette(tips);
}

int CSFAppStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_ScrollBarExtent:
        return kScrollBarExtent;
    case PM_ScrollBarSliderMin:
        return kHandleMin;
    case PM_ToolTipLabelFrameWidth:
        return kTipPadding;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QRect CSFAppStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                                  const QWidget* widget) const
{
    if (control == CC_ScrollBar) {
        if (const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option))
            return visualRect(bar->direction, bar->rect, ScrollBarPart(*bar, sub));
    }
    return QProxyStyle::subControlRect(control, option, sub, widget);
}

void CSFAppStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                     const QWidget* widget) const
{
    if (control == CC_SpinBox && widget && widget->inherits("CSFQTDateTimeCtrl")) {
        // Date and time fields have no frame of their own: a one-pixel border in the border colour.
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        painter->save();
        painter->setPen(kBorder);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
        return;
    }
    const auto* bar = control == CC_ScrollBar ? qstyleoption_cast<const QStyleOptionSlider*>(option) : nullptr;
    if (!bar) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    painter->save();
    painter->fillRect(bar->rect, kTrack);
    const QRect handle = subControlRect(CC_ScrollBar, bar, SC_ScrollBarSlider, widget).adjusted(1, 1, -1, -1);
    if (handle.isValid() && bar->maximum > bar->minimum) {
        const bool over = (bar->activeSubControls & SC_ScrollBarSlider) &&
                          (bar->state & (State_MouseOver | State_Sunken));
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(over ? kHandleHover : kHandle);
        painter->drawRoundedRect(QRectF(handle), 4, 4);
    }
    painter->restore();
}

void CSFAppStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const
{
    if (element == PE_PanelTipLabel) {
        painter->save();
        painter->fillRect(option->rect, Qt::white);
        painter->setPen(kBorder);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
        return;
    }
    if (element == PE_PanelLineEdit && IsProgramEdit(widget)) {
        const auto* edit = static_cast<const QLineEdit*>(widget);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const QRectF box = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
        QPainterPath shape;
        shape.addRoundedRect(box, kEditRadius, kEditRadius);
        if (edit->isReadOnly())
            painter->fillPath(shape, kReadOnly);
        else
            painter->fillPath(shape, option->palette.brush(QPalette::Base));
        painter->setPen(QPen((option->state & State_HasFocus) ? kAccent : kBorder, 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(shape);
        painter->restore();
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void SFInstallProgramStyle(QApplication* app)
{
    if (app && !dynamic_cast<CSFAppStyle*>(QApplication::style()))
        QApplication::setStyle(new CSFAppStyle);
}
