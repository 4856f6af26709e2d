// The configuration window of one device: start, loading and failure panels, the Encode, IMAGE
// and FileManage tabs and the focus assistant, beside the live video. GUI thread only; device
// work goes through IDevConfigRequests and comes back through the result setters below.
#pragma once

#include <json/json.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "DevConfig/DevConfigRequests.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFDateTimeCtrl.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFSliderCtrl.h"
#include "Widgets/SFView.h"
#include "Widgets/SFVideoWindow.h"

class CDevConfigEventImp;
class CAcountDlg;
class CSFStatic;
class CSFCheckBox;
class CSFPictureCtrl;
class CSFPictureEx;
class CSFScrollArea;
class ISFCheckBoxEvent;
class CVideoInfocus;

class CCodeVideoCfgEventImp : public ISFViewEvent,
                              public ISFComboBoxEvent,
                              public ISFRadioBoxEvent,
                              public ISFSliderCtrlEvent,
                              public ISFEditCtrlEvent,
                              public ISFButtonEvent,
                              public ISFVideoWindowEvent,
                              public ISFDateTimeCtrlEvent,
                              public std::enable_shared_from_this<CCodeVideoCfgEventImp> {
public:
    enum { kTabEncode = 0, kTabImage = 1, kTabFileManage = 2 };
    static constexpr int kFlagCount = 18;
    static constexpr int kMaxTalkFormats = 64;

    explicit CCodeVideoCfgEventImp(std::weak_ptr<CDevConfigEventImp> page = {});
    ~CCodeVideoCfgEventImp() override;
    static std::shared_ptr<CCodeVideoCfgEventImp> Create(std::weak_ptr<CDevConfigEventImp> page, void* parent);

    void SetRequests(std::shared_ptr<IDevConfigRequests> requests) { m_pRequests = std::move(requests); }
    CSFView* GetView() const { return m_pView; }
    CSFVideoWindow* GetVideoWindow() { return m_pVideoWindow; }

    int OnCreate() override;

    // Panels and tabs.
    void ShowStartPanel(int show);
    void ShowLoadingAnimation(int show);
    void ShowLoginMessage(int show, int code);
    void ShowTabButtons(int show);
    void ShowEncodeTab(int show);
    void ShowImageTab(int show);
    void ShowFileManageTab(int show);
    int CurrentTab() const { return m_nCurTab; }
    void SetCurrentTab(int tab) { m_nCurTab = tab; }
    void SelectTab(int tab);
    // Full screen of the live video: entered and left by button 1115; Esc of the main window leaves.
    void OnFullScreenButton();
    void SetFullScreen();
    int IsFullScreen() const { return m_bFullScreen; }
    // The live video's place outside full screen; the video is moved there only outside full screen.
    void SetNormalVideoRect(const RECT& rect);
    RECT NormalVideoRect() const { return m_rcNormalVideo; }

    // Account and login.
    virtual void SetDeviceAccount(const std::string& user, const std::string& password);
    virtual void LoginSelectedDevice();
    static std::wstring LoginErrorText(int code);

    // Live video and focus.
    void SetPlayHandle(long handle);
    // The text in the video area when pictures cannot be decoded here.
    void ShowDecoderMissing(int show);
    CSFStatic* DecoderMissingLabel() const { return m_pDecoderMissing; }
    void StartPreview(int ok);
    void EnableEasyFocusButton(int enable);
    void UpdateFocusStatus(int value);
    void OnEasyFocus();
    void CancelVideoInFocus();
    std::shared_ptr<CVideoInfocus> GetFocusDialog() const { return m_pFocusDlg; }

    // Encode results.
    void SetEncodeInfoFlag(bool flag) { m_bEncodeInfoFlag = flag; }
    void ApplyMainAbility(int channel, bool refill);
    void ApplySubAbility(const Json::Value& answer);
    void EncodeResult(const std::string& setter, const Json::Value& answer, int extra, bool chain);
    void FillAudioEncodeComboEx(std::shared_ptr<ZRDEV_TALKFORMAT_LIST> record);
    void OnSaveResult(int ok);
    void OnEncodeOK();
    bool SetConfig();
    void SelectChannel(int channel);
    int IsSaving() const { return m_bSaving || m_nImageSaves > 0; }
    int AllFlagsSet() const;
    // Sampling frequencies kept for an audio-encoding row (talk-format answer).
    const std::vector<int>& SampleRates(int row) const { return m_sampleRates[size_t(row)]; }

    // Picture results.
    int OnGetVideoEffect(std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> color,
                         std::shared_ptr<AV_CFG_ChannelVideoColor> videoColor,
                         std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO> backLight,
                         std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> dayNight, std::shared_ptr<AV_CFG_ChannelName> name,
                         int ok, int profile);
    void ClearSaving();
    // "Default": colour 50 each, "Standard", back light "OFF", day/night "Auto", written at once.
    void OnRestoreDefaultImage();
    void OnSaveEffectResult(int ok);
    void RequestVideoChannelParams(int channel, int profile);
    int IsVideoEffectLoaded() const { return m_bVideoEffectLoaded; }

    // FileManage results.
    void OnGetConfigFileInfo(std::shared_ptr<tagNET_VIDEOIN_SWITCH_MODE_INFO> record, int ok);
    void OnSaveConfigFileResult(int ok);
    void OnSaveFileConfig();

    // Control sinks.
    void SelectChanged(int id, int index) override;
    void RADIO_OnClicked(int checked, int id, POINT) override;
    void SF_OnSliderPos(int id, int pos) override;
    void EDIT_OnEnterPressed(UINT id, wchar_t* text) override;
    void BTN_OnClicked(int id) override;

    // Controls by id, for the layout and for tests.
    CSFComboBox* Combo(int id) const;
    CSFSliderCtrl* Slider(int id) const;
    CSFRadioBox* Radio(int id) const;
    CSFEditCtrl* Edit(int id) const;
    CSFButton* Button(int id) const;
    // FileManage start (1163) and end (1164) time editors.
    CSFDateTimeCtrl* TimeEditor(int id) const;
    CSFStatic* FailureLabel() const { return m_pFailText; }
    std::wstring SliderValueText(int sliderId) const;

private:
    struct Stream {
        std::vector<int> compressionKeys, resolutionKeys;
        int compressionKey = -1;
        int bitRateControl = 0;
        int cbrLock = 0;
        int frameRate = 0;
        int quality = 0;
        int minBitRate = 0, maxBitRate = 0;
        int firstBitRate = 0, lastBitRate = -1;
        int customised = 0;
        int audioEnable = 0;
    };

    void BuildFrame();
    void BuildEncodeTab();
    void BuildImageTab();
    void BuildFileManageTab();
    CSFStatic* MakeLabel(const wchar_t* text, const RECT& rc, std::vector<CSFStatic*>& group);
    CSFComboBox* MakeCombo(int id, const RECT& rc);
    CSFSliderCtrl* MakeSlider(int id, const RECT& rc, CSFStatic* value);
    CSFRadioBox* MakeRadio(int id, const wchar_t* text, const RECT& rc);
    CSFButton* MakeButton(int id, const wchar_t* text, const RECT& rc);
    CSFEditCtrl* MakeEdit(int id, const RECT& rc);
    void SetSliderValue(int sliderId, int value);
    void Query(const std::string& key, int mainType, const std::string& mainCompression, int videoStandard,
               int mainResolution, int subType, const std::string& subCompression, int subResolution, bool chain);
    void SetFlag(int flag);
    std::string SelectedText(int comboId) const;
    int MainStreamType() const;
    void FillList(int comboId, const Json::Value& list, std::vector<int>& keys, bool fixNames);
    void FillBitRate(bool sub, const Json::Value& answer);
    void FillFrameRate(bool sub, const Json::Value& answer);
    void ApplyQuality(bool sub, const Json::Value& answer, bool chain);
    void ApplyCbrLock(bool sub);
    int StagedBitRate(bool sub) const;
    bool RefuseImageChange();
    void SaveColor();
    void ApplyImageControls();
    void EncodeRadio(int checked, int id);
    void EncodeSelectChanged(int id, int index);
    void EncodeSliderPos(int id, int pos);
    void ShowGroup(const std::vector<CSFStatic*>& group, int show);
    void Message(const wchar_t* text, const wchar_t* caption);

    std::weak_ptr<CDevConfigEventImp> m_wpPage;
    std::shared_ptr<IDevConfigRequests> m_pRequests;
    std::shared_ptr<CAcountDlg> m_pAccountDlg;
    CSFView* m_pView = nullptr;
    CSFVideoWindow* m_pVideoWindow = nullptr;
    std::shared_ptr<CVideoInfocus> m_pFocusDlg;
    SDKMETHOD m_method = SDKMETHOD_DEFAULT;

    // Frame.
    CSFStatic *m_pStartText = nullptr, *m_pFailText = nullptr;
    CSFPictureEx* m_pLoading = nullptr;
    CSFPictureCtrl *m_pStartPicture = nullptr, *m_pFailPicture = nullptr;
    CSFStatic* m_pDecoderMissing = nullptr; // over the video window
    bool m_bDecoderMissing = false;
    std::vector<CSFStatic*> m_encodeLabels, m_imageLabels, m_fileLabels, m_frameLabels;
    std::vector<CSFComboBox*> m_combos;
    std::vector<CSFSliderCtrl*> m_sliders;
    std::vector<CSFRadioBox*> m_radios;
    std::vector<CSFEditCtrl*> m_edits;
    std::vector<CSFButton*> m_buttons;
    std::vector<int> m_comboIds, m_sliderIds, m_radioIds, m_editIds, m_buttonIds;
    std::vector<std::pair<int, CSFStatic*>> m_sliderValues;
    int m_nCurTab = kTabEncode;
    long m_lPlayHandle = 0;
    int m_nPlayChannel = 0;

    // Encode.
    int m_nChannel = 0;
    std::array<int, kFlagCount> m_flags{};
    bool m_bEncodeInfoFlag = false;
    std::vector<int> m_streamTypeValues;
    int m_bStreamTypeChanged = 0;
    Stream m_main, m_sub;
    int m_bSaving = 0;
    std::array<std::vector<int>, 13> m_sampleRates;

    // IMAGE.
    int m_nImageChannel = 0;
    int m_nProfile = 0;
    int m_bVideoEffectLoaded = 0;
    int m_nImageSaves = 0;
    std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> m_pColor;
    std::shared_ptr<AV_CFG_ChannelVideoColor> m_pVideoColor;
    std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO> m_pBackLight;
    std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> m_pDayNight;
    std::shared_ptr<AV_CFG_ChannelName> m_pName;

    // FileManage.
    void FileModeRadio(int id);
    void EnableFileControls(int enable);
    int m_bFileLoaded = 0;
    CSFStatic *m_pAlwaysUseLabel = nullptr, *m_pStartLabel = nullptr, *m_pEndLabel = nullptr;
    CSFDateTimeCtrl *m_pStartTime = nullptr, *m_pEndTime = nullptr;

    // ---- Layout, audio rows, back-light level and channel name ----
public:
    void OnSize(UINT type, int width, int height) override;
    void LayoutEncodeTab(int width, int height);
    void LayoutImageTab(int width, int height);
    void LayoutFileManageTab(int width, int height);
    void EDIT_OnTextChange(UINT id, wchar_t* text) override;
    void Check_OnCheckStateChanged(int checked, int id);
    void OnSaveChannelNameResult(int ok);
    CSFCheckBox* CheckBox(int id) const;
    CSFScrollArea* EncodeArea() const { return m_pEncodeArea; }
    void SetFullScreenFlag(int flag) { m_bFullScreen = flag; }
    // Encode label of a row of the tab (1..70), for the layout and for tests.
    CSFStatic* EncodeRowLabel(int row) const;
    CSFStatic* ImageLabel(const wchar_t* key) const;
    CSFStatic* ChannelNameLabel() const { return m_pNameLabel; }
    CSFPictureCtrl* BorderLine() const { return m_pBorderLine; }
    void RequestWaterMark(int value, int channel);
    void OnGetWaterMark(const __ZRDEV_WATERMAKE_CFG& record, int ok);

private:
    void BuildLayoutExtras();
    void ShowEncodeAudio(int show);
    void ShowImageExtras(int show);
    void ApplyImageExtras();
    void BackLightChoice(int index, tagNET_VIDEOIN_BACKLIGHT_INFO& copy);
    bool ImageExtraSliderPos(int id, int pos);
    bool ImageExtraEnter(UINT id, const wchar_t* text);
    CSFCheckBox* MakeCheck(int id, int checked);
    void FillAudioList(bool sub, const Json::Value& answer);
    void FillSampleRates(bool sub);
    void StageAudio(int channel, int subType, int protocol, int videoStandard);
    void SetIFrameRange(bool sub, int rate);
    bool IFrameEnter(UINT id, const wchar_t* text);

    std::shared_ptr<ISFCheckBoxEvent> m_pCheckSink;
    std::vector<CSFCheckBox*> m_checks;
    std::vector<int> m_checkIds;
    CSFScrollArea* m_pEncodeArea = nullptr;
    void* m_pBuildParent = nullptr;
    std::array<CSFStatic*, 71> m_encodeRows{};
    CSFPictureCtrl* m_pMainBorder = nullptr;
    CSFPictureCtrl* m_pSubBorder = nullptr;
    CSFPictureCtrl* m_pBorderLine = nullptr;
    CSFStatic* m_pNameLabel = nullptr;
    CSFStatic* m_pLevelValue = nullptr;
    int m_bFullScreen = 0;
    RECT m_rcNormalVideo{0, 0, 0, 0};
    int m_nBackLightLevel = 1;
    std::vector<int> m_mainAudioKeys, m_subAudioKeys;
    int m_nMainSampleRate = 0, m_nSubSampleRate = 0;
    bool m_bHaveTalkFormats = false;
    int m_bImageShown = 0;
    std::shared_ptr<AV_CFG_ChannelName> m_pPendingName;

private:
    // Full screen.
    void BuildFullScreenButton();
    void ShowFullScreenButton(int show);
    // Where a page without a main window was before full screen.
    RECT m_rcPageBeforeFullScreen{0, 0, 0, 0};
};
