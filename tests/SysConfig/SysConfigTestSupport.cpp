#include "SysConfigTestSupport.h"

#include <unistd.h>

#include <cstring>
#include <fstream>

#include <QDir>
#include <QElapsedTimer>

#include "Main/CDetialsResDlgEventImp.h"
#include "Widgets/SFStatic.h"
#include "devsdk/CfgSdk.h"
#include "devsdk/DevSdk.h"
#include "devsdk/DevSdkSim.h"
#include "devsdk/Wire.h"
#include "devsim/Fleet.h"

namespace systest {

void RecordingView::SetResultIcon(int treeItem, int code)
{
    icons.emplace_back(treeItem, code);
    if (auto l = logic.lock())
        maxInFlight = std::max(maxInFlight, l->GetInFlight());
}

void RecordingView::OnGetDescriptionRet(const PWD_DESCRIPTION& d, int result, DWORD error)
{
    descriptions.push_back(d);
    descriptionResults.push_back(result);
    descriptionErrors.push_back(error);
}

bool ExternalFleet::Start(size_t count, const std::function<void(size_t, devsim::DeviceState&)>& edit, int rebootMs)
{
    for (int attempt = 0; attempt < 6; ++attempt) {
        Stop();
        prefix_ = ProcessPrefix(attempt);
        devices_ = devsim::MakeMixedFleet(count, prefix_ + "2", 7);
        Json::Value list(Json::arrayValue);
        for (size_t i = 0; i < devices_.size(); ++i) {
            devsim::DeviceState& s = devices_[i];
            // Every device initialised with the same users; the test scripts the rest.
            s.initState = 2;
            s.users = {devsim::User{"admin", "admin123", 1, false, 0, 0},
                       devsim::User{"user", "user1234", 2, false, 0, 0}};
            if (edit)
                edit(i, s);
            list.append(devsim::DeviceModel::ToJson(s));
        }
        Json::Value v(Json::objectValue);
        v["probePort"] = 5050;
        v["rebootMs"] = rebootMs;
        v["devices"] = list;
        file_ = QDir::tempPath().toStdString() + "/sysconfig-fleet-" + std::to_string(getpid()) + ".json";
        std::ofstream(file_) << devsdk::wire::WriteCompact(v) << "\n";
        proc_ = std::make_unique<QProcess>();
        proc_->start(VX_DEVSIM_PROGRAM, {"--fleet", QString::fromStdString(file_)});
        if (!proc_->waitForStarted(10000))
            return false;
        QByteArray out;
        QElapsedTimer t;
        t.start();
        while (!out.contains("VX_DEVSIM_FLEET=") && t.elapsed() < 20000 && proc_->state() == QProcess::Running) {
            proc_->waitForReadyRead(200);
            out += proc_->readAllStandardOutput();
        }
        const QByteArray err = proc_->readAllStandardError();
        if (!out.contains("VX_DEVSIM_FLEET=") || err.contains("offline"))
            continue; // addresses taken: another block
        devsdk::SimOptions o;
        o.embedded = false;
        o.fleets = {prefix_ + "2+" + std::to_string(count)};
        o.localIp = prefix_ + "1";
        devsdk::SetSimOptions(o);
        sdk_ = SdkInit(nullptr, nullptr) != 0;
        return sdk_;
    }
    return false;
}

void ExternalFleet::Stop()
{
    if (sdk_) {
        SdkCleanup();
        devsdk::ResetSimOptions();
        sdk_ = false;
    }
    if (proc_) {
        proc_->terminate();
        if (!proc_->waitForFinished(5000))
            proc_->kill();
        proc_->waitForFinished(5000);
        proc_.reset();
    }
    if (!file_.empty())
        std::remove(file_.c_str());
}

void AddFleet(CConfigUILogic& logic, const ExternalFleet& fleet, const char* password)
{
    logic.ClearDevices();
    for (size_t i = 0; i < fleet.Size(); ++i) {
        const devsim::DeviceState& s = fleet.Device(i);
        logic.AddDevice(0, s.ip.c_str(), "admin", password, s.mac.c_str(), 0, s.type, int(i) + 100, s.serial);
    }
}

bool RunAndWait(CConfigUILogic& logic, RecordingView& view, int paramValid, int type, int limitMs)
{
    const int before = view.finished;
    logic.StartConfig(paramValid, type);
    return PumpUntil([&] { return view.finished > before && !logic.IsConfiguring(); }, limitMs);
}

void Discover(const ExternalFleet& fleet)
{
    auto list = std::make_unique<SDK_SEARCH_IP_LIST>();
    std::memset(list.get(), 0, sizeof *list);
    list->dwSize = sizeof *list;
    for (size_t i = 0; i < fleet.Size(); ++i)
        std::strcpy(list->szIP[list->nIpNum++], fleet.Device(i).ip.c_str());
    SdkSearchDevicesByIPs(list.get(), nullptr, nullptr, nullptr, 3000);
}

LONG Login(const std::string& ip, const char* password, int* error)
{
    SDK_LOGIN_DEVICE_INFO info{};
    int e = 0;
    LONG h = SdkLogin(ip.c_str(), 37777, "admin", password, &info, &e);
    if (error)
        *error = e;
    return h;
}

bool ReadTime(const std::string& ip, SYNC_TIME_PARAM& t)
{
    LONG h = Login(ip);
    if (!h)
        return false;
    int returned = 0;
    const bool ok = SdkGetDevConfig(h, SDK_DEV_TIMECFG, -1, &t, sizeof t, &returned, 5000) != 0;
    SdkLogout(h);
    return ok;
}

namespace {

bool ReadNamed(const std::string& ip, const char* name, void* rec, DWORD size)
{
    LONG h = Login(ip);
    if (!h)
        return false;
    std::vector<char> text(32768, 0);
    int e = 0;
    const bool ok = SdkGetNewConfig(h, name, -1, text.data(), DWORD(text.size()), &e, 5000) &&
                    SdkCfgParse(name, text.data(), rec, size);
    SdkLogout(h);
    return ok;
}

} // namespace

bool ReadLocales(const std::string& ip, DST_PARAM& rec)
{
    rec = DST_PARAM{};
    rec.dwSize = sizeof rec;
    return ReadNamed(ip, "Locales", &rec, sizeof rec);
}

bool ReadNtp(const std::string& ip, NTP_PARAM& rec)
{
    rec = NTP_PARAM{};
    return ReadNamed(ip, "NTP", &rec, sizeof rec);
}

bool ReadMaintain(const std::string& ip, AUTO_MAINTAIN_PARAM& rec)
{
    rec = AUTO_MAINTAIN_PARAM{};
    rec.dwSize = sizeof rec;
    return ReadNamed(ip, "AutoMaintain", &rec, sizeof rec);
}

std::wstring ResultWords(int type, int code)
{
    static std::shared_ptr<CDetialsResDlgEventImp> dlg = CDetialsResDlgEventImp::Create({});
    dlg->SetConfigResult("device", type, code);
    wchar_t buf[256] = {};
    dlg->GetResultValue()->GetStaticText(buf, 255);
    return buf;
}

} // namespace systest
