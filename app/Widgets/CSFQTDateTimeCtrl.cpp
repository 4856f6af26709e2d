#include "Widgets/CSFQTDateTimeCtrl.h"

#include <new>

#include <QPainter>
#include <QPolygonF>
#include <QStyleOptionSpinBox>

#include "Widgets/CSFQTButton.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

CSFQTDateTimeCtrl::CSFQTDateTimeCtrl(ISFDateTimeCtrlEvent* sink, int type)
    : QDateTimeEdit(nullptr), CSFDateTimeCtrl(sink), m_nType(type)
{
    static const char* const formats[] = {"yyyy-MM-dd", "hh:mm:ss", "hh:mm"};
    setDisplayFormat(type >= 0 && type <= 2 ? QString::fromLatin1(formats[type]) : QString());
    setWrapping(true);
    setFrame(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    connect(this, &QDateTimeEdit::dateTimeChanged, this, &CSFQTDateTimeCtrl::OnDateTimeChanged);
}

int CSFQTDateTimeCtrl::Create(DWORD, const RECT& rect, void* parent, UINT id)
{
    setParent(static_cast<QWidget*>(parent));
    setGeometry(SFRectExclusive(rect));
    m_nId = id;
    return 1;
}

int CSFQTDateTimeCtrl::SetSkin(ImageDateTimeStyle* style)
{
    if (m_nOriginStyle == 1 || !style)
        return 0;
    const QString dir = SFGetSkinDir();
    // Button fields may hold pieces of the frame image ("x,y,w,h") rather than files: those keep
    // the default arrows.
    auto rule = [&dir](const char* opening, const std::wstring& field) {
        if (field.find(L'.') == std::wstring::npos)
            return QString();
        return QString::fromLatin1(opening) + dir + QString::fromStdWString(field) + QStringLiteral(");}");
    };
    // The frame keeps its one-pixel border at any height.
    QString frame = QStringLiteral("QDateTimeEdit { padding: 0 8px; }");
    if (style->strFrameImage.find(L'.') != std::wstring::npos)
        frame = QStringLiteral("QDateTimeEdit { padding: 0 8px; border-width: 1px; border-image: url(") + dir +
                QString::fromStdWString(style->strFrameImage) + QStringLiteral(") 1 1 1 1 stretch;}");
    // Spin buttons drawn from the frame's colours when no image is given for them.
    m_bDrawArrows =
        style->strUpImage.find(L'.') == std::wstring::npos && style->strDownImage.find(L'.') == std::wstring::npos;
    if (m_bDrawArrows)
        frame += QStringLiteral(
            "QDateTimeEdit { padding-right: 0px; }"
            "QDateTimeEdit::up-button, QDateTimeEdit::down-button { subcontrol-origin: padding; width: 19px;"
            " height: 12px; border-left: 1px solid #c8d4e2; background: #f5f8fc; }"
            "QDateTimeEdit::up-button { subcontrol-position: top right; }"
            "QDateTimeEdit::down-button { subcontrol-position: bottom right; }"
            "QDateTimeEdit::up-button:hover, QDateTimeEdit::down-button:hover { background: #e3eefb; }"
            "QDateTimeEdit::up-arrow, QDateTimeEdit::down-arrow { image: none; width: 0; height: 0; }");
    setStyleSheet(frame +
                  rule("QDateTimeEdit::up-button {width: 21px; border-image: url(", style->strUpImage) +
                  rule("QDateTimeEdit::up-button:hover {border-image: url(", style->strUpImage) +
                  rule("QDateTimeEdit::up-button:pressed {border-image: url(", style->strUpPressedImage) +
                  rule("QDateTimeEdit::up-button:disabled {border-image: url(", style->strUpDisabledImage) +
                  rule("QDateTimeEdit::down-button {width: 21px; border-image: url(", style->strDownImage) +
                  rule("QDateTimeEdit::down-button:hover {border-image: url(", style->strDownImage) +
                  rule("QDateTimeEdit::down-button:pressed {border-image: url(", style->strDownPressedImage) +
                  rule("QDateTimeEdit::down-button:disabled {border-image: url(", style->strDownDisabledImage));
    return 1;
}

void CSFQTDateTimeCtrl::MoveWindow(RECT* rect)
{
    if (rect)
        setGeometry(SFRectInclusive(*rect));
}

void CSFQTDateTimeCtrl::GetWindowRect(RECT* rect)
{
    if (rect)
        *rect = RECT{0, 0, width() - 1, height() - 1};
}

int CSFQTDateTimeCtrl::GetTime(_SF_SYSTEMTIME* time) const
{
    if (!time)
        return 0;
    const QTime t = this->time();
    time->wHour = static_cast<WORD>(t.hour());
    time->wMinute = static_cast<WORD>(t.minute());
    time->wSecond = static_cast<WORD>(t.second());
    return 1;
}

int CSFQTDateTimeCtrl::GetDate(_SF_SYSTEMTIME* time) const
{
    if (!time)
        return 0;
    const QDate d = date();
    time->wYear = static_cast<WORD>(d.year());
    time->wMonth = static_cast<WORD>(d.month());
    time->wDay = static_cast<WORD>(d.day());
    return 1;
}

int CSFQTDateTimeCtrl::SetTime(_SF_SYSTEMTIME* time)
{
    if (!time)
        return 0;
    setTime(QTime(time->wHour, time->wMinute, time->wSecond, 0));
    return 1;
}

int CSFQTDateTimeCtrl::SetDate(_SF_SYSTEMTIME* time)
{
    if (!time)
        return 0;
    setDate(QDate(time->wYear, time->wMonth, time->wDay));
    return 1;
}

void CSFQTDateTimeCtrl::SetDateRange(_SF_SYSTEMTIME* const& min, _SF_SYSTEMTIME* const& max)
{
    if (!min || !max)
        return;
    setDateRange(QDate(min->wYear, min->wMonth, min->wDay), QDate(max->wYear, max->wMonth, max->wDay));
}

void CSFQTDateTimeCtrl::OnDateTimeChanged(const QDateTime& value)
{
    if (!m_pSink)
        return;
    _SF_SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(value.date().year());
    t.wMonth = static_cast<WORD>(value.date().month());
    t.wDay = static_cast<WORD>(value.date().day());
    t.wHour = static_cast<WORD>(value.time().hour());
    t.wMinute = static_cast<WORD>(value.time().minute());
    t.wSecond = static_cast<WORD>(value.time().second());
    m_pSink->DTN_DateTimeChange(m_nId, t);
}

void CSFQTDateTimeCtrl::paintEvent(QPaintEvent* event)
{
    QDateTimeEdit::paintEvent(event);
    if (!m_bDrawArrows)
        return;
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(isEnabled() ? QColor(0x4a, 0x5a, 0x6e) : QColor(0xb0, 0xb8, 0xc4));
    for (const bool up : {true, false}) {
        const QRect r = style()->subControlRect(QStyle::CC_SpinBox, &option,
                                                up ? QStyle::SC_SpinBoxUp : QStyle::SC_SpinBoxDown, this);
        const QPointF c = QRectF(r).center();
        const qreal dy = up ? -1.5 : 1.5;
        const QPointF tip(c.x(), c.y() + dy * 1.5);
        const QPointF left(c.x() - 4, c.y() - dy), right(c.x() + 4, c.y() - dy);
        p.drawPolygon(QPolygonF({tip, left, right}));
    }
}

CSFDateTimeCtrl* CreateSFDateTimeCtrl(ISFDateTimeCtrlEvent* sink, int kind)
{
    return new (std::nothrow) CSFQTDateTimeCtrl(sink, kind);
}
