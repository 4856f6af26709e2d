#include "Widgets/CSFQTComboBox.h"

#include <new>

#include <QAbstractItemView>
#include <QCommonStyle>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>

#include "Widgets/CSFQTButton.h"
#include "Widgets/SFAppStyle.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

namespace {
const char kDropDownSheet[] =
    "QComboBox {subcontrol-position: bottom;}"
    "QComboBox QAbstractItemView {border: 1px solid gray;border-top-width: 0px;outline:0px;border-radius:3px;"
    "background-color: rgb(237,239,245);"
    "selection-background-color: rgb(227,238,251);"
    "subcontrol-origin: content;"
    "background-clip:content;"
    "position: absolute;}"
    "QComboBox QAbstractItemView::item:selected {background: rgb(227,238,251);color: rgb(31,111,204);}";

enum { PieceNormal = 0, PieceHover = 1, PieceOpenBelow = 2, PieceOpenAbove = 3, PieceDisabled = 4 };
}  // namespace

CSFQTComboBox::CSFQTComboBox(ISFComboBoxEvent* sink) : QComboBox(nullptr), CSFComboBox(sink)
{
    auto* style = new QCommonStyle;
    style->setParent(this);
    setStyle(style);
    setFrame(false);
    view()->viewport()->setFocusPolicy(Qt::NoFocus);
    for (QRect& piece : m_pieces)
        piece = QRect(QPoint(0, 0), QPoint(0, 0));
    Quiet(false);
}

void CSFQTComboBox::Quiet(bool on)
{
    if (on)
        disconnect(this, &QComboBox::currentIndexChanged, this, &CSFQTComboBox::OnSelectChanged);
    else
        connect(this, &QComboBox::currentIndexChanged, this, &CSFQTComboBox::OnSelectChanged);
}

int CSFQTComboBox::Create(DWORD style, const RECT& rect, void* parent, UINT id)
{
    setParent(static_cast<QWidget*>(parent));
    setGeometry(SFRectExclusive(rect));
    m_nId = id;
    setVisible((style & WS_VISIBLE) != 0);
    return 1;
}

int CSFQTComboBox::SetSkin(ImageComboBoxStyle* style)
{
    if (!style || m_nOriginStyle == 1)
        return 0;
    m_image = SFSkinImage(SFSkinPath(style->strImage));
    const std::wstring* rects[5] = {&style->strNormalRect, &style->strHoverRect, &style->strDropDownRect,
                                    &style->strDropUpRect, &style->strDisabledRect};
    for (int i = 0; i < 5; ++i) {
        if (!rects[i]->empty())
            m_pieces[i] = SFParseRectExclusive(*rects[i]);
    }
    // The sheet styles only the drop-down list; building its style waits until the list is shown.
    m_bListSheetPending = true;
    return 1;
}

void CSFQTComboBox::MoveWindow(RECT* rect)
{
    if (rect)
        setGeometry(SFRectInclusive(*rect));
}

int CSFQTComboBox::AddString(const wchar_t* text)
{
    Quiet(true);
    QImage blank(1, 25, QImage::Format_ARGB32);
    blank.fill(Qt::transparent);
    addItem(QIcon(QPixmap::fromImage(blank)), SFFromWide(text));
    setIconSize(QSize(1, 25));
    Quiet(false);
    return count() - 1;
}

int CSFQTComboBox::DeleteString(UINT index)
{
    if (index >= static_cast<UINT>(count()))
        return -1;
    Quiet(true);
    removeItem(static_cast<int>(index));
    Quiet(false);
    return count();
}

int CSFQTComboBox::GetLBText(int index, wchar_t* buf) const
{
    if (index < 0 || index >= count())
        return -1;
    const std::wstring wide = itemText(index).toStdWString();
    if (!buf)
        return static_cast<int>(wide.size());
    wide.copy(buf, wide.size());
    buf[wide.size()] = L'\0';
    return static_cast<int>(wide.size());
}

int CSFQTComboBox::GetLBText(int index, wchar_t* buf, int count) const
{
    if (index < 0 || index >= this->count())
        return -1;
    return SFCopyText(itemText(index), buf, count);
}

int CSFQTComboBox::SetCurSel(int index)
{
    if (index < 0 || index >= count())
        return -1;
    Quiet(true);
    setCurrentIndex(index);
    Quiet(false);
    return currentIndex();
}

void CSFQTComboBox::Clear()
{
    Quiet(true);
    clear();
    Quiet(false);
}

void CSFQTComboBox::ResetContent()
{
    for (int i = count() - 1; i >= 0; --i)
        DeleteString(static_cast<UINT>(i));
}

void CSFQTComboBox::OnSelectChanged(int index)
{
    if (!m_pSink)
        return;
    m_pSink->SelectChanged(static_cast<int>(m_nId), index);
    m_pSink->SelectChanged(static_cast<int>(m_nId), index, static_cast<QObject*>(this));
}

QRect CSFQTComboBox::CurrentPiece() const
{
    if (!isEnabled())
        return m_pieces[PieceDisabled];
    if (m_nListShown)
        return OpenPiece();
    return m_nLook == LookHover ? m_pieces[PieceHover] : m_pieces[PieceNormal];
}

QRect CSFQTComboBox::OpenPiece() const
{
    const int n = std::min(count(), maxVisibleItems());
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int lastRow = screen ? screen->geometry().bottom() : 0;
    const int top = mapToGlobal(QPoint(0, 0)).y();
    return top + height() + 25 * n > lastRow ? m_pieces[PieceOpenAbove] : m_pieces[PieceOpenBelow];
}

void CSFQTComboBox::paintEvent(QPaintEvent* event)
{
    if (m_nOriginStyle == 1) {
        QComboBox::paintEvent(event);
        return;
    }
    QPainter p(this);
    if (!m_image.isNull())
        p.drawPixmap(rect(), m_image, CurrentPiece());
    else
        p.fillRect(rect(), isEnabled() ? QColor(253, 253, 253) : QColor(230, 230, 230));
    QRect textRect = rect();
    textRect.setRight(textRect.right() - height());
    p.drawText(textRect, Qt::AlignCenter, currentText());
}

void CSFQTComboBox::SetLook(int look)
{
    if (m_nLook == look)
        return;
    m_nLook = look;
    update();
}

void CSFQTComboBox::mousePressEvent(QMouseEvent* event)
{
    m_nLook = LookOpen;
    update();
    QComboBox::mousePressEvent(event);
}

void CSFQTComboBox::mouseReleaseEvent(QMouseEvent* event)
{
    m_nLook = LookNormal;
    update();
    QComboBox::mouseReleaseEvent(event);
}

void CSFQTComboBox::enterEvent(QEnterEvent* event)
{
    if (!view()->isActiveWindow())
        SetLook(LookHover);
    QComboBox::enterEvent(event);
}

void CSFQTComboBox::leaveEvent(QEvent* event)
{
    if (!view()->isActiveWindow())
        SetLook(LookNormal);
    QComboBox::leaveEvent(event);
}

void CSFQTComboBox::showPopup()
{
    SetLook(LookOpen);
    m_nListShown = 1;
    if (m_bListSheetPending) {
        m_bListSheetPending = false;
        setStyleSheet(QString::fromLatin1(kDropDownSheet) + QString::fromLatin1(kSFScrollBarSheet));
    }
    QComboBox::showPopup();
}

void CSFQTComboBox::hidePopup()
{
    SetLook(LookNormal);
    m_nListShown = 0;
    QComboBox::hidePopup();
}

void CSFQTComboBox::focusInEvent(QFocusEvent* event)
{
    SetLook(LookNormal);
    m_nListShown = 0;
    QComboBox::focusInEvent(event);
}

void CSFQTComboBox::wheelEvent(QWheelEvent* event)
{
    event->ignore();
}

CSFComboBox* CreateSFComboBox(ISFComboBoxEvent* sink)
{
    return new (std::nothrow) CSFQTComboBox(sink);
}

void DestroySFComboBox(CSFComboBox*) {}
