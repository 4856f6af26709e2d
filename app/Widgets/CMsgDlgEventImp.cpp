#include "Widgets/CMsgDlgEventImp.h"

#include "Common/Translate.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SkinRecords.h"

SF_BEGIN_MESSAGE_MAP(CMsgDlgEventImp)
SF_ON_COMMAND(CMsgDlgEventImp::ID_CLOSE, OnClose)
SF_END_MESSAGE_MAP()

void BuildMsgDlgSkin(DialogStyle& style) { FillWhiteDialogSkin(style, 27); }

void BuildNoticeDlgSkin(DialogStyle& style) { FillWhiteDialogSkin(style, 30); }

CMsgDlgEventImp::CMsgDlgEventImp(const wchar_t* text, const wchar_t* caption, int type, void* extra)
    : m_strText(text ? text : L""), m_strCaption(caption ? caption : L""), m_nType(type), m_pExtra(extra)
{
}

void CMsgDlgEventImp::SetText(const wchar_t* text)
{
    m_strText = text ? text : L"";
    if (m_pText)
        m_pText->SetStaticText(m_strText.c_str());
}

int CMsgDlgEventImp::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    RECT box{0, 0, 320, 100};
    RECT button{0, 0, 72, 25};
    RECT text{20, 37, 300, 65};

    m_pText = CreateSFStatic(nullptr);
    m_pText->SetTextAlignFlag(0x2015);
    m_pText->Create(m_strText.c_str(), 0x10010000, text, wnd, 0);
    int w = 0, h = 0;
    m_pText->GetTextSize(w, h);
    text.right = 20 + w;
    text.bottom = std::max<LONG>(37 + h + 10, 37 + 50);
    m_pText->MoveWindow(&text);

    const ImageButtonStyle buttonSkin =
        MakeButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png");
    m_pOk = CreateSFButton(this);
    m_pCancel = CreateSFButton(this);
    CSFButton* buttons[2] = {m_pOk, m_pCancel};
    const wchar_t* labels[2] = {L"OK", L"Cancel"};
    for (int i = 0; i < 2; ++i) {
        ImageButtonStyle skin = buttonSkin;
        buttons[i]->SetSkin(&skin);
        const std::wstring label = Tr(labels[i]);
        buttons[i]->Create(label.c_str(), 0x10000, button, wnd, static_cast<UINT>(i + 1));
        buttons[i]->SetToolTipText(label.c_str());
        buttons[i]->ShowWindow(0);
    }

    m_pClose = CreateCloseButton(nullptr, wnd, box.right, ID_CLOSE);

    const LONG T = text.bottom;
    switch (m_nType) {
    case 0:
        button = RECT{(320 - 72) / 2, T + 10, (320 - 72) / 2 + 72, T + 10 + 25};
        m_pOk->MoveWindow(button.left, button.top, 72, 25);
        m_pOk->ShowWindow(1);
        break;
    case 1: {
        button = RECT{(320 - 2 * 72 - 20) / 2, T + 10, (320 - 2 * 72 - 20) / 2 + 72, T + 10 + 25};
        m_pOk->MoveWindow(button.left, button.top, 72, 25);
        m_pCancel->MoveWindow(button.left + 72 + 20, button.top, 72, 25);
        m_pOk->ShowWindow(1);
        m_pCancel->ShowWindow(1);
        break;
    }
    case 5:
        m_pClose->ShowWindow(0);
        button = RECT{0, T - 10, 72, T - 10 + 25};
        break;
    default:
        break;
    }
    box.bottom = button.bottom + 10;
    if (m_pDialog) {
        m_pDialog->SetWindowTextW(m_strCaption.c_str());
        m_pDialog->MoveWindow(&box);
        m_pDialog->CenterWindow(nullptr);
    }
    return 1;
}

void CMsgDlgEventImp::OnDlgKeyDown(UINT, UINT key)
{
    if (!m_pDialog)
        return;
    if (key == 27)
        m_pDialog->MFCCancel();
    else if (key == 13)
        m_pDialog->MFCOK();
}

void CMsgDlgEventImp::Dlg_Destroy()
{
    DestroySFButton(m_pOk);
    DestroySFButton(m_pCancel);
    DestroySFButton(m_pClose);
    DestroySFStatic(m_pText);
    m_pOk = nullptr;
    m_pCancel = nullptr;
    m_pClose = nullptr;
    m_pText = nullptr;
}

void CMsgDlgEventImp::BTN_OnLButtonDown(int id, UINT, POINT)
{
    if (id == ID_OK && m_pOk)
        m_pOk->SetTextColor(0);
    else if (id == ID_CANCEL && m_pCancel)
        m_pCancel->SetTextColor(0);
}

void CMsgDlgEventImp::BTN_OnLButtonUp(int id, UINT flags, POINT point)
{
    BTN_OnLButtonDown(id, flags, point);
}

void CMsgDlgEventImp::OnClose()
{
    if (m_pDialog)
        m_pDialog->MFCCancel();
}
