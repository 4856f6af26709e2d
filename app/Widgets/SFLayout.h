// Grid and box layout interfaces.
#pragma once

#include <Qt>

#include "Widgets/SFTypes.h"

class CSFButton;
class CSFStatic;
class CSFEditCtrl;
class CSFRadioBox;
class CSFComboBox;
class CSFPictureCtrl;
class CSFSliderCtrl;
class CSFDateTimeCtrl;
class CSFListCtrl;
class CSFIPAddressCtrl;

typedef QFlags<Qt::AlignmentFlag> SFAlignment;

class ISFLayoutEvent {};
class ISFGridLayoutEvent {};
class ISFHBoxLayoutEvent {};
class ISFVBoxLayoutEvent {};

class CSFLayout {
public:
    explicit CSFLayout(ISFLayoutEvent* sink = nullptr) : m_pSink(sink) {}
    CSFLayout(const CSFLayout&) = default;
    CSFLayout& operator=(const CSFLayout&) = default;
    virtual ~CSFLayout() {}

    virtual void Create(void* /*parent*/, UINT /*id*/) {}

protected:
    ISFLayoutEvent* m_pSink;
};

class CSFGridLayout : public CSFLayout {
public:
    explicit CSFGridLayout(ISFGridLayoutEvent* sink = nullptr) : m_pGridSink(sink) {}
    CSFGridLayout(const CSFGridLayout&) = default;
    CSFGridLayout& operator=(const CSFGridLayout&) = default;
    ~CSFGridLayout() override {}

    void Create(void*, UINT) override {}
    // row, column, row span, column span, alignment
    virtual void AddGridLayout(CSFLayout*, int, int, int, int, SFAlignment) {}
    virtual void AddHBoxLayout(CSFLayout*, int, int, int, int, SFAlignment) {}
    virtual void AddVBoxLayout(CSFLayout*, int, int, int, int, SFAlignment) {}
    virtual void SetRowStretch(int, int) {}
    virtual void SetColumnStretch(int, int) {}
    virtual void SetHorizontalSpacing(int) {}
    virtual void SetVerticalSpacing(int) {}
    virtual void SetRowMinimumHeight(int, int) {}
    virtual void SetAlignment(SFAlignment) {}
    virtual void AddButton(CSFButton*, int, int, int, int, SFAlignment) {}
    virtual void AddStatic(CSFStatic*, int, int, int, int, SFAlignment) {}
    virtual void AddEdit(CSFEditCtrl*, int, int, int, int, SFAlignment) {}
    virtual void AddRadioBox(CSFRadioBox*, int, int, int, int, SFAlignment) {}
    virtual void AddComboBox(CSFComboBox*, int, int, int, int, SFAlignment) {}
    virtual void AddPicture(CSFPictureCtrl*, int, int, int, int, SFAlignment) {}
    virtual void AddSlider(CSFSliderCtrl*, int, int, int, int, SFAlignment) {}
    virtual void AddDateTimeCtrl(CSFDateTimeCtrl*, int, int, int, int, SFAlignment) {}
    virtual void AddListCtrl(CSFListCtrl*, int, int, int, int, SFAlignment) {}
    virtual void AddIPAddrCtrl(CSFIPAddressCtrl*, int, int, int, int, SFAlignment) {}

protected:
    ISFGridLayoutEvent* m_pGridSink;
};

class CSFHBoxLayout : public CSFLayout {
public:
    explicit CSFHBoxLayout(ISFHBoxLayoutEvent* sink = nullptr) : m_pBoxSink(sink) {}
    CSFHBoxLayout(const CSFHBoxLayout&) = default;
    CSFHBoxLayout& operator=(const CSFHBoxLayout&) = default;
    ~CSFHBoxLayout() override {}

    void Create(void*, UINT) override {}
    virtual void SetMargin(int) {}
    virtual void SetSpacing(int) {}
    virtual void AddSpacing(int) {}
    virtual void AddStretch(int) {}
    // item, stretch factor[, alignment]
    virtual void AddGridLayout(CSFLayout*, int) {}
    virtual void AddHBoxLayout(CSFLayout*, int) {}
    virtual void AddVBoxLayout(CSFLayout*, int) {}
    virtual void AddButton(CSFButton*, int, SFAlignment) {}
    virtual void AddStatic(CSFStatic*, int, SFAlignment) {}
    virtual void AddEdit(CSFEditCtrl*, int, SFAlignment) {}
    virtual void AddRadioBox(CSFRadioBox*, int, SFAlignment) {}
    virtual void AddComboBox(CSFComboBox*, int, SFAlignment) {}
    virtual void AddPicture(CSFPictureCtrl*, int, SFAlignment) {}
    virtual void AddSlider(CSFSliderCtrl*, int, SFAlignment) {}
    virtual void AddDateTimeCtrl(CSFDateTimeCtrl*, int, SFAlignment) {}
    virtual void AddListCtrl(CSFListCtrl*, int, SFAlignment) {}
    virtual void AddIPAddrCtrl(CSFIPAddressCtrl*, int, SFAlignment) {}

protected:
    ISFHBoxLayoutEvent* m_pBoxSink;
};

class CSFVBoxLayout : public CSFLayout {
public:
    explicit CSFVBoxLayout(ISFVBoxLayoutEvent* sink = nullptr) : m_pBoxSink(sink) {}
    CSFVBoxLayout(const CSFVBoxLayout&) = default;
    CSFVBoxLayout& operator=(const CSFVBoxLayout&) = default;
    ~CSFVBoxLayout() override {}

    void Create(void*, UINT) override {}
    virtual void SetMargin(int) {}
    virtual void SetSpacing(int) {}
    virtual void AddSpacing(int) {}
    virtual void AddStretch(int) {}
    virtual void AddStrut(int) {}
    virtual void AddGridLayout(CSFLayout*, int) {}
    virtual void AddHBoxLayout(CSFLayout*, int) {}
    virtual void AddVBoxLayout(CSFLayout*, int) {}
    virtual void AddButton(CSFButton*, int, SFAlignment) {}
    virtual void AddStatic(CSFStatic*, int, SFAlignment) {}
    virtual void AddEdit(CSFEditCtrl*, int, SFAlignment) {}
    virtual void AddRadioBox(CSFRadioBox*, int, SFAlignment) {}
    virtual void AddComboBox(CSFComboBox*, int, SFAlignment) {}
    virtual void AddPicture(CSFPictureCtrl*, int, SFAlignment) {}
    virtual void AddSlider(CSFSliderCtrl*, int, SFAlignment) {}
    virtual void AddDateTimeCtrl(CSFDateTimeCtrl*, int, SFAlignment) {}
    virtual void AddListCtrl(CSFListCtrl*, int, SFAlignment) {}
    virtual void AddIPAddrCtrl(CSFIPAddressCtrl*, int, SFAlignment) {}

protected:
    ISFVBoxLayoutEvent* m_pBoxSink;
};
