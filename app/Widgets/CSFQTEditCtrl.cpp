#include "Widgets/CSFQTEditCtrl.h"

#include <new>

#include <QDoubleValidator>
#include <QFocusEvent>
#include <QIntValidator>
#include <QPalette>
#include <QPixmap>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolTip>

#include "Widgets/CSFQTButton.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"

namespace {
const char* const kEmailPattern = "[a-zA-Z0-9_.-]+@[a-zA-Z0-9_-]+(\\.[a-zA-Z0-9_-]+)+";

std::wstring ToWide(const QString& text)
{
    return text.toStdWString();
}
}  // namespace

CSFQTEditCtrl::CSFQTEditCtrl(ISFEditCtrlEvent* sink) : QLineEdit(nullptr), CSFEditCtrl(sink)
{
    setAutoFillBackground(true);
    setFrame(false);
    // Room for the frame the program style draws and the text's padding inside it.
    setTextMargins(5, 1, 5, 1);
    setFocusPolicy(Qt::StrongFocus);
    ConnectTextChange(true);
    connect(this, &QLineEdit::returnPressed, this, &CSFQTEditCtrl::OnKeyPressed);
    connect(this, &QLineEdit::editingFinished, this, &CSFQTEditCtrl::editingFinishe);
}

CSFQTEditCtrl::~CSFQTEditCtrl()
{
    // The validator has no Qt parent: the control releases the one in use.
    setValidator(nullptr);
    delete m_pValidator;
}

void CSFQTEditCtrl::ConnectTextChange(bool on)
{
    if (on)
        connect(this, &QLineEdit::textChanged, this, &CSFQTEditCtrl::OnTextChange);
    else
        disconnect(this, &QLineEdit::textChanged, this, &CSFQTEditCtrl::OnTextChange);
}

int CSFQTEditCtrl::Create(DWORD style, const RECT& rect, void* parent, UINT id, bool password)
{
    setObjectName(QStringLiteral("Others"));
    setParent(static_cast<QWidget*>(parent));
    setGeometry(SFRectExclusive(rect));
    m_nId = id;
    setVisible((style & WS_VISIBLE) != 0);
    if (password)
        setEchoMode(QLineEdit::Password);
    return 1;
}

int CSFQTEditCtrl::SetSkin(const wchar_t* image)
{
    QPixmap pixmap = SFSkinImage(SFGetSkinDir() + SFFromWide(image));
    // A placed field gets its frame image at its own size instead of tiles of it.
    if (!pixmap.isNull() && testAttribute(Qt::WA_Resized) && width() > 0 && height() > 0)
        pixmap = pixmap.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPalette palette;
    palette.setBrush(QPalette::All, QPalette::Base, QBrush(pixmap));
    setPalette(palette);
    return 1;
}

void CSFQTEditCtrl::MoveWindow(RECT* rect)
{
    if (rect)
        setGeometry(SFRectInclusive(*rect));
}

int CSFQTEditCtrl::GetWindowTextW(wchar_t* buf, int count) const
{
    const std::wstring wide = ToWide(text());
    const int length = static_cast<int>(wide.size());
    if (!buf || count < 1)
        return length;
    const int n = length < count ? length : count;
    for (int i = 0; i < n; ++i)
        buf[i] = wide[static_cast<size_t>(i)];
    if (n < count)
        buf[n] = L'\0';
    return length;
}

void CSFQTEditCtrl::SetWindowTextW(const wchar_t* text)
{
    ConnectTextChange(false);
    setText(SFFromWide(text));
    // A value shown read-only is shown from its start.
    if (isReadOnly())
        setCursorPosition(0);
    if (m_nTextColor != 0)
        SetTextColor(m_nTextColor);
    ConnectTextChange(true);
}

bool CSFQTEditCtrl::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty() && echoMode() == QLineEdit::Normal) {
        QStyleOptionFrame option;
        initStyleOption(&option);
        const QRect area = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
        if (fontMetrics().horizontalAdvance(text()) > area.width() - 4) {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void CSFQTEditCtrl::EnableWindow(int enable)
{
    setEnabled(enable != 0);
    // The style sheet replaces the frame image: it draws the same frame itself.
    setStyleSheet(enable ? QStringLiteral("background-color:white; border:1px solid rgb(201,206,214)")
                         : QStringLiteral("background-color:rgb(230,230,230); border:1px solid rgb(201,206,214)"));
    setTextMargins(4, 0, 4, 0);
}

void CSFQTEditCtrl::SetReadOnly(int readOnly)
{
    setEnabled(true);
    setReadOnly(readOnly != 0);
}

void CSFQTEditCtrl::GetEditCtrolPos(RECT& rect)
{
    const QRect g = geometry();
    rect = RECT{g.left(), g.top(), g.right(), g.bottom()};
}

void CSFQTEditCtrl::ReplaceValidator(QValidator* validator)
{
    QValidator* old = m_pValidator;
    m_pValidator = validator;
    setValidator(validator);
    delete old;
}

void CSFQTEditCtrl::SetRegExp(std::string pattern)
{
    ReplaceValidator(new QRegularExpressionValidator(QRegularExpression(QString::fromStdString(pattern))));
}

void CSFQTEditCtrl::SetRegExp()
{
    SetRegExp("[A-Za-z0-9]+$");
}

void CSFQTEditCtrl::SetObjectName(const wchar_t* name)
{
    setObjectName(SFFromWide(name));
    setStyleSheet(QStringLiteral(
        "QLineEdit{background-color:rgb(253,253,253);color:rgb(45,136,239);font-size:14px;font-weight:bold;"
        "border-width:0;padding-left:0;padding-right:0;border-style:outset}"));
    setTextMargins(0, 0, 0, 0);
}

void CSFQTEditCtrl::SetTextColor(DWORD colour)
{
    m_nTextColor = colour;
}

void CSFQTEditCtrl::SetNumType(int numeric)
{
    SetRegExp(numeric ? "[0-9]+$" : ".*");
}

void CSFQTEditCtrl::SetEmailType()
{
    SetRegExp(kEmailPattern);
}

bool CSFQTEditCtrl::CheckEmailMatch()
{
    static const QRegularExpression email(QRegularExpression::anchoredPattern(QString::fromLatin1(kEmailPattern)));
    return email.match(text()).hasMatch();
}

void CSFQTEditCtrl::SetIntValidator(int bottom, int top)
{
    ReplaceValidator(new QIntValidator(bottom, top));
}

void CSFQTEditCtrl::SetDoubleValidator(double bottom, double top)
{
    auto* validator = new QDoubleValidator(bottom, top, 2);
    validator->setNotation(QDoubleValidator::StandardNotation);
    validator->setLocale(QLocale::c());
    ReplaceValidator(validator);
}

void CSFQTEditCtrl::OnTextChange(const QString& text)
{
    if (!m_pSink)
        return;
    std::wstring wide = ToWide(text);
    m_pSink->EDIT_OnTextChange(m_nId, wide.data());
}

// One Enter reports once; every later loss of the focus that ends an edit reports once more.
// The toolkit's own finish signal is not used for this: it follows Enter, and on a loss of the
// focus it is only sent when the text changed since it was last sent.
void CSFQTEditCtrl::OnKeyPressed()
{
    if (!m_pSink)
        return;
    std::wstring wide = ToWide(text());
    m_pSink->EDIT_OnEnterPressed(m_nId, wide.data());
    m_bLeavingAfterEnter = true;
    clearFocus();
    m_bLeavingAfterEnter = false;
}

void CSFQTEditCtrl::editingFinishe() {}

void CSFQTEditCtrl::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (!m_pSink || m_bLeavingAfterEnter || event->reason() == Qt::PopupFocusReason || !hasAcceptableInput())
        return;
    std::wstring wide = ToWide(text());
    m_pSink->EDIT_OnEnterPressed(m_nId, wide.data());
}

CSFEditCtrl* CreateSFEditCtrl(ISFEditCtrlEvent* sink)
{
    return new (std::nothrow) CSFQTEditCtrl(sink);
}

void DestroySFEditCtrl(CSFEditCtrl*) {}
