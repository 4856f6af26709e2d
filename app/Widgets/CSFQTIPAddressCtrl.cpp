#include "Widgets/CSFQTIPAddressCtrl.h"

#include <new>

#include <QLabel>

#include "Widgets/IPFieldItem.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"

namespace {
const char kFieldSheet[] = "QLineEdit{border-width:0;padding-left:0;padding-right:0;border-style:outset}";
const char kFieldDisabledSheet[] =
    "QLineEdit{background-color:rgb(230, 230, 230);color:gray;border-width:0;padding-left:0;padding-right:0;"
    "border-style:outset}";
}  // namespace

CSFQTIPAddressCtrl::CSFQTIPAddressCtrl(ISFIPAddressCtrlEvent* sink) : QLineEdit(nullptr), CSFIPAddressCtrl(sink)
{
    setAutoFillBackground(true);
    setFrame(false);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_MacShowFocusRect, false);
}

int CSFQTIPAddressCtrl::Create(DWORD style, const RECT& rect, void* parent, UINT id, bool notify)
{
    setParent(static_cast<QWidget*>(parent));
    setReadOnly(true);
    setObjectName(QStringLiteral("ParentEdit"));
    m_nId = id;
    m_bNotify = notify;
    setVisible((style & WS_VISIBLE) != 0);
    for (int i = 0; i < 4; ++i)
        m_fields[i] = new IPFieldItem(this, i + 1, this);
    for (int i = 0; i < 4; ++i) {
        m_fields[i]->m_pPrev = i > 0 ? m_fields[i - 1] : nullptr;
        m_fields[i]->m_pNext = i < 3 ? m_fields[i + 1] : nullptr;
    }
    for (int i = 0; i < 3; ++i)
        m_dots[i] = new QLabel(QStringLiteral("."), this);
    MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return 1;
}

void CSFQTIPAddressCtrl::MoveWindow(RECT* rect)
{
    if (rect)
        MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
}

void CSFQTIPAddressCtrl::MoveWindow(int x, int y, int w, int h)
{
    setGeometry(x, y, w, h);
    if (!m_fields[0])
        return;
    const int d = (w - 14) / 4;
    for (int i = 0; i < 4; ++i) {
        m_fields[i]->setStyleSheet(QString::fromLatin1(kFieldSheet));
        m_fields[i]->setAlignment(Qt::AlignCenter);
        m_fields[i]->setGeometry(2 + i * (d + 4), 1, d, h - 2);
    }
    for (int i = 0; i < 3; ++i) {
        m_dots[i]->setAlignment(Qt::AlignCenter);
        m_dots[i]->setFrameShape(QFrame::NoFrame);
        const int n = i + 1;
        m_dots[i]->setGeometry(2 + n * d + (n - 1) * 4, 1, 4, h - 2);
    }
    m_fields[0]->setFocus();
}

void CSFQTIPAddressCtrl::SetAddress(DWORD address)
{
    SetAddress(static_cast<BYTE>(address >> 24), static_cast<BYTE>(address >> 16), static_cast<BYTE>(address >> 8),
               static_cast<BYTE>(address));
}

void CSFQTIPAddressCtrl::SetAddress(BYTE o1, BYTE o2, BYTE o3, BYTE o4)
{
    if (!m_fields[0])
        return;
    const BYTE octets[4] = {o1, o2, o3, o4};
    for (int i = 0; i < 4; ++i)
        m_fields[i]->setText(QString::number(octets[i]));
}

void CSFQTIPAddressCtrl::SetAddressOnline(DWORD value, UINT field, int flag)
{
    if (flag != 0 || field < 1 || field > 3 || !m_fields[0])
        return;
    m_fields[field - 1]->setText(QString::number(value & 0xFF));
}

int CSFQTIPAddressCtrl::GetAddress(BYTE& o1, BYTE& o2, BYTE& o3, BYTE& o4)
{
    BYTE* octets[4] = {&o1, &o2, &o3, &o4};
    int empty = 0;
    for (int i = 0; i < 4; ++i) {
        const QString text = m_fields[i] ? m_fields[i]->text() : QString();
        if (text.isEmpty())
            ++empty;
        else
            *octets[i] = static_cast<BYTE>(text.toUInt());
    }
    return empty;
}

int CSFQTIPAddressCtrl::GetAddress(DWORD& address)
{
    BYTE o[4] = {0, 0, 0, 0};
    const int empty = GetAddress(o[0], o[1], o[2], o[3]);
    address = (static_cast<DWORD>(o[0]) << 24) | (static_cast<DWORD>(o[1]) << 16) | (static_cast<DWORD>(o[2]) << 8) |
              o[3];
    return empty;
}

void CSFQTIPAddressCtrl::ClearAddress()
{
    for (IPFieldItem* field : m_fields) {
        if (field)
            field->setText(QString());
    }
}

void CSFQTIPAddressCtrl::EnableWindow(int enable)
{
    for (IPFieldItem* field : m_fields) {
        if (!field)
            continue;
        field->setStyleSheet(QString::fromLatin1(kFieldSheet));
        if (!enable)
            field->setStyleSheet(QString::fromLatin1(kFieldDisabledSheet));
    }
    setEnabled(enable != 0);
    // The face images come from the skin folder, wherever the program was started from.
    const QString face = SFGetSkinDir() + (enable ? QStringLiteral("bg_ipedit_nor.png") : QStringLiteral("bg_ipedit_dis.png"));
    setStyleSheet(enable ? QStringLiteral("QLineEdit#ParentEdit{background:white;color:black;image: url(%1);}").arg(face)
                         : QStringLiteral("QLineEdit#ParentEdit{background-color:rgb(230, 230, "
                                          "230);color:gray;image: url(%1);}").arg(face));
}


void CSFQTIPAddressCtrl::FieldTextChanged(int index, const QString& text)
{
    if (!m_bNotify || !m_pSink)
        return;
    std::wstring wide = text.toStdWString();
    m_pSink->EDIT_OnIPTextChange(m_nId, wide.data(), static_cast<UINT>(index));
}

CSFIPAddressCtrl* CreateSFIPAddressCtrl(ISFIPAddressCtrlEvent* sink)
{
    return new (std::nothrow) CSFQTIPAddressCtrl(sink);
}
