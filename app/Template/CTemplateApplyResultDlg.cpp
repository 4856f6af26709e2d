// The apply result dialog: building and layout. What it shows is in TemplateApplyResultValues.cpp.
#include "Template/CTemplateApplyResultDlg.h"

#include "Common/SFStreamConvert.h"
#include "Common/Translate.h"
#include "Template/TemplateApplySkin.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFView.h"
#include "Widgets/SkinRecords.h"

namespace {

struct RowSpec {
    const wchar_t* label;  // null: no label
    CTemplateApplyResultDlg::Kind kind;
    UINT id;
    int top;       // in the scroll content; -1: never shown
    bool icon;
};

using D = CTemplateApplyResultDlg;
const RowSpec kRows[D::ROW_COUNT] = {
    {L"Main Stream", D::KIND_COMBO, 1187, 34, true},
    {L"Encode Mode", D::KIND_COMBO, 0, 68, true},
    {L"Vedio Standard", D::KIND_COMBO, 0, 102, true},
    {L"Resolution", D::KIND_COMBO, 0, 136, true},
    {L"Frame Rate", D::KIND_SLIDER, 1181, 170, true},
    {L"Bit Rate Control", D::KIND_COMBO, 0, 204, true},
    {L"Image Quality", D::KIND_SLIDER, 1182, 238, true},
    {L"Bit Rate(kbps)", D::KIND_EDIT, 0, 272, true},
    {L"Audio Enable", D::KIND_CHECK, 0, 306, true},
    {L"Audio Encode", D::KIND_COMBO, 0, 340, true},
    {L"I Frame Interval", D::KIND_EDIT, 0, -1, true},
    {L"SVC", D::KIND_COMBO, 0, -1, true},
    {L"Sub Video Enable", D::KIND_CHECK, 0, 374, true},
    {L"Sub Stream", D::KIND_COMBO, 0, 408, true},
    {L"Encode Mode", D::KIND_COMBO, 0, 442, true},
    {L"Vedio Standard", D::KIND_COMBO, 0, 476, true},
    {L"Resolution", D::KIND_COMBO, 0, 510, true},
    {L"Frame Rate", D::KIND_SLIDER, 1183, 544, true},
    {L"Bit Rate Control", D::KIND_COMBO, 0, 578, true},
    {L"Image Quality", D::KIND_SLIDER, 1184, 612, true},
    {L"Bit Rate(kbps)", D::KIND_EDIT, 0, 646, true},
    {L"Audio Enable", D::KIND_CHECK, 0, 680, true},
    {L"Audio Encode", D::KIND_COMBO, 0, 714, true},
    {L"I Frame Interval", D::KIND_EDIT, 0, -1, true},
    {L"SVC", D::KIND_COMBO, 0, -1, true},
    {L"Color Mode", D::KIND_COMBO, 1185, 780, true},
    {L"Brightness", D::KIND_SLIDER, 1176, 812, true},
    {L"Contrast", D::KIND_SLIDER, 1177, 844, true},
    {L"Gamma", D::KIND_SLIDER, 1178, 876, true},
    {L"Saturation", D::KIND_SLIDER, 1179, 908, true},
    {L"BLC Mode", D::KIND_COMBO, 1186, 940, true},
    {nullptr, D::KIND_SLIDER, 1180, 972, true},
    {L"Day/Night Mode", D::KIND_COMBO, 0, 1004, true},
    {L"FileManage", D::KIND_COMBO, 0, 1036, true},
    {L"Day Start Time", D::KIND_TEXT, 0, 1068, false},
    {L"AlwaysUse", D::KIND_COMBO, 0, 1068, false},
};

bool IsVideoRow(int row) { return row >= D::ROW_COLOR_MODE; }

void Place(CSFStatic* c, RECT r)
{
    if (c)
        c->MoveWindow(&r);
}

} // namespace

SF_BEGIN_MESSAGE_MAP(CTemplateApplyResultDlg)
SF_END_MESSAGE_MAP()

CTemplateApplyResultDlg::CTemplateApplyResultDlg(std::weak_ptr<ITemplateApplyRun> owner) : m_wpOwner(std::move(owner))
{
    m_result.ClearAll();
    m_result.Set(1);
}

CTemplateApplyResultDlg::~CTemplateApplyResultDlg()
{
    DestroyTemplateApplyDialog(this, m_pDialog);
}

std::shared_ptr<CTemplateApplyResultDlg> CTemplateApplyResultDlg::Create(std::weak_ptr<ITemplateApplyRun> owner)
{
    auto dlg = std::make_shared<CTemplateApplyResultDlg>(std::move(owner));
    dlg->CreateDialogWindow();
    return dlg;
}

int CTemplateApplyResultDlg::CreateDialogWindow()
{
    CreateTemplateApplyDialog(this, m_wpOwner, L"Details", 550, 550, m_pDialog);
    return 0;
}

int CTemplateApplyResultDlg::Dlg_OnInitDialog(bool create)
{
    if (!create || !m_pDialog)
        return 1;
    void* wnd = GetUIWnd();
    m_pClose = CreateCloseButton(this, wnd, 550, ID_CLOSE);

    m_pSummary = CreateTemplateApplyText(this, RECT{25, 40, 525, 70}, wnd);

    m_pSeparator = CreateSFPictureCtrl(nullptr);
    m_pSeparator->SetImage(L"border.png", false);
    m_pSeparator->Create(L"", WS_VISIBLE | WS_CHILD, RECT{25, 75, 525, 77}, wnd, UINT(-1));

    const wchar_t* comboRects[] = {L"0,2,150,22", L"0,2,150,22", L"0,86,150,23", L"0,30,150,23",
                                   L"0,30,150,22", L"0,2,150,22", L"0,30,150,22"};
    m_comboSkin.strImage = L"ComboBox.png";
    std::wstring* comboFields[] = {&m_comboSkin.strNormalRect,  &m_comboSkin.strHoverRect,
                                   &m_comboSkin.strDropDownRect, &m_comboSkin.strDropUpRect,
                                   &m_comboSkin.strDisabledRect, &m_comboSkin.strExtraRect1,
                                   &m_comboSkin.strExtraRect2};
    std::wstring* comboModes[] = {&m_comboSkin.strNormalMode,   &m_comboSkin.strHoverMode,  &m_comboSkin.strDropUpMode,
                                  &m_comboSkin.strDropDownMode, &m_comboSkin.strDisabledMode, &m_comboSkin.strExtraMode1,
                                  &m_comboSkin.strExtraMode2};
    for (int i = 0; i < 7; ++i) {
        *comboFields[i] = comboRects[i];
        *comboModes[i] = L"tile";
    }
    m_sliderSkin.strImage = L"slider.png";
    m_sliderSkin.strPieceRect1 = L"0,2,122,24";
    m_sliderSkin.strPieceRect2 = L"122,2,122,24";
    m_sliderSkin.strPieceRect3 = L"244,0,24,24";
    m_sliderSkin.strPieceRect4 = L"268,0,24,24";
    m_sliderSkin.strPieceRect5 = L"292,0,24,24";
    m_sliderSkin.strPieceRect6 = L"316,0,24,24";
    for (std::wstring* m : {&m_sliderSkin.strSpare1, &m_sliderSkin.strSpare2, &m_sliderSkin.strSpare3,
                            &m_sliderSkin.strSpare4, &m_sliderSkin.strSpare5, &m_sliderSkin.strSpare6})
        *m = L"tile";
    m_checkSkin = MakeRadioSkin(L"Select_Check.png", L"Select_unCheck.png", L"Select_UnableCheck.png",
                                L"Select_UnableUnCheck.png");

    m_pScroll = CreateSFScrollArea(nullptr);
    // Narrow enough that the vertical scroll bar never brings a horizontal one.
    m_pScroll->Create(WS_VISIBLE | WS_CHILD, RECT{25, 82, 525, 592}, 480, 1250, wnd, 0);
    ScrollAreaStyle area;
    area.strBkImage = L"/bgColorWhite.png";
    m_pScroll->SetSkin(&area);
    BuildEncodeSection(m_pScroll->GetUIWnd());
    BuildVideoSection(m_pScroll->GetUIWnd());
    LayoutRows();
    return 1;
}

void CTemplateApplyResultDlg::BuildEncodeSection(void* area)
{
    m_pEncodeTitle = CreateSFStatic(this);
    m_pEncodeTitle->Create(Tr(L"Encode Config"), WS_VISIBLE, RECT{60, 0, 180, 24}, area, 0);
    m_pEncodeTitle->SetTextAlignFlag(0);
    for (int row = 0; row < ROW_COLOR_MODE; ++row)
        BuildRow(row, area);
}

void CTemplateApplyResultDlg::BuildVideoSection(void* area)
{
    m_pVideoTitle = CreateSFStatic(this);
    m_pVideoTitle->Create(Tr(L"Video Config"), WS_VISIBLE, RECT{60, 748, 180, 772}, area, 0);
    m_pVideoTitle->SetTextAlignFlag(0);
    for (int row = ROW_COLOR_MODE; row < ROW_COUNT; ++row)
        BuildRow(row, area);
}

void CTemplateApplyResultDlg::BuildRow(int row, void* area)
{
    const RowSpec& spec = kRows[row];
    RowControls& c = m_rows[row];
    const RECT zero{0, 0, 0, 0};
    if (spec.label) {
        c.label = CreateSFStatic(this);
        c.label->Create(Tr(spec.label), WS_VISIBLE, zero, area, 0);
        c.label->SetTextAlignFlag(2 | 4);  // right, centred on the control beside it
    }
    switch (spec.kind) {
    case KIND_COMBO:
        c.combo = CreateSFComboBox(this);
        c.combo->SetSkin(&m_comboSkin);
        c.combo->Create(WS_VISIBLE, zero, area, spec.id);
        c.combo->EnableWindow(0);
        break;
    case KIND_SLIDER:
        c.slider = CreateSFSliderCtrl(this);
        c.slider->SetSkin(&m_sliderSkin);
        c.slider->Create(WS_VISIBLE | WS_TABSTOP, zero, area, spec.id, SLIDER_RESPONSE_RELEASE);
        c.slider->SetTooltipEnable(1, 1);
        c.slider->EnableWindow(0);
        if (row == ROW_BLC_LEVEL) {
            c.slider->SetRange(1, 100, 0);
            c.slider->SetPos(50);
        } else {
            c.slider->SetRange(0, 100, 0);
            c.slider->SetPos(0);
        }
        c.value = CreateSFStatic(this);
        c.value->Create(Tr(L"0"), WS_VISIBLE, zero, area, 0);
        c.value->SetTextAlignFlag(4);
        break;
    case KIND_EDIT:
        c.edit = CreateSFEditCtrl(this);
        c.edit->Create(WS_VISIBLE, zero, area, 0, false);
        c.edit->EnableWindow(0);
        break;
    case KIND_CHECK:
        c.check = CreateSFRadioBox(this);
        c.check->SetSkin(&m_checkSkin);
        c.check->Create(L"", WS_VISIBLE | WS_TABSTOP, zero, area, 0);
        c.check->SetEnabled(0);
        break;
    case KIND_TEXT:
        c.value = CreateSFStatic(this);
        c.value->Create(L"", WS_VISIBLE, zero, area, 0);
        c.value->SetTextAlignFlag(4);
        break;
    }
    if (spec.icon) {
        c.icon = CreateSFPictureCtrl(this);
        c.icon->Create(L"", WS_VISIBLE, zero, area, 0);
        SetIcon(row, kOkIcon);
    }
    if (spec.top < 0 || row == ROW_DAY_START || row == ROW_ALWAYS_USE)
        ShowRow(row, false);
}

void CTemplateApplyResultDlg::LayoutRows()
{
    for (int row = 0; row < ROW_COUNT; ++row) {
        const int y = kRows[row].top;
        if (y < 0)
            continue;
        RowControls& c = m_rows[row];
        const bool video = IsVideoRow(row);
        const int control = video ? 188 : 190;
        const int value = video ? 346 : 350;
        const int icon = video ? 374 : 380;
        Place(c.label, RECT{60, y, 180, y + 24});
        RECT r{control, y, control + 150, y + 22};
        if (c.combo)
            c.combo->MoveWindow(&r);
        if (c.slider)
            c.slider->MoveWindow(&r);
        if (c.edit)
            c.edit->MoveWindow(&r);
        if (c.check)
            c.check->MoveWindow(&r);
        // Three digits fit the value text: it reaches up to the icon.
        Place(c.value, row == ROW_DAY_START ? RECT{control, y, control + 150, y + 24}
                                            : RECT{value, y, icon - 2, y + 24});
        if (c.icon) {
            RECT i{icon, y, icon + 20, y + 20};
            c.icon->MoveWindow(&i);
        }
    }
}

void CTemplateApplyResultDlg::LayoutDialog()
{
    if (!m_pSummary || !m_pDialog)
        return;
    const RECT r = m_pSummary->GetGeometry();
    RECT separator{25, r.bottom + 5, 525, r.bottom + 7};
    m_pSeparator->MoveWindow(&separator);
    RECT scroll{25, separator.bottom + 5, 525, separator.bottom + 465};
    m_pScroll->MoveWindow(&scroll);
    RECT dialog{0, 0, 550, scroll.bottom + 8};
    m_pDialog->MoveWindow(&dialog);
    m_pDialog->CenterWindow(nullptr);
}

void CTemplateApplyResultDlg::OnDlgKeyDown(UINT, UINT key)
{
    if ((key == 27 || key == 13) && m_pDialog)
        m_pDialog->MFCCancel();
}

void CTemplateApplyResultDlg::SetIcon(int row, const wchar_t* image)
{
    RowControls& c = m_rows[row];
    if (!c.icon)
        return;
    c.icon->SetImage(image, false);
    m_iconImage[row] = image;
}

void CTemplateApplyResultDlg::ShowIcon(int row, bool show)
{
    if (m_rows[row].icon)
        m_rows[row].icon->ShowWindow(show ? 1 : 0);
}

void CTemplateApplyResultDlg::ShowRow(int row, bool show)
{
    RowControls& c = m_rows[row];
    const int s = show ? 1 : 0;
    if (c.label)
        c.label->ShowWindow(s);
    if (c.combo)
        c.combo->ShowWindow(s);
    if (c.slider)
        c.slider->ShowWindow(s);
    if (c.value)
        c.value->ShowWindow(s);
    if (c.edit)
        c.edit->ShowWindow(s);
    if (c.check)
        c.check->ShowWindow(s);
    ShowIcon(row, show);
}

void CTemplateApplyResultDlg::SetRowColour(int row, unsigned colour)
{
    if (m_rows[row].label)
        m_rows[row].label->SetTextColor(colour);
    if (m_rows[row].value && m_rows[row].slider)
        m_rows[row].value->SetTextColor(colour);
}

std::wstring CTemplateApplyResultDlg::GetSummaryText() const
{
    wchar_t buf[2048] = {};
    if (m_pSummary)
        m_pSummary->GetStaticText(buf, 2047);
    return buf;
}

std::wstring CTemplateApplyResultDlg::GetRowText(int row) const
{
    const RowControls& c = m_rows[row];
    wchar_t buf[1024] = {};
    if (c.combo) {
        if (c.combo->GetCount() > 0)
            c.combo->GetLBText(0, buf, 1023);
    } else if (c.value) {
        c.value->GetStaticText(buf, 1023);
    } else if (c.edit) {
        c.edit->GetWindowTextW(buf, 1023);
    } else if (c.check) {
        return c.check->GetCheck() ? L"1" : L"0";
    }
    return buf;
}
