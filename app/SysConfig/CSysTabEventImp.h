// Right pane of the system configuration page: five sections (Timing, Reboot, Restore,
// PasswordModify, PasswordReset) behind section tabs, and the band with the number of checked
// devices. Each action ends in one CSysConfigEventImp::StartSysConfig.
#pragma once

#include <memory>
#include <vector>

#include "Common/SFTime.h"

using SF_SOFT_BASE::CSFTime;
#include "SysConfig/SysConfigRecords.h"
#include "SysConfig/SysConfigUi.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFDateTimeCtrl.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFMsgMap.h"
#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFView.h"

class CSysConfigEventImp;

class CSysTabEventImp : public ISFViewEvent,
                        public ISFRadioBoxEvent,
                        public ISFEditCtrlEvent,
                        public ISFDateTimeCtrlEvent,
                        public ISFComboBoxEvent,
                        public ISFStaticEvent,
                        public ISFButtonEvent,
                        public ISFPictureCtrlEvent {
    SF_DECLARE_MESSAGE_MAP(CSysTabEventImp)
public:
    enum Section { kTiming, kReboot, kRestore, kPasswordModify, kPasswordReset, kSections };

    explicit CSysTabEventImp(std::weak_ptr<CSysConfigEventImp> owner);
    ~CSysTabEventImp() override;
    static std::shared_ptr<CSysTabEventImp> Create(std::weak_ptr<CSysConfigEventImp> owner);
    void Init();

    int OnCreate() override;
    void OnSize(UINT type, int cx, int cy) override;
    void RADIO_OnClicked(int checked, int id, POINT point) override;
    void EDIT_OnTextChange(UINT id, wchar_t* text) override;
    void SelectChanged(int id, int index) override;

    CSFView* GetView() const { return m_pView; }
    void SetPcTime(CSFTime t);
    void SetSelectedCount(int n);
    void UpdateXmlResetButton();
    void ClearPasswordFields();
    // The section whose tab is checked.
    int GetCurrentSection() const;

    // Command handlers (message map).
    void OnSyncPc();
    void OnManualSync();
    void OnAutoRebootOk();
    void OnReboot();
    void OnFactoryDefault();
    void OnDstSave();
    void OnNtpSave();
    void OnPasswordReset();
    void OnPasswordModifyOk();
    void OnContinueXmlReset();
    bool CheckPasswordInput();
    // Recorder check, recorder groups off, then the reset (by the dialogs or from a file).
    void OnContinueReset(bool fileMode);

    // Parameters for the view.
    void GetManualTime(CSFTime& t) const;
    void GetAutoRebootParam(AUTO_REBOOT_PARAM& p) const;
    void GetDSTParam(DST_PARAM& p) const;
    void GetNTPParam(NTP_PARAM& p) const;
    void GetPasswordParam(char newPassword[33], char oldPassword[33]) const;

    // Controls, for the view and the tests.
    CSFRadioBox* Tab(int section) const { return m_pTabs[section]; }
    CSFStatic* Band() const { return m_pBand; }
    CSFEditCtrl* Edit(UINT id) const;
    CSFComboBox* MonthList(bool end) const { return end ? m_pEndMonth : m_pStartMonth; }
    CSFComboBox* DayList(bool end) const { return end ? m_pEndDay : m_pStartDay; }
    CSFComboBox* WeekList(bool end) const { return end ? m_pEndWeek : m_pStartWeek; }
    CSFComboBox* RebootDay() const { return m_pRebootDay; }
    CSFComboBox* TimeZone() const { return m_pTimeZone; }
    CSFRadioBox* Check(UINT id) const;
    CSFDateTimeCtrl* TimeCtrl(UINT which) const;
    CSFStatic* ErrorLabel(UINT id) const;
    CSFStatic* StrengthBar(int i) const { return m_pwd.bars[i]; }
    CSFButton* ContinueButton() const { return m_pContinue; }
    CSFStatic* PcDateText() const { return m_pPcDate; }
    CSFStatic* PcTimeText() const { return m_pPcTime; }

private:
    void ShowTimingSection(int show);
    void ShowRebootSection(int show);
    void ShowRestoreSection(int show);
    void ShowPasswordModifySection(int show);
    void ShowPasswordResetSection(int show);
    void ShowSection(int section, int show);
    void ShowDstControls(bool weekMode, int show);
    void FillDstDayList(bool endRow, bool weekMode);
    void PlaceDayLists(bool weekMode);
    void NormalizeNumberField(CSFEditCtrl* edit, const std::wstring& text);
    void FillDstTime(DST_TIME& t, bool end, bool weekMode) const;
    std::shared_ptr<CSysConfigEventImp> Owner() const { return m_wpOwner.lock(); }

    CSFView* m_pView = nullptr;
    std::weak_ptr<CSysConfigEventImp> m_wpOwner;
    char m_szOldPassword[64] = {};
    char m_szNewPassword[33] = {};
    POINT m_ptWeekAnchor{0, 0};

    CSFRadioBox* m_pTabs[kSections] = {};
    CSFPictureCtrl* m_pTabLine = nullptr;
    CSFStatic* m_pBand = nullptr;
    // Timing
    CSFStatic *m_pPcLabel = nullptr, *m_pPcDate = nullptr, *m_pPcTime = nullptr;
    CSFButton *m_pSyncPc = nullptr, *m_pManualSync = nullptr;
    CSFDateTimeCtrl *m_pManualDate = nullptr, *m_pManualTime = nullptr;
    CSFStatic* m_pDstHeading = nullptr;
    CSFPictureCtrl* m_pDstLine = nullptr;
    CSFRadioBox *m_pDstEnable = nullptr, *m_pDate = nullptr, *m_pWeek = nullptr;
    CSFStatic *m_pDstType = nullptr, *m_pStartLabel = nullptr, *m_pEndLabel = nullptr;
    CSFComboBox *m_pStartMonth = nullptr, *m_pStartWeek = nullptr, *m_pStartDay = nullptr;
    CSFComboBox *m_pEndMonth = nullptr, *m_pEndWeek = nullptr, *m_pEndDay = nullptr;
    CSFDateTimeCtrl *m_pStartTime = nullptr, *m_pEndTime = nullptr;
    CSFButton* m_pDstSave = nullptr;
    CSFPictureCtrl* m_pNtpLine = nullptr;
    CSFStatic* m_pZoneLabel = nullptr;
    CSFComboBox* m_pTimeZone = nullptr;
    CSFRadioBox* m_pNtpEnable = nullptr;
    CSFStatic *m_pServerLabel = nullptr, *m_pPortLabel = nullptr, *m_pPortRange = nullptr;
    CSFStatic *m_pPeriodLabel = nullptr, *m_pPeriodRange = nullptr;
    CSFEditCtrl *m_pServer = nullptr, *m_pPort = nullptr, *m_pPeriod = nullptr;
    CSFButton* m_pNtpSave = nullptr;
    // Reboot
    CSFStatic *m_pAutoHeading = nullptr, *m_pManualHeading = nullptr;
    CSFPictureCtrl *m_pAutoLine = nullptr, *m_pManualLine = nullptr;
    CSFRadioBox* m_pAutoReboot = nullptr;
    CSFComboBox* m_pRebootDay = nullptr;
    CSFDateTimeCtrl* m_pRebootTime = nullptr;
    CSFButton *m_pRebootOk = nullptr, *m_pReboot = nullptr;
    // Restore
    CSFButton* m_pFactory = nullptr;
    // PasswordModify
    CSFStatic *m_pOldLabel = nullptr, *m_pNewLabel = nullptr, *m_pConfirmLabel = nullptr;
    CSFEditCtrl* m_pOldEdit = nullptr;
    CSFStatic* m_pOldError = nullptr;
    sysui::PasswordFields m_pwd;
    CSFStatic *m_pRule = nullptr, *m_pNote = nullptr;
    CSFButton* m_pPwdOk = nullptr;
    // PasswordReset
    CSFButton *m_pResetBtn = nullptr, *m_pContinue = nullptr;
    CSFStatic* m_pResetNote = nullptr;
};
