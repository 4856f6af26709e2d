// The "Details" dialog of an apply run: one summary line for a device (done, not done, login
// failed, failed) over a read-only view of the template's settings, each row with an ok or an
// error icon by the device's result flags. Made once, hidden, by the apply panel; pointed at the
// run's template file at the start of every run and shown modally on a double click on a device.
// The values are read from the template file each time it is shown. GUI thread only.
#pragma once

#include <memory>
#include <string>

#include "Template/TemplateApplyOwner.h"
#include "Template/TemplateInfo.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFScrollArea.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFSliderCtrl.h"
#include "Widgets/SFStatic.h"

class CTemplateApplyResultDlg : public ISFDialogEvent,
                                public ISFButtonEvent,
                                public ISFStaticEvent,
                                public ISFRadioBoxEvent,
                                public ISFSliderCtrlEvent,
                                public ISFComboBoxEvent,
                                public ISFEditCtrlEvent,
                                public ISFPictureCtrlEvent {
    SF_DECLARE_MESSAGE_MAP(CTemplateApplyResultDlg)

public:
    enum Row : int {
        // Encode section, main stream
        ROW_MAIN_STREAM, ROW_MAIN_CODE_MODE, ROW_MAIN_STANDARD, ROW_MAIN_RESOLUTION, ROW_MAIN_FRAME_RATE,
        ROW_MAIN_BITRATE_CONTROL, ROW_MAIN_QUALITY, ROW_MAIN_BITRATE, ROW_MAIN_AUDIO, ROW_MAIN_AUDIO_ENCODE,
        ROW_MAIN_IFRAME, ROW_MAIN_SVC,
        // extra stream
        ROW_SUB_ENABLE, ROW_SUB_STREAM, ROW_SUB_CODE_MODE, ROW_SUB_STANDARD, ROW_SUB_RESOLUTION, ROW_SUB_FRAME_RATE,
        ROW_SUB_BITRATE_CONTROL, ROW_SUB_QUALITY, ROW_SUB_BITRATE, ROW_SUB_AUDIO, ROW_SUB_AUDIO_ENCODE,
        ROW_SUB_IFRAME, ROW_SUB_SVC,
        // Video section
        ROW_COLOR_MODE, ROW_BRIGHTNESS, ROW_CONTRAST, ROW_GAMMA, ROW_SATURATION, ROW_BLC_MODE, ROW_BLC_LEVEL,
        ROW_DAYNIGHT, ROW_FILEMANAGE, ROW_DAY_START, ROW_ALWAYS_USE,
        ROW_COUNT
    };
    enum Kind : int { KIND_COMBO, KIND_SLIDER, KIND_EDIT, KIND_CHECK, KIND_TEXT };
    enum : int { ID_CLOSE = 2 };
    static constexpr unsigned kGrey = 0x808080;
    static constexpr const wchar_t* kOkIcon = L"/ok_32x32.png";
    static constexpr const wchar_t* kErrorIcon = L"/error_32x32.png";

    explicit CTemplateApplyResultDlg(std::weak_ptr<ITemplateApplyRun> owner);
    ~CTemplateApplyResultDlg() override;
    static std::shared_ptr<CTemplateApplyResultDlg> Create(std::weak_ptr<ITemplateApplyRun> owner);
    int CreateDialogWindow();

    CSFDialog* GetDialog() const { return m_pDialog; }
    void SetTemplateFile(std::string path);
    void ShowDeviceResult(const int* templateMode, const TEMPLATE_RESULT_SET* flags);

    // What a row shows, for the panel's tests: the combo's item or the value / edit / time text.
    std::wstring GetSummaryText() const;
    std::wstring GetRowText(int row) const;
    const std::wstring& GetIconImage(int row) const { return m_iconImage[row]; }
    CSFPictureCtrl* GetIcon(int row) const { return m_rows[row].icon; }
    CSFStatic* GetLabel(int row) const { return m_rows[row].label; }
    CSFStatic* GetValueText(int row) const { return m_rows[row].value; }
    CSFSliderCtrl* GetSlider(int row) const { return m_rows[row].slider; }
    CSFRadioBox* GetCheck(int row) const { return m_rows[row].check; }

    int Dlg_OnInitDialog(bool create) override;
    void Dlg_OnOK() override {}
    void Dlg_OnCancel() override {}
    void Dlg_Destroy() override {}
    void OnDlgKeyDown(UINT modifier, UINT key) override;
    void OnMacMenu(UINT) override {}
    virtual void OnReserved(int) {}

    void BTN_OnLButtonDown(int, UINT, POINT) override {}
    void BTN_OnLButtonUp(int, UINT, POINT) override {}
    void BTN_OnMouseMove(int, UINT, POINT) override {}
    void BTN_OnMouseLeave(int, UINT, LONG) override {}

private:
    struct RowControls {
        CSFStatic* label = nullptr;
        CSFComboBox* combo = nullptr;
        CSFSliderCtrl* slider = nullptr;
        CSFStatic* value = nullptr;  // beside a slider; the time text of ROW_DAY_START
        CSFEditCtrl* edit = nullptr;
        CSFRadioBox* check = nullptr;
        CSFPictureCtrl* icon = nullptr;
    };

    void BuildEncodeSection(void* area);
    void BuildVideoSection(void* area);
    void BuildRow(int row, void* area);
    void UpdateSummaryText();
    void LayoutDialog();
    void LayoutRows();
    void ShowVideoValues();
    void ShowEncodeValues();
    void ResetResultIcons();
    void SetIcon(int row, const wchar_t* image);
    void ShowRow(int row, bool show);
    void ShowIcon(int row, bool show);
    void SetRowColour(int row, unsigned colour);
    void SetCombo(int row, const std::wstring& text);
    void SetSlider(int row, int value);

    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<ITemplateApplyRun> m_wpOwner;
    CSFButton* m_pClose = nullptr;
    CSFStatic* m_pSummary = nullptr;
    CSFPictureCtrl* m_pSeparator = nullptr;
    std::string m_strTemplatePath;
    TEMPLATE_RESULT_SET m_result{};
    CSFScrollArea* m_pScroll = nullptr;
    CSFStatic* m_pEncodeTitle = nullptr;
    CSFStatic* m_pVideoTitle = nullptr;
    RowControls m_rows[ROW_COUNT];
    std::wstring m_iconImage[ROW_COUNT];
    ImageComboBoxStyle m_comboSkin;
    ImageSliderStyle m_sliderSkin;
    ImageRadioBox m_checkSkin;
};
