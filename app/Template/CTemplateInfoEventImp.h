// Read-only summary of one template inside the apply panel: a label column and a value column in
// a scroll area, rows for the name, the main and extra stream and the image settings. It turns
// the codes of a tagTEMPLATEINFO into words; rows that do not apply are grey. GUI thread only.
#pragma once

#include <memory>

#include "Template/TemplateInfo.h"
#include "Widgets/SFView.h"

class CSFScrollArea;
class CSFStatic;

class CTemplateInfoEventImp : public ISFViewEvent, public std::enable_shared_from_this<CTemplateInfoEventImp> {
public:
    // Row numbers, top to bottom.
    enum Row : int {
        ROW_NAME = 0,
        ROW_MAIN_HEADING = 1,
        ROW_MAIN_TYPE = 2,
        ROW_MAIN_CODEC = 3,
        ROW_MAIN_RESOLUTION = 4,
        ROW_MAIN_FRAMERATE = 5,
        ROW_MAIN_BITRATE_CONTROL = 6,
        ROW_MAIN_QUALITY = 7,
        ROW_MAIN_BITRATE = 8,
        ROW_MAIN_AUDIO_ENABLE = 9,
        ROW_MAIN_AUDIO_CODEC = 10,
        ROW_EXTRA_HEADING = 11,
        ROW_EXTRA_ENABLE = 12,
        ROW_EXTRA_TYPE = 13,
        ROW_EXTRA_CODEC = 14,
        ROW_EXTRA_RESOLUTION = 15,
        ROW_EXTRA_FRAMERATE = 16,
        ROW_EXTRA_BITRATE_CONTROL = 17,
        ROW_EXTRA_QUALITY = 18,
        ROW_EXTRA_BITRATE = 19,
        ROW_EXTRA_AUDIO_ENABLE = 20,
        ROW_EXTRA_AUDIO_CODEC = 21,
        ROW_IMAGE_HEADING = 22,
        ROW_COLOR_MODE = 23,
        ROW_BRIGHTNESS = 24,
        ROW_CONTRAST = 25,
        ROW_GAMMA = 26,
        ROW_SATURATION = 27,
        ROW_BLC_MODE = 28,
        ROW_BLC_LEVEL = 29,
        ROW_DAYNIGHT = 30,
        ROW_FILEMANAGE = 31,
        ROW_COUNT = 32,
    };
    enum : unsigned { kGrey = 0x808080, kBlack = 0 };

    // owner: the apply panel, whose window becomes the view's parent.
    explicit CTemplateInfoEventImp(std::weak_ptr<ISFViewEvent> owner);
    ~CTemplateInfoEventImp() override;
    static std::shared_ptr<CTemplateInfoEventImp> Create(std::weak_ptr<ISFViewEvent> owner);

    int Init();
    CSFView* GetView() const { return m_pView; }
    int SetTemplateInfo(const tagTEMPLATEINFO& info);
    int ClearTemplateInfo();

    int OnCreate() override;

    // The label and the value cell of a row (the value is null for a heading).
    CSFStatic* GetLabel(int row) const { return row >= 0 && row < ROW_COUNT ? m_pLabel[row] : nullptr; }
    CSFStatic* GetValue(int row) const { return row >= 0 && row < ROW_COUNT ? m_pValue[row] : nullptr; }

private:
    void LayoutRows();
    void SetValue(int row, const wchar_t* text);
    void SetNumber(int row, int value);
    void SetRowColor(int row, unsigned colour);
    void ShowImage(const tagTEMPLATEINFO& info);
    void ShowMainStream(const tagTEMPLATE_ENCODE& encode);
    void ShowExtraStream(const tagTEMPLATE_ENCODE& encode);
    // The rows of one stream, from its type row (shift rows below the main stream's) to its audio codec.
    struct StreamFields;
    void ShowStream(int shift, const StreamFields& stream);

    std::weak_ptr<ISFViewEvent> m_wpOwner;
    CSFView* m_pView = nullptr;
    CSFScrollArea* m_pScroll = nullptr;
    CSFStatic* m_pLabel[ROW_COUNT] = {};
    CSFStatic* m_pValue[ROW_COUNT] = {};
};
