#include "DevInit/CDevInitUILogic.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "Common/AppSettings.h"
#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "DevInit/CInitDevCloudEventImp.h"
#include "DevInit/CInitDevEventImp.h"
#include "DevInit/CInitDevResultEventImp.h"
#include "DevInit/CSearchDevUninitEventImp.h"
#include "IPConfig/CModifyIPLogic.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/ShellPost.h"
#include "Widgets/SFDialog.h"
#include "devsdk/DevSdk.h"
#include "os/LogLibrary.h"

namespace {

constexpr DWORD kAccountWaitMs = 7000;
constexpr DWORD kOptionsWaitMs = 10000;

std::string Field(const char* text, size_t size) { return std::string(text, strnlen(text, size)); }

void CopyField(char* dest, size_t destSize, const char* src, size_t srcSize, size_t maxChars)
{
    const size_t n = std::min(std::min(strnlen(src, srcSize), maxChars), destSize - 1);
    std::memcpy(dest, src, n);
    dest[n] = 0;
}

constexpr unsigned kNone = 0xFFFFFFFFu;

bool SameMac(const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return std::tolower(x) == std::tolower(y); });
}

unsigned FindDevice(const std::vector<std::shared_ptr<DEVICE_INFO>>* devices, const std::string& ip,
                    const std::string& mac)
{
    for (size_t i = 0; devices && i < devices->size(); ++i) {
        const DEVICE_NET_INFO_EX& info = (*devices)[i]->stNetInfo;
        if (Field(info.szIpAddr, sizeof info.szIpAddr) == ip && SameMac(Field(info.szMacAddr, sizeof info.szMacAddr), mac))
            return static_cast<unsigned>(i);
    }
    return kNone;
}

} // namespace

CDevInitUILogic::CDevInitUILogic(std::weak_ptr<CDeviceListUILogic> list) : m_wpDeviceList(std::move(list)) {}

std::shared_ptr<CDevInitUILogic> CDevInitUILogic::Create(std::shared_ptr<CDeviceListUILogic> list)
{
    auto logic = std::make_shared<CDevInitUILogic>(list);
    logic->Init();
    return logic;
}

int CDevInitUILogic::Init()
{
    std::shared_ptr<CDevInitUILogic> self = shared_from_this();
    m_pUninitPage = CSearchDevUninitEventImp::Create(self);
    m_pPasswordPage = CInitDevEventImp::Create(self);
    m_pResultPage = CInitDevResultEventImp::Create(self);
    m_pCloudPage = CInitDevCloudEventImp::Create(self);
    return 1;
}

void CDevInitUILogic::ResetDevInit()
{
    m_bAccepting = true;
    m_pUninitPage->ClearDevices();
    m_pPasswordPage->ResetInputs();
    m_pResultPage->Reset();
}

void CDevInitUILogic::AddUninitDevice(const DEVICE_NET_INFO_EX* info)
{
    if (m_bAccepting && info)
        m_pUninitPage->AddDevice(info);
}

int CDevInitUILogic::ShowDevInitWizard()
{
    auto run = [](CSFDialog* dialog) {
        if (!dialog)
            return 2;
        dialog->CenterWindow(nullptr);
        return dialog->DoModalDlg();
    };
    if (run(m_pUninitPage->GetDialog()) == 2)
        return 2;
    if (run(m_pPasswordPage->GetDialog()) == 2)
        return 2;
    m_pCloudPage->CheckAllOptions();
    if (run(m_pCloudPage->GetDialog()) == 2)
        return 2;
    return run(m_pResultPage->GetDialog());
}

void* CDevInitUILogic::GetParentWnd()
{
    std::shared_ptr<CDeviceListUILogic> list = m_wpDeviceList.lock();
    std::shared_ptr<CMainFrameEventImp> frame = list ? list->GetMainFrame() : nullptr;
    return frame ? frame->GetUIWnd() : nullptr;
}

std::vector<std::shared_ptr<DEVICE_INFO>>* CDevInitUILogic::GetDeviceList()
{
    std::shared_ptr<CDeviceListUILogic> list = m_wpDeviceList.lock();
    return list ? &list->GetDeviceList() : nullptr;
}

void CDevInitUILogic::PreparePasswordPage(int count, unsigned firstIndex)
{
    m_pPasswordPage->SetDeviceCount(count);
    std::vector<std::shared_ptr<DEVICE_INFO>>* devices = GetDeviceList();
    if (!devices || firstIndex >= devices->size())
        return;
    const DEVICE_NET_INFO_EX& info = (*devices)[firstIndex]->stNetInfo;
    m_pPasswordPage->SetResetMode(info.byPwdResetWay, info.bySpecialAbility & 2);
}

void CDevInitUILogic::StartDevInit()
{
    std::vector<std::shared_ptr<DEVICE_INFO>>* devices = GetDeviceList();
    NET_IN_INIT_DEVICE_ACCOUNT& account = m_pPasswordPage->GetAccountRecord();
    DevInitOptions options;
    m_pCloudPage->GetOptions(options.nCloudAccess, options.nAutoCheck);
    m_pPasswordPage->GetVideoStandard(options.bPNOffered, options.nVideoStandard);

    // The list may have been rebuilt in a new order since "Initialize": each selected device is
    // looked up again by its MAC and address; one that has left the list is not initialised.
    std::vector<unsigned> valid;
    for (const auto& key : m_pUninitPage->GetSelectedDevices()) {
        const unsigned index = FindDevice(devices, key.first, key.second);
        if (index != kNone)
            valid.push_back(index);
    }
    m_pResultPage->SetTotal(static_cast<int>(valid.size()));
    if (valid.empty())
        return;
    const BYTE firstWay = (*devices)[valid.front()]->stNetInfo.byPwdResetWay;
    std::shared_ptr<CDevInitUILogic> self = shared_from_this();
    for (size_t row = 0; row < valid.size(); ++row) {
        const unsigned index = valid[row];
        const DEVICE_NET_INFO_EX& info = (*devices)[index]->stNetInfo;
        m_pResultPage->AddDevice(info);
        account.byPwdResetWay = info.byPwdResetWay;
        CopyField(account.szMac, sizeof account.szMac, info.szMacAddr, sizeof info.szMacAddr, sizeof account.szMac - 1);
        if (info.byPwdResetWay != firstWay) {
            m_pResultPage->Task_DevInit_Ret(static_cast<int>(row), 0, 0, 103);
            continue;
        }
        const NET_IN_INIT_DEVICE_ACCOUNT copy = account;
        const int r = static_cast<int>(row);
        const std::string mac = Field(info.szMacAddr, sizeof info.szMacAddr);
        const std::string ip = Field(info.szIpAddr, sizeof info.szIpAddr);
        ShellPostTask<CDevInitUILogic>(
            VeyraBase::ML_SDK, self,
            [self, copy, index, r, options, mac, ip] {
                NET_IN_INIT_DEVICE_ACCOUNT job = copy;
                self->Task_DevInit(job, static_cast<int>(index), r, options, mac, ip);
            },
            __FILE__, __LINE__, "&CDevInitUILogic::Task_DevInit", "CDevInitUILogic::StartDevInit");
    }
}

void CDevInitUILogic::Task_DevInit(NET_IN_INIT_DEVICE_ACCOUNT& account, int index, int row, DevInitOptions options,
                                   std::string mac, std::string ip)
{
    account.dwSize = sizeof account;
    NET_OUT_INIT_DEVICE_ACCOUNT out{};
    out.dwSize = sizeof out;
    char local[20] = {};
    {
        SF_SOFT_BASE::CSFStreamConvert convert(CAppSettings::LocalIp.c_str(), 0);
        SafeStrCopy(local, sizeof local, convert.GetMultiByte());
    }
    const int accountResult = SdkInitDevAccount(&account, &out, kAccountWaitMs, local[0] ? local : nullptr);
    int optionsResult = 0;
    unsigned code = 0;
    if (accountResult == 0) {
        code = FailureCode(SdkGetLastError());
    } else {
        DEVINIT_ACCOUNT_INFO info;
        std::memset(&info, 0, sizeof info);
        info.dwSize = sizeof info;
        info.byCloudAccess = options.nCloudAccess ? 2 : 1;
        info.byAutoCheck = options.nAutoCheck ? 2 : 1;
        CopyField(info.szUserName, sizeof info.szUserName, account.szUserName, sizeof account.szUserName, 126);
        CopyField(info.szPwd, sizeof info.szPwd, account.szPwd, sizeof account.szPwd, 126);
        CopyField(info.szMac, sizeof info.szMac, account.szMac, sizeof account.szMac, 38);
        if (options.bPNOffered)
            info.nVideoStandard = options.nVideoStandard;
        if (LogDllHandle && SLogAEntry)
            SLogAEntry("CDevInitUILogic::Task_DevInit", __LINE__, 1, "bPN: %d   emVideoStandard:%d ",
                       options.bPNOffered, options.nVideoStandard);
        DEVINIT_ACCOUNT_OUT optionsOut{};
        optionsOut.dwSize = sizeof optionsOut;
        optionsResult = SdkInitDevOptions(&info, &optionsOut, kOptionsWaitMs, local);
        const unsigned last = optionsResult ? 0 : SdkGetLastError();
        std::shared_ptr<CDeviceListUILogic> list = m_wpDeviceList.lock();
        if (list)
            ShellPostTask<CDeviceListUILogic>(
                VeyraBase::ML_MAIN, list, [list, index, mac, ip] { list->Task_InitDevice_SuccessEx(index, mac, ip); },
                __FILE__, __LINE__, "&CDeviceListUILogic::Task_InitDevice_Success", "CDevInitUILogic::Task_DevInit");
        if (!optionsResult)
            code = FailureCode(last);
    }
    std::shared_ptr<CInitDevResultEventImp> page = m_pResultPage;
    ShellPostTask<CInitDevResultEventImp>(
        VeyraBase::ML_MAIN, page,
        [page, row, accountResult, optionsResult, code] { page->Task_DevInit_Ret(row, accountResult, optionsResult, code); },
        __FILE__, __LINE__, "&CInitDevResultEventImp::Task_DevInit_Ret", "CDevInitUILogic::Task_DevInit");
}

void CDevInitUILogic::ShowResultDetails(const char* device, const std::wstring& caption, const std::wstring& text)
{
    std::shared_ptr<CDeviceListUILogic> list = m_wpDeviceList.lock();
    std::shared_ptr<CMainFrameEventImp> frame = list ? list->GetMainFrame() : nullptr;
    if (frame)
        frame->ShowResultDetails(device, caption, text);
}
