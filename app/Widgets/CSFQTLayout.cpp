#include "Widgets/CSFQTLayout.h"

#include <new>

#include "Widgets/SFFactory.h"

QLayout* SFLayoutOf(CSFLayout* layout)
{
    return layout ? dynamic_cast<QLayout*>(layout) : nullptr;
}

namespace {
void SetOwner(QLayout* layout, void* parent)
{
    QObject* owner = static_cast<QObject*>(parent);
    if (owner && owner->isWidgetType())
        static_cast<QWidget*>(owner)->setLayout(layout);
    else
        layout->setParent(owner);
}
}  // namespace

// Null items are ignored (the toolkit would only warn about them).

CSFQTGridLayout::CSFQTGridLayout(ISFGridLayoutEvent* sink) : QGridLayout(), CSFGridLayout(sink) {}

void CSFQTGridLayout::Create(void* parent, UINT id)
{
    SetOwner(this, parent);
    m_nId = id;
}

void CSFQTGridLayout::Nest(CSFLayout* layout, int row, int column, int rowSpan, int columnSpan, SFAlignment align)
{
    if (QLayout* l = SFLayoutOf(layout))
        addLayout(l, row, column, rowSpan, columnSpan, align);
}

void CSFQTGridLayout::Add(QWidget* widget, int row, int column, int rowSpan, int columnSpan, SFAlignment align)
{
    if (widget)
        addWidget(widget, row, column, rowSpan, columnSpan, align);
}

CSFQTHBoxLayout::CSFQTHBoxLayout(ISFHBoxLayoutEvent* sink) : QHBoxLayout(), CSFHBoxLayout(sink) {}

void CSFQTHBoxLayout::Create(void* parent, UINT id)
{
    SetOwner(this, parent);
    m_nId = id;
}

void CSFQTHBoxLayout::Nest(CSFLayout* layout, int stretch)
{
    if (QLayout* l = SFLayoutOf(layout))
        addLayout(l, stretch);
}

void CSFQTHBoxLayout::Add(QWidget* widget, int stretch, SFAlignment align)
{
    if (widget)
        addWidget(widget, stretch, align);
}

CSFQTVBoxLayout::CSFQTVBoxLayout(ISFVBoxLayoutEvent* sink) : QVBoxLayout(), CSFVBoxLayout(sink) {}

void CSFQTVBoxLayout::Create(void* parent, UINT id)
{
    SetOwner(this, parent);
    m_nId = id;
}

void CSFQTVBoxLayout::Nest(CSFLayout* layout, int stretch)
{
    if (QLayout* l = SFLayoutOf(layout))
        addLayout(l, stretch);
}

void CSFQTVBoxLayout::Add(QWidget* widget, int stretch, SFAlignment align)
{
    if (widget)
        addWidget(widget, stretch, align);
}

CSFGridLayout* CreateSFGridLayout(ISFGridLayoutEvent* sink)
{
    return new (std::nothrow) CSFQTGridLayout(sink);
}

CSFHBoxLayout* CreateSFHBoxLayout(ISFHBoxLayoutEvent* sink)
{
    return new (std::nothrow) CSFQTHBoxLayout(sink);
}

CSFVBoxLayout* CreateSFVBoxLayout(ISFVBoxLayoutEvent* sink)
{
    return new (std::nothrow) CSFQTVBoxLayout(sink);
}
