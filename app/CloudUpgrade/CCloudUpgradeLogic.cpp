// Worker of the cloud upgrade: creation, posting, the account text and token, update checks.
#include "CloudUpgrade/CCloudUpgradeLogic.h"

#include <QtGlobal>

#include <cstring>
#include <set>

#include "CloudUpgrade/CCloudUpgradeUILogic.h"
#include "Common/Md5Hash.h"
#include "Common/StrHelpers.h"
#include "Main/ShellPost.h"
#include "devsdk/DevSdk.h"

namespace {

// Workers alive: the SDK's callbacks carry a raw worker pointer and check it here first.
std::mutex g_liveMu;
std::set<const CCloudUpgradeLogic*> g_live;

template <size_t N> void Put(char (&field)[N], const std::string& text) { SafeStrCopy(field, N, text.c_str()); }
template <size_t N> std::string Text(const char (&field)[N]) { return std::string(field, strnlen(field, N)); }

} // namespace

void Md5UpperHex(const void* data, int length, char* out)
{
    std::memset(out, 0, 33);
    CMd5Hash md5;
    md5.Update(data, length > 0 ? size_t(length) : 0);
    md5.GetHexDigest(out);
    for (int i = 0; i < 32; ++i)
        if (out[i] >= 'a' && out[i] <= 'z')
            out[i] = char(out[i] - 'a' + 'A');
}

void FillCloudAccount(NET_IN_CLOUD_UPGRADER_CHECK& request, const std::string& serialNo, const std::string& url)
{
    Put(request.szAccount, "QXMTLOPAW-K7" + serialNo);
    char d1[33], d2[33];
    Md5UpperHex(serialNo.data(), int(serialNo.size()), d1);
    const std::string salted = std::string("WQMEFRIN@") + d1 + "+TOLKEBSNY";
    Md5UpperHex(salted.data(), int(salted.size()), d2);
    Put(request.szToken, d2);
    Put(request.szUrl, url);
}

CCloudUpgradeLogic::CCloudUpgradeLogic(const std::shared_ptr<CCloudUpgradeUILogic>& uiLogic) : m_pUILogic(uiLogic)
{
    std::lock_guard<std::mutex> lk(g_liveMu);
    g_live.insert(this);
}

CCloudUpgradeLogic::~CCloudUpgradeLogic()
{
    std::lock_guard<std::mutex> lk(g_liveMu);
    g_live.erase(this);
}

void CCloudUpgradeLogic::SetCloudUrl(const std::string& url)
{
    std::lock_guard<std::mutex> lk(m_mu);
    m_strCloudUrl = url;
}

std::string CCloudUpgradeLogic::CloudUrl() const
{
    std::lock_guard<std::mutex> lk(m_mu);
    return m_strCloudUrl;
}

bool CCloudUpgradeLogic::PostToUI(const char* method, const char* caller,
                                  std::function<void(CCloudUpgradeUILogic&)> call)
{
    std::shared_ptr<CCloudUpgradeUILogic> ui = m_pUILogic.lock();
    if (!ui)
        return false;
    return ShellPostTask<CCloudUpgradeUILogic>(
        VeyraBase::ML_MAIN, ui, [ui, call] { call(*ui); }, __FILE__, __LINE__, method, caller);
}

// ---- Update checks --------------------------------------------------------------------------

void CCloudUpgradeLogic::Task_CloudUpgradeCheck(std::string ip, int port, std::string user, std::string password,
                                                std::string mac, NET_IN_CLOUD_UPGRADER_CHECK& request,
                                                std::string serialNo, BYTE)
{
    auto req = std::make_shared<NET_IN_CLOUD_UPGRADER_CHECK>();
    auto ans = std::make_shared<NET_OUT_CLOUD_UPGRADER_CHECK>();
    std::memset(req.get(), 0, sizeof *req);
    std::memset(ans.get(), 0, sizeof *ans);
    req->dwSize = sizeof *req;
    ans->dwSize = sizeof *ans;
    if (port == 0)
        port = 37777;
    int loginError = 0;
    auto post = [&](int checkResult, long login, int result) {
        PostToUI("&CCloudUpgradeUILogic::Task_CloudUpgradeCheck_Ret", "CCloudUpgradeLogic::Task_CloudUpgradeCheck",
                 [req, ans, checkResult, ip, mac, login, result](CCloudUpgradeUILogic& ui) {
                     ui.Task_CloudUpgradeCheck_Ret(req, ans, checkResult, ip, mac, login, result);
                 });
    };
    {
        std::shared_ptr<CCloudUpgradeUILogic> ui = m_pUILogic.lock();
        if (!ui)
            return;
        if (ui->StopCheckFlag()) {
            post(0, 0, CLOUD_CHECK_STOPPED);
            return;
        }
    }
    const std::string url = CloudUrl();
    auto failure = [] { return SdkGetLastError() == SDK_NETWORK_ERROR ? CLOUD_CHECK_TIMEOUT : CLOUD_CHECK_FAILED; };
    if (request.szSN[0] == '\0') {
        const LONG login = SdkLogin(ip.c_str(), port, user.c_str(), password.c_str(), nullptr, &loginError);
        if (login == 0) {
            post(0, 0, loginError);
            return;
        }
        NET_IN_UPGRADE_DEV_INFO inInfo{sizeof(NET_IN_UPGRADE_DEV_INFO)};
        auto info = std::make_unique<NET_OUT_UPGRADE_DEV_INFO>();
        std::memset(info.get(), 0, sizeof *info);
        info->dwSize = sizeof *info;
        if (SdkGetUpgradeDevInfo(login, &inInfo, info.get(), 5000)) {
            req->nVendor = info->nVendor;
            req->nStandard = info->nStandard;
            req->stuBuildTime = info->stuBuildTime;
            Put(req->szSN, Text(info->szSN));
            Put(req->szLanguage, Text(info->szLanguage));
            Put(req->szSerialNo, Text(info->szSerialNo));
            Put(req->szSoftwareVersion, Text(info->szSoftwareVersion));
            Put(req->szTag1, Text(info->szTag1));
            Put(req->szTag2, Text(info->szTag2));
        }
        FillCloudAccount(*req, serialNo, url);
        SdkLogout(login);
        const BOOL ok = SdkCloudUpgraderCheck(req.get(), ans.get(), 15000);
        post(ok ? 1 : 0, login, ok ? loginError : failure());
        return;
    }
    request.dwSize = sizeof request;
    FillCloudAccount(request, serialNo, url);
    const BOOL ok = SdkCloudUpgraderCheck(&request, ans.get(), 15000);
    const int result = ok ? 0 : failure();
    req->nVendor = request.nVendor;
    req->nStandard = request.nStandard;
    req->stuBuildTime = request.stuBuildTime;
    std::memcpy(req->szUrl, request.szUrl, sizeof req->szUrl);
    std::memcpy(req->szSN, request.szSN, sizeof req->szSN);
    std::memcpy(req->szLanguage, request.szLanguage, sizeof req->szLanguage);
    std::memcpy(req->szSerialNo, request.szSerialNo, sizeof req->szSerialNo);
    std::memcpy(req->szSoftwareVersion, request.szSoftwareVersion, sizeof req->szSoftwareVersion);
    std::memcpy(req->szTag1, request.szTag1, sizeof req->szTag1);
    std::memcpy(req->szTag2, request.szTag2, sizeof req->szTag2);
    std::memcpy(req->szAccount, request.szAccount, sizeof req->szAccount);
    std::memcpy(req->szToken, request.szToken, sizeof req->szToken);
    post(ok ? 1 : 0, 0, result);
}

void CCloudUpgradeLogic::Task_RemoteUpgraderCheck(strudevice device, std::string key, int row)
{
    NET_IN_CLOUD_UPGRADER_CHECK req;
    std::memset(&req, 0, sizeof req);
    req.dwSize = sizeof req;
    req.stuBuildTime.dwYear = 2000;
    req.stuBuildTime.dwMonth = 1;
    req.stuBuildTime.dwDay = 1;
    req.stuBuildTime.dwHour = 1;
    req.stuBuildTime.dwMinute = 1;
    req.stuBuildTime.dwSecond = 1;
    SafeStrCopy(req.szClass, sizeof req.szClass, device.szType, 63);
    SafeStrCopy(req.szSN, sizeof req.szSN, device.szDetailType, 63);
    SafeStrCopy(req.szLanguage, sizeof req.szLanguage, device.szLanguage, 63);
    SafeStrCopy(req.szSerialNo, sizeof req.szSerialNo, device.szSerialNo, 63);
    SafeStrCopy(req.szSoftwareVersion, sizeof req.szSoftwareVersion, device.szVersion, 63);
    const std::string serialNo = Text(device.szSerialNo);
    FillCloudAccount(req, serialNo, CloudUrl());
    auto ans = std::make_shared<NET_OUT_CLOUD_UPGRADER_CHECK>();
    std::memset(ans.get(), 0, sizeof *ans);
    ans->dwSize = sizeof *ans;
    const int ok = SdkCloudUpgraderCheck(&req, ans.get(), 5000) ? 1 : 0;
    PostToUI("&CCloudUpgradeUILogic::Task_RemoteUpgraderCheck_Ret", "CCloudUpgradeLogic::Task_RemoteUpgraderCheck",
             [ans, ok, serialNo, key, row](CCloudUpgradeUILogic& ui) {
                 ui.Task_RemoteUpgraderCheck_Ret(ans, ok, serialNo, key, row);
             });
}

// ---- Callbacks from SDK threads --------------------------------------------------------------

void CCloudUpgradeLogic::CloudUpgraderDownCallBackFunc(LONG handle, int state, WORD, WORD, DWORD percent, void* user)
{
    auto* record = static_cast<DOWNLOADUSER*>(user);
    if (!record)
        return;
    std::lock_guard<std::mutex> lk(g_liveMu);
    CCloudUpgradeLogic* logic = record->pLogic;
    if (!g_live.count(logic))
        return;
    const int index = record->nIndex;
    const unsigned generation = record->nGeneration;
    logic->PostToUI("&CCloudUpgradeUILogic::Task_DownLoadCallBack_Ret",
                    "CCloudUpgradeLogic::CloudUpgraderDownCallBackFunc",
                    [handle, state, percent, index, generation](CCloudUpgradeUILogic& ui) {
                        ui.Task_DownLoadCallBack_Ret(handle, state, percent, index, generation);
                    });
    // No callback follows these: the record can go.
    if (state == RemoteUpdateState_Success || state < RemoteUpdateState_Success ||
        state > RemoteUpdateState_NoDiskSpace)
        logic->ForgetDownloadUser(record);
}

void CCloudUpgradeLogic::BatchCloudUpgradeCallBackFunc(LONG login, LONG upgrade, int totalSize, int sendSize,
                                                       void* user)
{
    std::lock_guard<std::mutex> lk(g_liveMu);
    auto* logic = static_cast<CCloudUpgradeLogic*>(user);
    if (!g_live.count(logic))
        return;
    logic->PostToUI("&CCloudUpgradeUILogic::Task_UpgradeCallBack_Ret",
                    "CCloudUpgradeLogic::BatchCloudUpgradeCallBackFunc",
                    [login, upgrade, totalSize, sendSize](CCloudUpgradeUILogic& ui) {
                        ui.Task_UpgradeCallBack_Ret(login, upgrade, totalSize, sendSize);
                    });
}
