// The export worker; see the header.
#include "Template/CTemplateLoadLogic.h"

#include <json/json.h>

#include <QDebug>

#include <cstring>
#include <new>
#include <vector>

#include "Common/SFMessageLoopManager.h"
#include "Common/SFTask.h"
#include "Template/CTemplateLoadEventImp.h"
#include "Template/TemplateExportMapping.h"
#include "devsdk/CfgSdk.h"
#include "devsdk/DevSdk.h"

using namespace VeyraBase;

namespace {

const char kSourceFile[] = "TemplateLoadLogic";
const char kCaller[] = "CTemplateLoadLogic::Task_StartConfig";

constexpr DWORD kConfigTextSize = 32768;
constexpr int kSystemWaitMs = 15000;
constexpr int kColorWaitMs = 6000;
constexpr int kOptionsWaitMs = 3000;
constexpr int kEncodeWaitMs = 3000;

// Reads one configuration text and parses it into record; nonzero on success.
int ReadNamedConfig(LONG loginId, const char* name, int channel, void* record, DWORD size, int waitMs,
                    const std::function<void()>& presetSizes)
{
    std::vector<char> text;
    try {
        text.assign(kConfigTextSize, 0);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    std::memset(record, 0, size);
    int error = 0;
    if (!SdkGetNewConfig(loginId, name, channel, text.data(), kConfigTextSize, &error, waitMs)) {
        qDebug("Get params...error,error code:%x", unsigned(SdkGetLastError()));
        return 0;
    }
    text[kConfigTextSize - 1] = '\0';
    if (presetSizes)
        presetSizes();
    int reserved = 0;
    return SdkCfgParse(name, text.data(), record, size, &reserved) ? 1 : 0;
}

} // namespace

CTemplateLoadLogic::CTemplateLoadLogic(std::weak_ptr<CTemplateLoadEventImp> page) : m_wpPage(std::move(page)) {}

void CTemplateLoadLogic::PostToPage(int line, const char* taskName, std::function<void(CTemplateLoadEventImp&)> call)
{
    // The page is found on loop 1 when the call runs, never held here: the last owner of the
    // page must be the GUI thread, which may close it at any time while this task runs.
    std::shared_ptr<CSFMessageLoop> loop = CSFMessageLoopManager::Instance()->GetMessageLoop(ML_MAIN);
    if (m_wpPage.expired() || !loop)
        return;
    std::weak_ptr<CTemplateLoadEventImp> page = m_wpPage;
    std::shared_ptr<CSFTask> task = CreateTask<CTemplateLoadEventImp>(
        [page, call] {
            if (std::shared_ptr<CTemplateLoadEventImp> target = page.lock())
                call(*target);
        },
        nullptr);
    SetTaskDebugInfo(task, ML_MAIN, kSourceFile, line, taskName, kCaller, 1);
    loop->PostTask(task);
}

int CTemplateLoadLogic::ReadVideoColor(LONG loginId, int channel, const std::shared_ptr<AV_CFG_ChannelVideoColor>& record)
{
    if (!record)
        return 0;
    AV_CFG_ChannelVideoColor* rec = record.get();
    return ReadNamedConfig(loginId, "VideoColor", channel, rec, sizeof *rec, kColorWaitMs, [rec] {
        rec->nStructSize = sizeof *rec;
        for (AV_CFG_VideoColor& period : rec->stuColor) {
            period.nStructSize = sizeof period;
            period.stuTimeSection.nStructSize = sizeof period.stuTimeSection;
        }
    });
}

int CTemplateLoadLogic::ReadVideoInOptions(LONG loginId, int channel, const std::shared_ptr<CFG_VIDEO_IN_OPTIONS>& record)
{
    if (!record)
        return 0;
    return ReadNamedConfig(loginId, "VideoInOptions", channel, record.get(), sizeof *record, kOptionsWaitMs, nullptr);
}

int CTemplateLoadLogic::ReadEncodeJson(LONG loginId, int channel, char* buffer)
{
    if (!buffer)
        return 0;
    std::memset(buffer, 0, tplexport::kEncodeReplySize);
    Json::Value request(Json::objectValue);
    request["method"] = "configManager.getConfig";
    request["params"]["name"] = "Encode";
    request["params"]["channel"] = channel;
    request["params"]["onlyLocal"] = true;
    std::string text = Json::StyledWriter().write(request);
    if (!SdkTransmitInfoForWeb(loginId, &text[0], DWORD(text.size()), buffer, tplexport::kEncodeReplySize, nullptr,
                               kEncodeWaitMs))
        return 0;
    buffer[tplexport::kEncodeReplySize - 1] = '\0';
    return 1;
}

void CTemplateLoadLogic::Task_StartConfig(std::string ip, std::string user, std::string password, std::string mac,
                                          int port, int p2p)
{
    if (port == 0)
        port = kSdkDefaultPort;
    const int wordPort = port & 0xFFFF;
    SDK_LOGIN_DEVICE_INFO deviceInfo;
    std::memset(&deviceInfo, 0, sizeof deviceInfo);
    int error = 0;
    const LONG loginId = p2p ? SdkLoginEx("127.0.0.1", wordPort, user.c_str(), password.c_str(),
                                          EM_LOGIN_SPEC_CAP_P2P, nullptr, &deviceInfo, &error)
                             : SdkLogin(ip.c_str(), wordPort, user.c_str(), password.c_str(), &deviceInfo, &error);
    int result = 0;
    auto fail = [this](const wchar_t* reason) {
        PostToPage(__LINE__, "&CTemplateLoadEventImp::SetExportFailure",
                   [reason](CTemplateLoadEventImp& page) { page.SetExportFailure(reason); });
    };
    if (loginId == 0)
        fail(error == 1 ? L"Incorrect password." : error == 2 ? L"Account doesn't exist." : L"Login failed.");
    PostToPage(__LINE__, "&CTemplateLoadEventImp::Task_Login_Ret",
               [ip, mac, loginId](CTemplateLoadEventImp& page) { page.Task_Login_Ret(ip, mac, loginId); });
    if (loginId != 0) {
        ZRDEV_SYSTEM_ATTR_CFG system;
        std::memset(&system, 0, sizeof system);
        int returned = 0;
        result = SdkGetDevConfig(loginId, SDK_DEV_DEVICECFG, 0, &system, sizeof system, &returned, kSystemWaitMs) > 0
                     ? 1
                     : 0;
        std::vector<char> reply(tplexport::kEncodeReplySize, 0);
        auto color = std::make_shared<AV_CFG_ChannelVideoColor>();
        auto options = std::make_shared<CFG_VIDEO_IN_OPTIONS>();
        std::memset(color.get(), 0, sizeof *color);
        std::memset(options.get(), 0, sizeof *options);
        auto progress = [this](int step) {
            PostToPage(__LINE__, "&CTemplateLoadEventImp::UpgradeProgress",
                       [step](CTemplateLoadEventImp& page) { page.UpgradeProgress(step); });
        };
        do {
            if (result > 0)
                result = ReadVideoColor(loginId, 0, color);
            if (GetCancel())
                break;
            progress(1);
            if (result > 0)
                result = ReadVideoInOptions(loginId, 0, options);
            if (GetCancel())
                break;
            progress(2);
            if (result > 0)
                result = ReadEncodeJson(loginId, 0, reply.data());
            if (GetCancel())
                break;
            if (result > 0) {
                auto info = std::make_shared<tagTEMPLATEINFO>();
                std::memset(info.get(), 0, sizeof *info);
                result = tplexport::FillEncodeFromReply(reply.data(), reply.size(), info->Encode);
                if (result > 0) {
                    tplexport::FillImageSections(system, *color, *options, *info);
                    // Nothing was read for it: the blank template's "Normal".
                    info->FileManage.FileManage = TEMPLATE_FILEMANAGE_NORMAL;
                    PostToPage(__LINE__, "&CTemplateLoadEventImp::SetExportedTemplate",
                               [info](CTemplateLoadEventImp& page) { page.SetExportedTemplate(info); });
                }
            }
            progress(3);
        } while (false);
        if (result == 0 && !GetCancel())
            fail(L"* Failed to get the device Information, Please check The NetWork or Device.");
        SdkLogout(loginId);
    }
    PostToPage(__LINE__, "&CTemplateLoadEventImp::Task_StartConfig_Ret",
               [ip, mac, result](CTemplateLoadEventImp& page) { page.Task_StartConfig_Ret(ip, mac, result); });
}
