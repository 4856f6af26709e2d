// Grid and box layouts behind the layout facades; controls are added by their facades.
#pragma once

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "Widgets/SFFactory.h"
#include "Widgets/SFLayout.h"

// The toolkit widget of a control facade, or null.
template <typename Facade>
QWidget* SFWidgetOf(Facade* facade)
{
    return facade ? dynamic_cast<QWidget*>(facade) : nullptr;
}
// The toolkit layout of a layout facade, or null.
QLayout* SFLayoutOf(CSFLayout* layout);

class CSFQTGridLayout : public QGridLayout, public CSFGridLayout {
    Q_OBJECT
public:
    explicit CSFQTGridLayout(ISFGridLayoutEvent* sink);

    void Create(void* parent, UINT id) override;
    void AddGridLayout(CSFLayout* l, int r, int c, int rs, int cs, SFAlignment a) override { Nest(l, r, c, rs, cs, a); }
    void AddHBoxLayout(CSFLayout* l, int r, int c, int rs, int cs, SFAlignment a) override { Nest(l, r, c, rs, cs, a); }
    void AddVBoxLayout(CSFLayout* l, int r, int c, int rs, int cs, SFAlignment a) override { Nest(l, r, c, rs, cs, a); }
    void SetRowStretch(int row, int stretch) override { setRowStretch(row, stretch); }
    void SetColumnStretch(int column, int stretch) override { setColumnStretch(column, stretch); }
    void SetHorizontalSpacing(int pixels) override { setHorizontalSpacing(pixels); }
    void SetVerticalSpacing(int pixels) override { setVerticalSpacing(pixels); }
    void SetRowMinimumHeight(int row, int pixels) override { setRowMinimumHeight(row, pixels); }
    void SetAlignment(SFAlignment a) override { setAlignment(a); }
    void AddButton(CSFButton* w, int r, int c, int rs, int cs, SFAlignment a) override { Add(SFWidgetOf(w), r, c, rs, cs, a); }
    void AddStatic(CSFStatic* w, int r, int c, int rs, int cs, SFAlignment a) override { Add(SFWidgetOf(w), r, c, rs, cs, a); }
    void AddEdit(CSFEditCtrl* w, int r, int c, int rs, int cs, SFAlignment a) override { Add(SFWidgetOf(w), r, c, rs, cs, a); }
    void AddRadioBox(CSFRadioBox* w, int r, int c, int rs, int cs, SFAlignment a) override { Add(SFWidgetOf(w), r, c, rs, cs, a); }
    void AddComboBox(CSFComboBox* w, int r, int c, int rs, int cs, SFAlignment a) override { Add(SFWidgetOf(w), r, c, rs, cs, a); }
    void AddPicture(CSFPictureCtrl* w, int r, int c, int rs, int cs, SFAlignment a) override { Add(SFWidgetOf(w), r, c, rs, cs, a); }
    void AddSlider(CSFSliderCtrl* w, int r, int c, int rs, int cs, SFAlignment a) override { Add(SFWidgetOf(w), r, c, rs, cs, a); }
    void AddDateTimeCtrl(CSFDateTimeCtrl* w, int r, int c, int rs, int cs, SFAlignment a) override { Add(SFWidgetOf(w), r, c, rs, cs, a); }
    void AddListCtrl(CSFListCtrl* w, int r, int c, int rs, int cs, SFAlignment a) override { Add(SFWidgetOf(w), r, c, rs, cs, a); }
    void AddIPAddrCtrl(CSFIPAddressCtrl* w, int r, int c, int rs, int cs, SFAlignment a) override { Add(SFWidgetOf(w), r, c, rs, cs, a); }

private:
    void Nest(CSFLayout* layout, int row, int column, int rowSpan, int columnSpan, SFAlignment align);
    void Add(QWidget* widget, int row, int column, int rowSpan, int columnSpan, SFAlignment align);
    UINT m_nId = static_cast<UINT>(-1);
};

class CSFQTHBoxLayout : public QHBoxLayout, public CSFHBoxLayout {
    Q_OBJECT
public:
    explicit CSFQTHBoxLayout(ISFHBoxLayoutEvent* sink);

    void Create(void* parent, UINT id) override;
    void SetMargin(int pixels) override { setContentsMargins(pixels, pixels, pixels, pixels); }
    void SetSpacing(int pixels) override { setSpacing(pixels); }
    void AddSpacing(int pixels) override { addSpacing(pixels); }
    void AddStretch(int stretch) override { addStretch(stretch); }
    void AddGridLayout(CSFLayout* l, int stretch) override { Nest(l, stretch); }
    void AddHBoxLayout(CSFLayout* l, int stretch) override { Nest(l, stretch); }
    void AddVBoxLayout(CSFLayout* l, int stretch) override { Nest(l, stretch); }
    void AddButton(CSFButton* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }
    void AddStatic(CSFStatic* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }
    void AddEdit(CSFEditCtrl* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }
    void AddRadioBox(CSFRadioBox* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }
    void AddComboBox(CSFComboBox* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }
    void AddPicture(CSFPictureCtrl* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }
    void AddSlider(CSFSliderCtrl* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }
    void AddDateTimeCtrl(CSFDateTimeCtrl* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }
    void AddListCtrl(CSFListCtrl* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }
    void AddIPAddrCtrl(CSFIPAddressCtrl* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }

private:
    void Nest(CSFLayout* layout, int stretch);
    void Add(QWidget* widget, int stretch, SFAlignment align);
    UINT m_nId = static_cast<UINT>(-1);
};

class CSFQTVBoxLayout : public QVBoxLayout, public CSFVBoxLayout {
    Q_OBJECT
public:
    explicit CSFQTVBoxLayout(ISFVBoxLayoutEvent* sink);

    void Create(void* parent, UINT id) override;
    void SetMargin(int pixels) override { setContentsMargins(pixels, pixels, pixels, pixels); }
    void SetSpacing(int pixels) override { setSpacing(pixels); }
    void AddSpacing(int pixels) override { addSpacing(pixels); }
    void AddStretch(int stretch) override { addStretch(stretch); }
    void AddStrut(int pixels) override { addStrut(pixels); }
    void AddGridLayout(CSFLayout* l, int stretch) override { Nest(l, stretch); }
    void AddHBoxLayout(CSFLayout* l, int stretch) override { Nest(l, stretch); }
    void AddVBoxLayout(CSFLayout* l, int stretch) override { Nest(l, stretch); }
    void AddButton(CSFButton* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }
    void AddStatic(CSFStatic* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }
    void AddEdit(CSFEditCtrl* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }
    void AddRadioBox(CSFRadioBox* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }
    void AddComboBox(CSFComboBox* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }
    void AddPicture(CSFPictureCtrl* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }
    void AddSlider(CSFSliderCtrl* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }
    void AddDateTimeCtrl(CSFDateTimeCtrl* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }
    void AddListCtrl(CSFListCtrl* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }
    void AddIPAddrCtrl(CSFIPAddressCtrl* w, int s, SFAlignment a) override { Add(SFWidgetOf(w), s, a); }

private:
    void Nest(CSFLayout* layout, int stretch);
    void Add(QWidget* widget, int stretch, SFAlignment align);
    UINT m_nId = static_cast<UINT>(-1);
};
