#include "Widgets/IPFieldItem.h"

#include <QKeyEvent>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include "Widgets/CSFQTIPAddressCtrl.h"

IPFieldItem::IPFieldItem(CSFQTIPAddressCtrl* owner, int index, QWidget* parent)
    : QLineEdit(parent), m_pOwner(owner), m_nIndex(index)
{
    static const QRegularExpression octet(
        QRegularExpression::anchoredPattern(QStringLiteral("(2[0-5]{2}|2[0-4][0-9]|1[0-9][0-9]|[1-9][0-9]|[0-9])")));
    setValidator(new QRegularExpressionValidator(octet, this));
    connect(this, &QLineEdit::textChanged, this, &IPFieldItem::OnTextChange);
    connect(this, &QLineEdit::returnPressed, this, &IPFieldItem::OnKeyPressed);
    connect(this, &QLineEdit::editingFinished, this, &IPFieldItem::editingFinished);
    connect(this, &QLineEdit::textEdited, this, &IPFieldItem::textEdited);
}

void IPFieldItem::OnTextChange(const QString& text)
{
    if (m_pOwner)
        m_pOwner->FieldTextChanged(m_nIndex, text);
    if (text.size() == 3 && m_pNext && hasFocus()) {
        m_pNext->setFocus();
        m_pNext->selectAll();
        m_pNext->m_bAutoEntered = true;
    }
}

void IPFieldItem::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    selectAll();
    // The focus comes before the press that gave it, and the press would place the cursor.
    m_bSelectOnPress = event->reason() == Qt::MouseFocusReason;
}

void IPFieldItem::focusOutEvent(QFocusEvent* event)
{
    m_bAutoEntered = false;
    QLineEdit::focusOutEvent(event);
}

void IPFieldItem::mousePressEvent(QMouseEvent* event)
{
    const bool entering = m_bSelectOnPress;
    m_bSelectOnPress = false;
    QLineEdit::mousePressEvent(event);
    if (entering)
        selectAll();
}

void IPFieldItem::keyPressEvent(QKeyEvent* event)
{
    const bool autoEntered = m_bAutoEntered;
    m_bAutoEntered = false;
    switch (event->key()) {
    case Qt::Key_Backspace:
        if (text().isEmpty() && m_pPrev) {
            m_pPrev->setFocus();
            m_pPrev->setCursorPosition(static_cast<int>(m_pPrev->text().size()));
        }
        break;
    case Qt::Key_Period:
        if (!autoEntered && !text().isEmpty() && m_pNext) {
            m_pNext->setFocus();
            m_pNext->selectAll();
        }
        return;
    case Qt::Key_Left:
        if (cursorPosition() == 0 && m_pPrev) {
            m_pPrev->setFocus();
            m_pPrev->setCursorPosition(static_cast<int>(m_pPrev->text().size()));
        }
        break;
    case Qt::Key_Right:
        if (cursorPosition() == text().size() && m_pNext) {
            m_pNext->setFocus();
            m_pNext->setCursorPosition(0);
        }
        break;
    default:
        break;
    }
    QLineEdit::keyPressEvent(event);
}
