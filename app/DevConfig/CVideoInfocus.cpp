// The focus assistant dialog; see the header.
#include "DevConfig/CVideoInfocus.h"

#include "Common/Translate.h"
#include "DevConfig/CCodeVideoCfgEventImp.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFRect.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFVideoInFocus.h"
#include "Widgets/SkinRecords.h"

#include <QWidget>

namespace {

constexpr DWORD kVisible = 0x10000000;
constexpr int kWidth = 750, kHeight = 400;
constexpr UINT kTitleColour = 0x3B6C96;

} // namespace

SF_BEGIN_MESSAGE_MAP(CVideoInfocus)
SF_ON_COMMAND(CVideoInfocus::ID_CLOSE, OnCloseFocus)
SF_ON_COMMAND(CVideoInfocus::ID_SAMPLE, OnSample)
SF_ON_COMMAND(CVideoInfocus::ID_ADJUST, OnAdjust)
SF_ON_COMMAND(CVideoInfocus::ID_STOP, ResetFocus)
SF_END_MESSAGE_MAP()

CVideoInfocus::CVideoInfocus(CCodeVideoCfgEventImp* host) : m_pHost(host) {}

CVideoInfocus::~CVideoInfocus()
{
    CSFDialog* dialog = m_pDialog;
    m_pDialog = nullptr;
    DestroySFDialog(dialog);
}

void CVideoInfocus::Dlg_Destroy()
{
    m_pDialog = nullptr;
    m_pGraph = nullptr;
    m_pClose = m_pSample = m_pAdjust = m_pStop = nullptr;
    for (CSFStatic*& step : m_pSteps)
        step = nullptr;
}

std::shared_ptr<CVideoInfocus> ShowVideoInfocusDlg(CCodeVideoCfgEventImp* host)
{
    auto dlg = std::make_shared<CVideoInfocus>(host);
    dlg->CreateFocusDialog();
    return dlg;
}

void CVideoInfocus::CreateFocusDialog()
{
    auto* skin = new DialogStyle();
    FillWhiteDialogSkin(*skin, 30);
    m_pDialog = CreateSFDialog(this, m_pHost ? m_pHost->GetUIWnd() : nullptr, 0);
    if (m_pDialog) {
        m_pDialog->SetSkin(skin);
        m_pDialog->MoveWindow(0, 0, kWidth, kHeight);
        m_pDialog->Create(L"Focus Assistant", nullptr);
        m_pDialog->SetWindowTextW(Tr(L"Focus Assistant"));
        m_pDialog->CenterWindow(nullptr);
        m_pDialog->SetDrawBackGround(1);
        m_pDialog->ShowWindow(0);
    }
    delete skin;
}

int CVideoInfocus::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    RECT client{0, 0, kWidth - 1, kHeight - 1};
    if (m_pDialog)
        m_pDialog->GetDlgClientRect(&client);
    if (client.right <= client.left)
        client = RECT{0, 0, kWidth - 1, kHeight - 1};
    const int l = client.left, t = client.top, r = client.right, b = client.bottom;

    m_pGraph = CreateSFVideoInFocus();
    if (m_pGraph)
        m_pGraph->Create(Tr(L"VideoInFocus"), kVisible, SFRectLTRB(l + 20, t + 40, r - 170, b - 70), wnd, ID_GRAPH);

    struct Step {
        const wchar_t* text;
        int y, height;
        bool title;
    };
    const Step steps[] = {
        {L"1.Minimum the focal length", 40, 20, true},
        {L"Minimum the focal length before adjust focus,and make sure no moving object before the camera.", 60, 60,
         false},
        {L"2.Magnify the focus length", 140, 20, true},
        {L"Click the Sample button,and adjust focus length to the max manully.", 160, 60, false},
        {L"3. Tune the focus", 240, 20, true},
        {L"Click the Adjust button,and make the instruction line into the best area by adjust camera focus.", 260, 60,
         false},
    };
    for (int i = 0; i < 6; ++i) {
        CSFStatic* label = CreateSFStatic(nullptr);
        m_pSteps[i] = label;
        if (!label)
            continue;
        if (!steps[i].title)
            label->SetTextAlignFlag(0x2014);
        label->Create(Tr(steps[i].text), kVisible, SFRectXYWH(r - 165, steps[i].y, 150, steps[i].height), wnd, 0);
        if (steps[i].title)
            label->SetTextColor(kTitleColour);
        else
            label->SetToolTipText(Tr(steps[i].text));
    }

    m_pClose = CreateSFButton(nullptr);
    if (m_pClose) {
        ImageButtonStyle close =
            MakeButtonSkin(L"close-normal.png", L"close-hover.png", L"close-pressed.png", L"close-disabled.png");
        m_pClose->Create(L"", kVisible, SFRectLTRB(r - 25, 2, r - 1, 26), wnd, ID_CLOSE);
        m_pClose->SetSkin(&close);
        m_pClose->SetToolTipText(Tr(L"Close"));
    }
    ImageButtonStyle plain = MakeButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png");
    const int x = (r - l - 164) / 3;
    auto make = [&](const wchar_t* text, int left, UINT id) {
        CSFButton* button = CreateSFButton(nullptr);
        if (button) {
            button->Create(Tr(text), kVisible, SFRectXYWH(left, b - 50, 72, 25), wnd, id);
            button->SetSkin(&plain);
        }
        return button;
    };
    m_pSample = make(L"Sample", x, ID_SAMPLE);
    m_pAdjust = make(L"Adjust", x + 92, ID_ADJUST);
    m_pStop = make(L"Stop", x + 184, ID_STOP);
    // Enter and Esc belong to the dialog: no button takes the focus (and Enter) from it.
    for (CSFButton* button : {m_pClose, m_pSample, m_pAdjust, m_pStop})
        if (auto* widget = dynamic_cast<QWidget*>(button))
            widget->setFocusPolicy(Qt::NoFocus);
    EnableButtons(1, 0, 0);
    return 1;
}

CSFButton* CVideoInfocus::Button(int id) const
{
    switch (id) {
    case ID_CLOSE: return m_pClose;
    case ID_SAMPLE: return m_pSample;
    case ID_ADJUST: return m_pAdjust;
    case ID_STOP: return m_pStop;
    default: return nullptr;
    }
}

void CVideoInfocus::EnableButtons(int sample, int adjust, int stop)
{
    if (m_pSample)
        m_pSample->EnableWindow(sample);
    if (m_pAdjust)
        m_pAdjust->EnableWindow(adjust);
    if (m_pStop)
        m_pStop->EnableWindow(stop);
}

void CVideoInfocus::AddFocusValue(int value)
{
    if (m_nMode != ModeIdle && m_pGraph)
        m_pGraph->AddPointY(value);
}

void CVideoInfocus::SetFocusString(const wchar_t* text, int which)
{
    if (m_pGraph)
        m_pGraph->SetString(text, which);
}

void CVideoInfocus::ResetFocus()
{
    EnableButtons(1, 0, 0);
    m_nMode = ModeIdle;
    if (m_pGraph) {
        m_pGraph->SetMode(ModeIdle);
        m_pGraph->ClearPointY();
    }
}

void CVideoInfocus::OnSample()
{
    EnableButtons(0, 1, 1);
    m_nMode = ModeSampling;
    if (m_pGraph)
        m_pGraph->SetMode(ModeSampling);
}

void CVideoInfocus::OnAdjust()
{
    EnableButtons(0, 0, 1);
    m_nMode = ModeAdjusting;
    if (m_pGraph)
        m_pGraph->SetMode(ModeAdjusting);
}

void CVideoInfocus::OnCloseFocus()
{
    ResetFocus();
    if (m_pHost)
        m_pHost->CancelVideoInFocus();
    if (m_pDialog)
        m_pDialog->MFCCancel();
}

void CVideoInfocus::OnDlgKeyDown(UINT, UINT key)
{
    if (key == 13)
        OnSample();
    else if (key == 27)
        OnCloseFocus();
}
