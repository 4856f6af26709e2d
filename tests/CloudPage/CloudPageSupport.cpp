// Shared set-up of the cloud upgrade page tests; see the header.
#include "CloudPageSupport.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

#include "Common/AppSettings.h"
#include "Main/CDeviceListUILogic.h"
#include "Widgets/CSFQTButton.h"
#include "Widgets/CSFQTListCtrl.h"
#include "Widgets/CSFQTProgressCtrl.h"

namespace cloudpage {

DEVICE_INFO Record(const std::string& ip, const char* type, int n)
{
    DEVICE_INFO d;
    std::memset(&d, 0, sizeof d);
    d.nRow = -1;
    d.stNetInfo.nIpVersion = 4;
    std::snprintf(d.stNetInfo.szIpAddr, sizeof d.stNetInfo.szIpAddr, "%s", ip.c_str());
    d.stNetInfo.nPort = 37777;
    std::snprintf(d.stNetInfo.szTypeName, sizeof d.stNetInfo.szTypeName, "%s", type);
    std::snprintf(d.stNetInfo.szDetailName, sizeof d.stNetInfo.szDetailName, "%s", type);
    std::snprintf(d.stNetInfo.szSerialNumber, sizeof d.stNetInfo.szSerialNumber, "SN%04d", n);
    std::snprintf(d.stNetInfo.szSoftVersion, sizeof d.stNetInfo.szSoftVersion, "2.800.0000000.%d.R", n);
    std::snprintf(d.stNetInfo.szMacAddr, sizeof d.stNetInfo.szMacAddr, "3C:EF:65:AA:00:%02X", n);
    std::strcpy(d.szUser, "admin");
    std::strcpy(d.szPassword, "admin123");
    return d;
}

std::shared_ptr<NET_OUT_CLOUD_UPGRADER_CHECK> Answer(bool hasNew, const char* version, const char* url)
{
    auto out = std::make_shared<NET_OUT_CLOUD_UPGRADER_CHECK>();
    std::memset(out.get(), 0, sizeof *out);
    out->dwSize = sizeof *out;
    out->bHasNewVersion = hasNew ? 1 : 0;
    std::snprintf(out->szNewVersion, sizeof out->szNewVersion, "%s", version);
    std::snprintf(out->szPackageUrl, sizeof out->szPackageUrl, "%s", url);
    return out;
}

DialogTexts::DialogTexts()
{
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        std::wstring all;
        for (QWidget* child : dialog->findChildren<QWidget*>()) {
            auto* label = dynamic_cast<CSFStatic*>(child);
            wchar_t buf[2048] = {};
            if (label && label->GetStaticText(buf, 2047) >= 0 && buf[0])
                all += std::wstring(buf) + L"|";
        }
        seen_.push_back(all);
        dialog->done(1);
    });
    timer_.start(10);
}

DialogTexts::~DialogTexts() { timer_.stop(); }

void CloudPage::SetUp()
{
    main = shelltest::MakeMainWindow();
    const QString skin = QString::fromStdWString(shelltest::AppDir()) + "/Skin";
    if (!QFileInfo::exists(skin))
        QFile::link(QCoreApplication::applicationDirPath() + "/Skin", skin);
    page = main->GetCloudUpgradePage();
    ASSERT_TRUE(page && page->GetListCtrl());
    // The start-up search ends (and tells the page it found nothing) before the test's rows come.
    ASSERT_TRUE(shelltest::WaitForStartupSearch(main));
    page->ClearDeviceList();
    list = page->GetListCtrl();
    CAppSettings::NoticeCloud = false;
    CAppSettings::DownloadPath = folder.path().toStdWString();
}

void CloudPage::AddFound(const std::vector<DEVICE_INFO>& records)
{
    for (const DEVICE_INFO& d : records) {
        page->AddDevice(&d);
        if (page->IsIPv4Device(&d.stNetInfo)) {
            page->ShowEmptyHint(false);
            page->AddDeviceRow(&d.stNetInfo, d.bIPConflict != 0);
        }
    }
}

void CloudPage::Result(const DEVICE_INFO& d, int checkResult, int code,
                       std::shared_ptr<NET_OUT_CLOUD_UPGRADER_CHECK> answer, bool lowerMac)
{
    auto request = std::make_shared<NET_IN_CLOUD_UPGRADER_CHECK>();
    std::memset(request.get(), 0, sizeof *request);
    if (!answer)
        answer = Answer(false, "", "");
    std::string mac = d.stNetInfo.szMacAddr;
    if (lowerMac)
        for (char& c : mac)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    page->OnCheckResult(request, answer, checkResult, d.stNetInfo.szIpAddr, mac, 0, code);
}

void CloudPage::TickAll()
{
    for (int row = 0; row < list->GetItemCount(); ++row)
        list->SetCheck(row, 1);
}

std::wstring CloudPage::Cell(int row, int col)
{
    wchar_t text[128] = {};
    list->GetItemText(row, col, text, 127);
    return text;
}

QWidget* CloudPage::Widget(int row, int id)
{
    auto* qt = dynamic_cast<CSFQTListCtrl*>(list);
    if (!qt)
        return nullptr;
    for (int kind : {CSFQTListCtrl::KindButton, CSFQTListCtrl::KindProgress}) {
        for (QWidget* w : qt->CellControls(row, kind)) {
            if (auto* b = qobject_cast<CSFQTButton*>(w); b && static_cast<int>(b->Id()) == id)
                return w;
            if (auto* p = qobject_cast<CSFQTProgressCtrl*>(w); p && static_cast<int>(p->Id()) == id)
                return w;
        }
    }
    return nullptr;
}

bool CloudPage::Shown(int row, int id)
{
    QWidget* w = Widget(row, id);
    return w && !w->isHidden();
}

bool CloudPage::Enabled(int row, int id)
{
    QWidget* w = Widget(row, id);
    return w && w->isEnabled();
}

std::wstring CloudPage::WidgetText(int row, int id)
{
    auto* b = qobject_cast<CSFQTButton*>(Widget(row, id));
    wchar_t text[64] = {};
    if (b)
        b->GetWindowTextW(text, 63);
    return text;
}

int CloudPage::BarValue(int row, int id)
{
    auto* p = qobject_cast<CSFQTProgressCtrl*>(Widget(row, id));
    return p ? p->GetPos() : -1;
}

std::wstring CloudPage::ButtonText(int id)
{
    wchar_t text[64] = {};
    if (CSFButton* b = page->GetButton(id))
        b->GetWindowTextW(text, 63);
    return text;
}

bool CloudPage::ButtonEnabled(int id)
{
    auto* w = dynamic_cast<QWidget*>(page->GetButton(id));
    return w && w->isEnabled();
}

} // namespace cloudpage
