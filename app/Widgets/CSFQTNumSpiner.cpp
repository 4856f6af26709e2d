#include "Widgets/CSFQTNumSpiner.h"

#include <new>

#include "Widgets/CSFQTButton.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

CSFQTNumSpiner::CSFQTNumSpiner(ISFNumSpinerEvent* sink) : QSpinBox(nullptr), CSFNumSpiner(sink)
{
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setFrame(false);
    connect(this, &QSpinBox::valueChanged, this, &CSFQTNumSpiner::OnValueChanged);
}

int CSFQTNumSpiner::Create(const wchar_t*, const RECT& rect, void* parent, UINT id)
{
    setParent(static_cast<QWidget*>(parent));
    setGeometry(SFRectExclusive(rect));
    m_nId = id;
    return 1;
}

void CSFQTNumSpiner::GetRange(int& min, int& max)
{
    min = minimum();
    max = maximum();
}

int CSFQTNumSpiner::SetSkin(ImageNumSpinerStyle* style)
{
    if (m_nOriginStyle == 1 || !style)
        return 0;
    const QString dir = SFGetSkinDir();
    // Fields are counted from 1.
    auto rule = [&dir, style](const char* opening, int field) {
        return QString::fromLatin1(opening) + dir + QString::fromStdWString(style->strImage[field - 1]) +
               QStringLiteral(");}");
    };
    setStyleSheet(rule("QSpinBox { padding: 0 8px; border-image: url(", 1) +
                  rule("QSpinBox::up-button {width: 21px; border-image: url(", 9) +
                  rule("QSpinBox::up-button:hover {border-image: url(", 9) +
                  rule("QSpinBox::up-button:pressed {border-image: url(", 11) +
                  rule("QSpinBox::up-button:disabled {border-image: url(", 12) +
                  rule("QSpinBox::down-button {width: 21px; border-image: url(", 2) +
                  rule("QSpinBox::down-button:hover {border-image: url(", 2) +
                  rule("QSpinBox::down-button:pressed {border-image: url(", 4) +
                  rule("QSpinBox::down-button:disabled {border-image: url(", 5));
    return 1;
}

void CSFQTNumSpiner::MoveWindow(RECT* rect)
{
    if (rect)
        setGeometry(SFRectInclusive(*rect));
}

void CSFQTNumSpiner::OnValueChanged(int value)
{
    if (m_pSink)
        m_pSink->OnCurrentNumChanged(m_nId, value);
}

CSFNumSpiner* CreateSFNumSpiner(ISFNumSpinerEvent* sink)
{
    return new (std::nothrow) CSFQTNumSpiner(sink);
}
