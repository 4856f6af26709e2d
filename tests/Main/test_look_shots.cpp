// Screenshots of every window and dialog at its real size, with the style sheet, the skin and a
// full device list: written into the folder named by VX_LOOK_SHOTS (the look_screenshots test
// runs this under a virtual X server). Skipped when the variable is not set.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QPixmap>
#include <QTableWidget>

#include <cstring>
#include <functional>

#include "Widgets/SFAppStyle.h"
#include "Widgets/SFGlobal.h"
#include "ShellTestSupport.h"

#include "Main/CAboutDlgEventImp.h"
#include "Main/CDetialsDlgEventImp.h"
#include "Main/CDetialsResDlgEventImp.h"
#include "Main/CLoginDevEventImp.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/CUserConfigSettingEventImp.h"
#include "Widgets/SFDialog.h"
#include "devsdk/DevSdkRecords.h"

using namespace shelltest;

namespace {

DEVICE_NET_INFO_EX Device(int n, const char* type, const char* model, bool initialised, const char* version)
{
    DEVICE_NET_INFO_EX info;
    std::memset(&info, 0, sizeof info);
    info.nIpVersion = 4;
    std::snprintf(info.szIpAddr, sizeof info.szIpAddr, "192.168.1.%d", 100 + n);
    std::snprintf(info.szMacAddr, sizeof info.szMacAddr, "3c:ef:8c:00:10:%02x", n);
    std::snprintf(info.szTypeName, sizeof info.szTypeName, "%s", type);
    std::snprintf(info.szModelName, sizeof info.szModelName, "%s", model);
    std::snprintf(info.szSoftVersion, sizeof info.szSoftVersion, "%s", version);
    std::snprintf(info.szNetMask, sizeof info.szNetMask, "255.255.255.0");
    std::snprintf(info.szGatewayAddr, sizeof info.szGatewayAddr, "192.168.1.1");
    std::snprintf(info.szSerialNumber, sizeof info.szSerialNumber, "7K0A2B%04dPAZ", n);
    info.nPort = 37777;
    info.wWebPort = 80;
    info.byInitState = initialised ? 2 : 1;
    return info;
}

struct Shots {
    QString folder = qEnvironmentVariable("VX_LOOK_SHOTS");

    void Save(const QString& name, QWidget* w)
    {
        ASSERT_NE(w, nullptr) << name.toStdString();
        Pump(150);
        const QImage image = w->grab().toImage();
        EXPECT_TRUE(image.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"))) << name.toStdString();
    }

    // Opens a modal dialog with `open`, takes its picture once it is up and closes it with Escape.
    void SaveModal(const QString& name, const std::function<void()>& open)
    {
        bool taken = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || taken)
                return;
            taken = true;
            Save(name, modal);
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(modal, &escape);
            if (QApplication::activeModalWidget() == modal)
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->reject();
        });
        poll.start(50);
        open();
        EXPECT_TRUE(taken) << name.toStdString();
    }
};

} // namespace

TEST(LookShots, EveryWindowAndDialog)
{
    if (qEnvironmentVariableIsEmpty("VX_LOOK_SHOTS"))
        GTEST_SKIP() << "VX_LOOK_SHOTS names the folder for the screenshots";
    EnsureEnvironment();
    Shots shots;
    QDir().mkpath(shots.folder);
    const QString bin = QCoreApplication::applicationDirPath();
    const QString app = QString::fromStdWString(AppDir());
    for (const char* folder : {"/Skin", "/Lang"})
        QFile::link(bin + QLatin1String(folder), app + QLatin1String(folder));
    TrResetForTest();
    SFInstallProgramStyle(qApp);
    SFLoadStyleSheet((bin + QStringLiteral("/Style.css")).toStdWString());

    auto frame = MakeMainWindow();
    auto page = frame->GetSearchDevPage();
    page->ClearList();
    const DEVICE_NET_INFO_EX devices[] = {
        Device(1, "IPC", "IPC-VX2431-ZOOM-LONG-MODEL-NAME", true, "2.840.0000000.18.R, Build Date: 2024-03-12"),
        Device(2, "SD", "SD-VX9225", true, "2.622.0000000.5.R"),
        Device(3, "DVR", "DVR-VX108", false, "4.001.0000000.3.R"),
        Device(4, "NVR", "NVR-VX216", true, "4.001.0000001.2.R"),
        Device(5, "IPC", "IPC-VD5241", false, "2.800.0000000.9.R"),
        Device(6, "EVS", "EVS-VX016", true, "5.001.0000000.1.R"),
        Device(7, "HCVR", "HCVR-VX216", true, "3.218.0000000.2.R"),
        Device(8, "PTZ", "SD-VX6445", true, "2.812.0000000.4.R"),
    };
    for (const DEVICE_NET_INFO_EX& d : devices)
        page->AddDeviceRow(&d, false);
    auto* list = dynamic_cast<QTableWidget*>(page->GetListCtrl());
    if (list)
        list->selectRow(1);
    shots.Save(QStringLiteral("main-window"), static_cast<QWidget*>(frame->GetUIWnd()));

    shots.SaveModal(QStringLiteral("setting"), [&] { frame->Menu_OnAction(CMainFrameEventImp::ID_MENU_SETTING); });
    shots.SaveModal(QStringLiteral("search-setting"), [&] { frame->ShowSearchSettingDlg(); });
    shots.SaveModal(QStringLiteral("about"), [&] { frame->Menu_OnAction(CMainFrameEventImp::ID_MENU_ABOUT); });
    shots.SaveModal(QStringLiteral("details"), [&] {
        auto details = page->GetDetailsDlg();
        details->SetDeviceInfo(&devices[0], 0x20240312);
        details->GetDialog()->CenterWindow(nullptr);
        details->GetDialog()->DoModalDlg();
    });
    shots.SaveModal(QStringLiteral("manual-add"), [&] { frame->ShowManualAddDlg(); });
    shots.SaveModal(QStringLiteral("manual-add-serial"), [&] {
        auto* type = dynamic_cast<QComboBox*>(frame->GetLoginDevDlg()->GetAddTypeCombo());
        ASSERT_NE(type, nullptr);
        type->setCurrentIndex(1); // as the user picks it
        frame->ShowManualAddDlg();
        type->setCurrentIndex(0);
    });
    shots.SaveModal(QStringLiteral("result-details"), [&] {
        frame->ShowResultDetails("192.168.1.101", Tr(L"Config Result"), L"Network settings were saved on the device.");
    });
    shots.SaveModal(QStringLiteral("message"), [&] {
        ShowMessageBox(Tr(L"Please select one device to modify ip at least."), Tr(L"Attention"), frame->GetUIWnd(), 1);
    });
    page->ClearList();
}
