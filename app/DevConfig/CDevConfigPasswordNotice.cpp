// After a login with the initial password the page offers to change it; a user who declines
// sees a notice without buttons for five seconds before the login goes on.
#include "DevConfig/CDevConfigEventImp.h"

#include <cstring>

#include "Common/SFTimer.h"
#include "Common/Translate.h"
#include "DevConfig/DevConfigDefs.h"
#include "SysConfig/CModifyPasswordDlg.h"
#include "Widgets/CMsgDlgEventImp.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"

namespace {

constexpr int kNoticeMs = 5000;
const wchar_t* const kInitialPasswordText =
    L"The initial password is used for the first-time starting device only.Please change password immediately to "
    L"avoid any unauthorized party's operation of the device.";
const wchar_t* const kPasswordTooLongText = L"This device keeps passwords of at most 15 bytes.";

void NoticeTimerCallback(int, void* user)
{
    if (auto* page = static_cast<CDevConfigEventImp*>(user))
        page->OnNoticeTimer();
}

} // namespace

void CDevConfigEventImp::BuildPasswordNotice()
{
    m_pNoticeTimer = std::make_shared<CSFTimer>();
    // A window of its own: it outlives any parent widget it could have here.
    m_pPasswordDlg = CModifyPasswordDlg::Create(std::weak_ptr<ISFDialogEvent>(), nullptr);

    m_pNoticeSink = new CMsgDlgEventImp(Tr(kInitialPasswordText), Tr(L"Attention"), 5, nullptr);
    m_pNoticeDlg = CreateSFDialog(m_pNoticeSink, GetUIWnd(), 0);
    if (!m_pNoticeDlg)
        return;
    m_pNoticeSink->SetDialog(m_pNoticeDlg);
    DialogStyle skin;
    BuildMsgDlgSkin(skin);
    m_pNoticeDlg->SetSkin(&skin);
    m_pNoticeDlg->SetDrawBackGround(1);
    m_pNoticeDlg->Create(L"", nullptr);
    m_noticeWidget = static_cast<QWidget*>(m_pNoticeDlg->GetUIWnd());
    m_pNoticeDlg->ShowWindow(0);
}

void CDevConfigEventImp::DestroyPasswordNotice()
{
    if (m_pNoticeTimer)
        m_pNoticeTimer->StopTimer();
    // The page widget may have taken the notice with it already.
    if (m_noticeWidget)
        DestroySFDialog(m_pNoticeDlg);
    m_pNoticeDlg = nullptr;
    delete m_pNoticeSink;
    m_pNoticeSink = nullptr;
}

bool CDevConfigEventImp::ShowInitPasswordNotice(bool evs)
{
    const std::wstring text = Tr(kInitialPasswordText);
    const std::wstring caption = Tr(L"Attention");
    if (ShowMessageBox(text.c_str(), caption.c_str(), GetUIWnd(), 1) != 2 && m_pPasswordDlg &&
        m_pPasswordDlg->GetDialog()) {
        m_pPasswordDlg->ResetForSingleDevice();
        CSFDialog* dialog = m_pPasswordDlg->GetDialog();
        dialog->CenterWindow(nullptr);
        while (dialog->DoModalDlg() != 2) {
            char newPassword[33] = {};
            char oldPassword[64] = {};
            m_pPasswordDlg->GetPasswords(newPassword, oldPassword);
            // The device's user entry holds 15 bytes: a longer password is asked for again.
            if (std::strlen(newPassword) > size_t(devconfig::kMaxDevicePassword)) {
                const std::wstring tooLong = Tr(kPasswordTooLongText);
                const std::wstring attention = Tr(L"Attention");
                ShowMessageBox(tooLong.c_str(), attention.c_str(), dialog->GetUIWnd(), 0);
                continue;
            }
            if (m_pRequests) {
                m_pRequests->ModifyPwd(oldPassword, newPassword, evs);
                return true;
            }
            break;
        }
    }
    if (!m_pNoticeDlg)
        return false;
    m_pNoticeTimer->StopTimer();
    m_pNoticeTimer->StartTimer(kNoticeMs, NoticeTimerCallback, this);
    m_pNoticeDlg->CenterWindow(nullptr);
    m_pNoticeDlg->DoModalDlg();
    m_pNoticeTimer->StopTimer();
    return false;
}

void CDevConfigEventImp::OnNoticeTimer()
{
    if (m_pNoticeDlg)
        m_pNoticeDlg->MFCCancel();
    if (m_pNoticeTimer)
        m_pNoticeTimer->StopTimer();
}
