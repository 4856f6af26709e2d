#include "UpgradeSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>

#include <fstream>

#include "Common/AppSettings.h"
#include "Widgets/SFStatic.h"
#include "devsdk/DevSdkSim.h"
#include "devsdk/Wire.h"
#include "devsim/Fleet.h"

namespace upgradetest {

ExternalFleet::~ExternalFleet()
{
    if (proc_.state() != QProcess::NotRunning) {
        proc_.terminate();
        if (!proc_.waitForFinished(5000))
            proc_.kill();
        proc_.waitForFinished(2000);
    }
    if (!file_.empty())
        std::remove(file_.c_str());
}

bool ExternalFleet::Start(int block, std::vector<devsim::DeviceState> devices, int rebootMs)
{
    prefix_ = "127.65." + std::to_string(block) + ".";
    Json::Value fleet(Json::objectValue);
    fleet["probePort"] = 5050;
    fleet["rebootMs"] = rebootMs;
    Json::Value list(Json::arrayValue);
    for (size_t i = 0; i < devices.size(); ++i) {
        devices[i].ip = Ip(i);
        list.append(devsim::DeviceModel::ToJson(devices[i]));
    }
    fleet["devices"] = list;
    file_ = QDir::tempPath().toStdString() + "/upgrade-fleet-" + std::to_string(QCoreApplication::applicationPid()) +
            "-" + std::to_string(block) + ".json";
    std::ofstream(file_) << devsdk::wire::WriteCompact(fleet) << "\n";
    proc_.setProcessChannelMode(QProcess::SeparateChannels);
    proc_.start(QStringLiteral(VX_DEVSIM_BIN), {QStringLiteral("--fleet"), QString::fromStdString(file_)});
    if (!proc_.waitForStarted(5000))
        return false;
    // The program prints where the SDK finds the fleet once every device listens.
    QByteArray out;
    QElapsedTimer timer;
    timer.start();
    while (!out.contains("VX_DEVSIM_FLEET=") || !out.endsWith('\n')) {
        if (timer.elapsed() > 10000 || proc_.state() == QProcess::NotRunning)
            return false;
        proc_.waitForReadyRead(100);
        out += proc_.readAllStandardOutput();
    }
    const int at = out.indexOf("VX_DEVSIM_FLEET=") + 16;
    spec_ = out.mid(at, out.indexOf('\n', at) - at).trimmed().toStdString();
    return true;
}

devsim::DeviceState Device(const std::string& type, const std::string& model, int index)
{
    devsim::DeviceState s;
    s.type = type;
    s.model = s.detail = model;
    s.name = type + "-" + std::to_string(index + 1);
    char buf[64];
    std::snprintf(buf, sizeof buf, "3c:ef:65:00:%02x:%02x", (index >> 8) & 0xFF, index & 0xFF);
    s.mac = buf;
    std::snprintf(buf, sizeof buf, "VX65%06d", index + 1);
    s.serial = buf;
    s.version = "2.800.0000000.1.R";
    s.users.push_back(devsim::User{"admin", "admin123", 1, false, 0, 0});
    s.installMs = 200;
    return s;
}

std::string MakeFirmware(const std::string& name, fwmake::ImageOptions opt)
{
    static QTemporaryDir* dir = new QTemporaryDir();
    const std::string path = dir->path().toStdString() + "/" + name;
    std::string err;
    if (!fwmake::WriteImage(path, opt, &err))
        ADD_FAILURE() << err;
    return path;
}

DialogAnswerer::DialogAnswerer(int answer) : answer_(answer)
{
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(10);
}

DialogAnswerer::~DialogAnswerer() { timer_.stop(); }

void DialogAnswerer::QueueFile(const std::string& path)
{
    std::lock_guard<std::mutex> lk(mu_);
    files_.push_back(path);
}

std::vector<std::wstring> DialogAnswerer::Texts()
{
    std::lock_guard<std::mutex> lk(mu_);
    return texts_;
}

bool DialogAnswerer::Saw(const std::wstring& text)
{
    for (const std::wstring& t : Texts())
        if (t.find(text) != std::wstring::npos)
            return true;
    return false;
}

void DialogAnswerer::Poll()
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog)
        return;
    if (auto* chooser = qobject_cast<QFileDialog*>(dialog)) {
        std::string file;
        {
            std::lock_guard<std::mutex> lk(mu_);
            if (!files_.empty()) {
                file = files_.front();
                files_.erase(files_.begin());
            }
        }
        if (file.empty()) {
            chooser->reject();
            return;
        }
        // Typed into the name box, as a user would: the folder view may still be loading.
        if (auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(QString::fromStdString(file));
        else
            chooser->selectFile(QString::fromStdString(file));
        static_cast<QDialog*>(chooser)->accept();
        if (chooser->isVisible())
            chooser->reject();
        return;
    }
    // Every text of the dialog, the message first.
    std::wstring text;
    for (QWidget* child : dialog->findChildren<QWidget*>()) {
        auto* label = dynamic_cast<CSFStatic*>(child);
        if (!label)
            continue;
        wchar_t buf[2048] = {};
        label->GetStaticText(buf, 2047);
        if (buf[0])
            text += (text.empty() ? L"" : L"\n") + std::wstring(buf);
    }
    {
        std::lock_guard<std::mutex> lk(mu_);
        texts_.push_back(text);
    }
    dialog->done(answer_ == 1 ? 1 : 0);
}

std::shared_ptr<CMainFrameEventImp> MainWindowFor(const ExternalFleet& fleet)
{
    shelltest::EnsureEnvironment();
    devsdk::SimOptions sim;
    sim.embedded = false;
    sim.fleets = {fleet.Spec()};
    sim.localIp = fleet.Prefix() + "1";
    devsdk::SetSimOptions(sim);
    CAppSettings::SearchBoadcast = true;
    CAppSettings::LocalIp = QString::fromStdString(sim.localIp).toStdWString();
    std::shared_ptr<CMainFrameEventImp> main = shelltest::MakeMainWindow();
    // The search settings page sets its own default account when it is made; the devices found
    // take the account in force when they arrive.
    CAppSettings::User = L"admin";
    CAppSettings::Password = L"admin123";
    return main;
}

} // namespace upgradetest
