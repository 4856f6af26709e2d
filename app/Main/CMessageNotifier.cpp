#include "Main/CMessageNotifier.h"

#include <cwchar>

#include "Common/SFTime.h"
#include "Common/Translate.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"

SF_BEGIN_MESSAGE_MAP(CMessageNotifier)
SF_ON_COMMAND(CMessageNotifier::ID_CLEAR, OnClear)
SF_END_MESSAGE_MAP()

namespace {

enum : DWORD { kStayOnTopHint = 0x40000, kToolWindowFlags = 11 };

void FillNotifierSkin(DialogStyle& s)
{
    s.strFrameImage = L"Frame.png";
    s.strBkImage = L"bg_monitor.png";
    s.strBkMode = L"tile";
    s.strBkColor = L"000000";
    s.strTopLeftRect = L"0,0,10,27";
    s.strTopLeftMode = L"tile";
    s.strTopRect = L"30,0,1,27";
    s.strTopMode = L"stretch";
    s.strTopRightRect = L"138,0,10,27";
    s.strLeftTopRect = L"0,27,1,80";
    s.strLeftRect = L"0,110,1,20";
    s.strLeftBottomRect = L"0,110,1,20";
    s.strBottomLeftRect = L"0,130,10,10";
    s.strBottomRect = L"10,130,1,10";
    s.strBottomRightRect = L"138,130,10,10";
    s.strRightBottomRect = L"147,110,1,20";
    s.strRightRect = L"147,110,1,20";
    s.strRightTopRect = L"147,27,1,80";
    s.strCloseNormalRect = L"11,41,23,14";
    s.strCloseHoverRect = L"41,41,23,14";
    s.strClosePressedRect = L"71,41,23,14";
    s.strClosePos = L"-28,7,23,14";
    s.strFontName = L"Tahoma";
    s.strFontSize = L"11";
    s.strFontWeight = L"normal";
    s.strTitleColor = L"333333";
    s.strTitleColor2 = L"999999";
    s.strTitleAlign = L"left";
    s.strTitleRect = L"10,0,1000,27";
    s.bStyleFlag = true;
    s.strSpare5 = L"0,0,-1,-1";
}

void FillListSkin(ListCtrlStyle& l)
{
    l.strImage = L"ListCtrlnew.png";
    const wchar_t* rects[20] = {L"0,0,1,27",   L"2,0,2,27",   L"0,34,14,13", L"14,34,1,13", L"15,34,1,13",
                                L"16,34,1,13", L"17,34,1,13", L"18,34,1,13", L"19,34,1,13", L"20,34,14,13",
                                L"34,0,13,14", L"34,14,13,1", L"34,15,13,1", L"34,16,13,1", L"34,17,13,1",
                                L"34,18,13,1", L"34,19,13,1", L"34,20,13,14", L"5,0,13,27", L"34,34,13,13"};
    for (int i = 0; i < 20; ++i) {
        l.strPieceRect[i] = rects[i];
        // Record positions 21 to 40: "stretch" at 21, 25, 28, 33 and 36.
        const int position = 21 + i;
        const bool stretch = position == 21 || position == 25 || position == 28 || position == 33 || position == 36;
        l.strPieceMode[i] = stretch ? L"stretch" : L"tile";
    }
    l.strEvenRowColor = L"bebebe";
    l.strOddRowColor = L"d0d0d0";
    l.strSpare1 = L"727272";
    l.strSpare2 = L"FAB400";
    l.strSpare3 = L"FEFEFE";
    l.nValue0 = 13;
    l.nValue1 = 13;
    l.nHeaderHeight = 20;
    l.nRowHeight = 24;
}

void SkinSmallButton(CSFButton* button, const wchar_t* normal, const wchar_t* hover, const wchar_t* pressed)
{
    ImageButtonStyle skin;
    skin.strNormal = normal;
    skin.strHover = hover;
    skin.strPressed = pressed;
    button->SetSkin(&skin);
}

} // namespace

CMessageNotifier::CMessageNotifier() = default;

CMessageNotifier::~CMessageNotifier()
{
    CSFDialog* dialog = m_pDialog;
    m_pDialog = nullptr;
    DestroySFDialog(dialog);
}

namespace {
std::shared_ptr<CMessageNotifier>& Instance()
{
    static std::shared_ptr<CMessageNotifier> instance;
    return instance;
}
} // namespace

void CMessageNotifier::ReleaseInstance() { Instance().reset(); }

std::shared_ptr<CMessageNotifier> CMessageNotifier::GetInstance()
{
    std::shared_ptr<CMessageNotifier>& instance = Instance();
    if (!instance) {
        instance = std::make_shared<CMessageNotifier>();
        instance->m_pSkin = std::make_shared<DialogStyle>();
        FillNotifierSkin(*instance->m_pSkin);
    }
    return instance;
}

void CMessageNotifier::Create()
{
    if (m_pDialog)
        return;
    m_pDialog = CreateSFDialog(this, nullptr, 3);
    if (!m_pDialog)
        return;
    m_pDialog->SetSkin(m_pSkin.get());
    m_pDialog->SetDrawBackGround(1);
    m_pDialog->Create(Tr(L"Notification"), nullptr);
    m_pDialog->ModifyDlgStyleEx(kStayOnTopHint, kToolWindowFlags, 0);
    m_pDialog->CenterWindow(nullptr);
    m_pDialog->ShowWindow(0);
}

int CMessageNotifier::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    m_pTop = CreateSFButton(this);
    SkinSmallButton(m_pTop, L"btn_settop_normal.png", L"btn_settop_normal.png", L"btn_settop_over.png");
    m_pTop->Create(L"", 0x10010000, RECT{375, 4, 395, 24}, wnd, ID_TOP);
    m_pTop->SetToolTipText(Tr(L"Top"));
    m_pTop->ShowWindow(0);

    m_pAutoHide = CreateSFButton(this);
    SkinSmallButton(m_pAutoHide, L"btn_setHide_normal.png", L"btn_setHide_normal.png", L"btn_setHide_down.png");
    m_pAutoHide->Create(L"", 0x10010000, RECT{375, 4, 395, 24}, wnd, ID_AUTOHIDE);
    m_pAutoHide->SetToolTipText(Tr(L"Auto hide"));
    m_pAutoHide->ShowWindow(1);

    m_pClear = CreateSFButton(nullptr);
    SkinSmallButton(m_pClear, L"btn_clear_normal.png", L"btn_clear_normal.png", L"btn_clear_over.png");
    m_pClear->Create(L"", 0x10010000, RECT{400, 4, 420, 24}, wnd, ID_CLEAR);
    m_pClear->SetToolTipText(Tr(L"Clear"));

    m_pList = CreateSFListCtrl(nullptr);
    if (m_pList) {
        ListCtrlStyle listSkin;
        FillListSkin(listSkin);
        m_pList->SetSkin(&listSkin);
        m_pList->Create(0x10010001, RECT{1, 28, 449, 316}, wnd, ID_LIST, true);
        m_pList->SetColumnTextAlign(0, 34852);
        m_pList->SetObjectName(L"NotifyDlg");
        m_pList->InsertColumn(0, Tr(L"File Name"), 0, -1, -1);
        m_pList->SetHorizontalHeaderVisible(0);
        m_pList->SetShowGrid(0);
        m_pList->SetColumnWidth(0, 420);
    }
    if (m_pDialog)
        m_pDialog->MoveWindow(0, 0, 450, 317);
    return 1;
}

std::wstring CMessageNotifier::FormatLine(int year, int month, int day, int hour, int minute, int second,
                                          const std::wstring& text)
{
    wchar_t stamp[32] = {};
    swprintf(stamp, 32, L"%d/%02d/%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
    return std::wstring(stamp) + L"  " + text;
}

void CMessageNotifier::Notify(const std::wstring& text, bool show)
{
    Create();
    const SF_SOFT_BASE::CSFTime now = SF_SOFT_BASE::CSFTime::GetCurrentTime();
    const std::wstring line =
        FormatLine(now.m_nYear, now.m_nMonth, now.m_nDay, now.m_nHour, now.m_nMinute, now.m_nSecond, text);
    if (m_pList) {
        m_pList->InsertItem(m_nRowCount, line.c_str());
        m_pList->SetToolTipText(m_nRowCount, 0, line.c_str());
    }
    ++m_nRowCount;
    if (m_pList)
        m_pList->ScrollToBottom();
    if (show && m_pDialog) {
        if (!m_pDialog->IsDlgVisible())
            m_pDialog->ShowWindow(1);
        if (!m_pDialog->IsActiveWindow())
            m_pDialog->ActiveWindow();
    }
}

void CMessageNotifier::BTN_OnClicked(int id)
{
    if (!m_pDialog)
        return;
    if (id == ID_AUTOHIDE) {
        m_bStayOnTop = true;
        m_pAutoHide->ShowWindow(0);
        m_pTop->ShowWindow(1);
        m_pDialog->ModifyDlgStyleEx(0, kStayOnTopHint, 0);
        m_pDialog->ActiveWindow();
    } else if (id == ID_TOP) {
        m_bStayOnTop = false;
        m_pAutoHide->ShowWindow(1);
        m_pTop->ShowWindow(0);
        m_pDialog->ModifyDlgStyleEx(kStayOnTopHint, 0, 0);
        m_pDialog->ActiveWindow();
    }
}

void CMessageNotifier::OnClear()
{
    if (m_pList)
        m_pList->DeleteAllItems();
    m_nRowCount = 0;
}

void CMessageNotifier::OnDlgKeyDown(UINT, UINT key)
{
    if (key == 27 && m_pDialog)
        m_pDialog->MFCCancel();
}

void CMessageNotifier::OnDlgTimer(UINT timerId)
{
    if (timerId == 2 && m_pDialog)
        m_pDialog->ShowWindow(0);
}
