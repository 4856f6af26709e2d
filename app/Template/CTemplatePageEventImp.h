// One template editor page: the form in which the user edits a template of one device type (the
// encoding of the main and the sub stream with their audio, image colour, backlight, day/night and
// file management). The four pages (IPC, DVR, SD, NVR) are this class with their own type text,
// view and stream-kind rule. The page turns its controls into a tagTEMPLATEINFO and back, writes
// the template file and tells whether the controls still show the record it last loaded or saved.
// GUI thread only.
#pragma once

#include <memory>
#include <string>

#include "Template/TemplateInfo.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFDateTimeCtrl.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFSliderCtrl.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFView.h"

class CSFScrollArea;
class CTemplateEditEventImp;

// What tells the four pages apart.
struct TemplatePageKind {
    const wchar_t* type;      // record type and root element of the file
    const wchar_t* viewName;
    UINT viewId;
    bool streamKindRule;      // "Motion" and "Alarm" lock the codec, standard and resolution lists
};

class CTemplatePageEventImp : public ISFViewEvent,
                              public ISFComboBoxEvent,
                              public ISFButtonEvent,
                              public ISFSliderCtrlEvent,
                              public ISFStaticEvent,
                              public ISFEditCtrlEvent,
                              public ISFRadioBoxEvent,
                              public ISFDateTimeCtrlEvent {
public:
    enum : int {
        ID_MAIN_TYPE = 1187,
        ID_SUB_TYPE = 1188,
        ID_MAIN_CODEC = 1194,
        ID_SUB_CODEC = 1195,
        ID_MAIN_FPS = 1181,
        ID_SUB_FPS = 1183,
        ID_MAIN_BRC = 1189,
        ID_SUB_BRC = 1190,
        ID_MAIN_QUALITY = 1182,
        ID_SUB_QUALITY = 1184,
        ID_MAIN_AUDIO = 1196,
        ID_SUB_AUDIO = 1197,
        ID_AUDIO_CODEC = 1199,
        ID_VIDEO_ENABLE = 1193,
        ID_MAIN_IFRAME = 1172,
        ID_SUB_IFRAME = 1175,
        ID_MAIN_SVC = 1207,
        ID_SUB_SVC = 1208,
        ID_COLOR_MODE = 1185,
        ID_BRIGHTNESS = 1176,
        ID_CONTRAST = 1177,
        ID_GAMMA = 1178,
        ID_SATURATION = 1179,
        ID_BLC_MODE = 1186,
        ID_BLC_LEVEL = 1180,
        ID_FILE_MANAGE = 1205,
        ID_ALWAYS_USE = 1162,
        ID_START_TIME = 1163,
        ID_END_TIME = 1164,
    };
    enum : unsigned { kGrey = 0x808080, kBlack = 0 };
    enum Stream : int { MAIN = 0, SUB = 1 };

    // The controls of one stream.
    struct StreamRow {
        CSFStatic* typeLabel = nullptr;
        CSFComboBox* type = nullptr;
        CSFStatic* codecLabel = nullptr;
        CSFComboBox* codec = nullptr;
        CSFStatic* standardLabel = nullptr;
        CSFComboBox* standard = nullptr;
        CSFStatic* resolutionLabel = nullptr;
        CSFComboBox* resolution = nullptr;
        CSFStatic* fpsLabel = nullptr;
        CSFSliderCtrl* fps = nullptr;
        CSFStatic* fpsValue = nullptr;
        CSFStatic* brcLabel = nullptr;
        CSFComboBox* brc = nullptr;
        CSFStatic* qualityLabel = nullptr;
        CSFSliderCtrl* quality = nullptr;
        CSFStatic* qualityValue = nullptr;
        CSFStatic* bitRateLabel = nullptr;
        CSFEditCtrl* bitRate = nullptr;
        CSFStatic* audioLabel = nullptr;
        CSFRadioBox* audio = nullptr;
        CSFStatic* audioCodecLabel = nullptr;
        CSFComboBox* audioCodec = nullptr;
        // Never shown; the frame rate keeps them in step.
        CSFStatic* iFrameLabel = nullptr;
        CSFEditCtrl* iFrame = nullptr;
        CSFStatic* iFrameRange = nullptr;
        CSFStatic* svcLabel = nullptr;
        CSFComboBox* svc = nullptr;
        // A size outside the tables, kept as an extra item of the resolution list.
        int customWidth = 0;
        int customHeight = 0;
    };

    CTemplatePageEventImp(std::weak_ptr<CTemplateEditEventImp> shell, const TemplatePageKind& kind);
    ~CTemplatePageEventImp() override;

    CSFView* GetView() const { return m_pView; }
    const wchar_t* GetTypeText() const { return m_kind.type; }

    int SetTemplate(const tagTEMPLATEINFO* info);
    int ResetTemplate();
    // Fills info from the controls. 0 when the "ByTime" range was refused (end before start; the
    // times are then 0:00:00-23:59:59), else 1. warn shows the refusal to the user.
    int GetTemplate(tagTEMPLATEINFO* info, bool warn = true);
    // Writes the template file at path (narrow, system code page). 1 when written; 0 when the
    // time range was refused or the file could not be written (the user has been told, the old
    // file and the reference stay as they were).
    int SaveTemplate(const char* path);
    int IsChanged();
    const tagTEMPLATEINFO& GetReference() const { return m_reference; }
    const tagTEMPLATEINFO& GetDefaults() const { return m_defaults; }

    int OnCreate() override;
    void OnDestroy() override;
    void OnSize(UINT, int, int) override {}
    void SelectChanged(int id, int index) override;
    void SF_OnSliderPos(int id, int pos) override;
    void EDIT_OnEnterPressed(UINT id, wchar_t* text) override;
    void RADIO_OnClicked(int checked, int id, POINT pt) override;

    // Controls, for the shell's tests and pictures.
    const StreamRow& GetStream(int stream) const { return m_stream[stream == SUB ? SUB : MAIN]; }
    CSFRadioBox* GetVideoEnable() const { return m_pVideoEnable; }
    CSFStatic* GetVideoEnableLabel() const { return m_pVideoEnableLabel; }
    CSFComboBox* GetColorMode() const { return m_pColorMode; }
    CSFSliderCtrl* GetColorSlider(int i) const { return i >= 0 && i < 4 ? m_pColor[i] : nullptr; }
    CSFComboBox* GetBlcMode() const { return m_pBlcMode; }
    CSFSliderCtrl* GetBlcLevel() const { return m_pBlcLevel; }
    CSFStatic* GetBlcLevelValue() const { return m_pBlcLevelValue; }
    CSFComboBox* GetDayNight() const { return m_pDayNight; }
    CSFComboBox* GetFileManage() const { return m_pFileManage; }
    CSFComboBox* GetAlwaysUse() const { return m_pAlwaysUse; }
    CSFStatic* GetAlwaysUseLabel() const { return m_pAlwaysUseLabel; }
    CSFDateTimeCtrl* GetStartTime() const { return m_pStartTime; }
    CSFDateTimeCtrl* GetEndTime() const { return m_pEndTime; }

private:
    int Init();
    void BuildStream(int stream, void* area, int left, int top);
    void BuildVideo(void* area, int top);
    void* MessageParent() const;

    CSFStatic* MakeLabel(void* area, const wchar_t* key, const RECT& rc, UINT align);
    CSFComboBox* MakeList(void* area, UINT id, const RECT& rc, const wchar_t* const* items, int count, bool translate);
    CSFSliderCtrl* MakeSlider(void* area, UINT id, const RECT& rc, int lo, int hi, CSFStatic** value);
    CSFRadioBox* MakeCheck(void* area, UINT id, const RECT& rc);

    void SetSliderValue(CSFSliderCtrl* slider, CSFStatic* value, int pos);
    void SetLevelEnabled(bool enabled);
    void ApplyStreamKind(int stream, int index);
    void ApplyBitRateControl(int stream, int index);
    void ApplyCodec(int stream, int index);
    void ApplyFileManage(int index);
    void ApplyVideoEnable(bool checked);

    void ShowStream(int stream, const tagTEMPLATE_ENCODE& e);
    void ReadStream(int stream, tagTEMPLATE_ENCODE& e) const;
    void SelectResolution(int stream, int width, int height, int standard);

    std::weak_ptr<CTemplateEditEventImp> m_wpShell;
    TemplatePageKind m_kind;
    CSFView* m_pView = nullptr;
    CSFScrollArea* m_pForm = nullptr;

    CSFStatic* m_pEncodeTitle = nullptr;
    CSFStatic* m_pVideoTitle = nullptr;
    StreamRow m_stream[2];
    CSFStatic* m_pVideoEnableLabel = nullptr;
    CSFRadioBox* m_pVideoEnable = nullptr;

    CSFStatic* m_pColorModeLabel = nullptr;
    CSFComboBox* m_pColorMode = nullptr;
    CSFStatic* m_pColorLabel[4] = {};
    CSFSliderCtrl* m_pColor[4] = {};  // brightness, contrast, gamma, saturation
    CSFStatic* m_pColorValue[4] = {};
    CSFStatic* m_pBlcModeLabel = nullptr;
    CSFComboBox* m_pBlcMode = nullptr;
    CSFSliderCtrl* m_pBlcLevel = nullptr;
    CSFStatic* m_pBlcLevelValue = nullptr;
    CSFStatic* m_pDayNightLabel = nullptr;
    CSFComboBox* m_pDayNight = nullptr;
    CSFStatic* m_pFileManageLabel = nullptr;
    CSFComboBox* m_pFileManage = nullptr;
    CSFStatic* m_pAlwaysUseLabel = nullptr;
    CSFComboBox* m_pAlwaysUse = nullptr;
    CSFStatic* m_pStartLabel = nullptr;
    CSFDateTimeCtrl* m_pStartTime = nullptr;
    CSFStatic* m_pEndLabel = nullptr;
    CSFDateTimeCtrl* m_pEndTime = nullptr;

    tagTEMPLATEINFO m_defaults;
    tagTEMPLATEINFO m_reference;
    int m_preset[4] = {50, 50, 50, 50};
    int m_iFrameLow[2] = {1, 1};
};

// Equality of the change test: every value the template file holds; the FileManage times only
// when FileManage is "ByTime".
bool TemplateInfoEqual(const tagTEMPLATEINFO& a, const tagTEMPLATEINFO& b);

// The text of the template file of a record (lines end with CR LF, children indented four spaces).
std::string BuildTemplateFileText(const tagTEMPLATEINFO& info);
