// Each section of the page and each reset dialog at its size: no text wider than its control.
// With VX_SYSCONFIG_SHOTS set to a folder, the pictures are written there (run under Xvfb).
#include "PageTestSupport.h"
#include "SysConfigTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "SysConfig/CFindPasswordDlg.h"
#include "SysConfig/CFindPasswordXmlDlg.h"
#include "SysConfig/CModifyPasswordDlg.h"
#include "SysConfig/CSysTabEventImp.h"
#include "Widgets/SFDialog.h"

namespace {

using pagetest::CutTexts;
using pagetest::Shot;

} // namespace

// The program's style sheet, as the program loads it; cleared again when the test ends.
struct ProgramStyle {
    ProgramStyle()
    {
        QFile file(QCoreApplication::applicationDirPath() + "/Style.css");
        if (file.open(QIODevice::ReadOnly | QIODevice::Text))
            qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
    }
    ~ProgramStyle() { qApp->setStyleSheet(QString()); }
};

TEST(SysConfigScreens, SectionsAndDialogsShowTheirTextsWhole)
{
    pagetest::PageRig rig;
    ProgramStyle style;
    std::vector<devsim::DeviceState> states;
    const char* types[] = {"IPC", "IPC", "SD", "DVR", "NVR", "Gadget"};
    for (int i = 0; i < 6; ++i) {
        devsim::DeviceState s;
        s.type = types[i];
        s.ip = "192.168.1." + std::to_string(10 + i);
        states.push_back(s);
    }
    rig.SetDevices(states);
    rig.File();
    rig.page->ExpandDeviceTree();
    rig.Check("192.168.1.10");
    rig.Check("192.168.1.13");
    rig.page->GetTabPage()->SetSelectedCount(2);
    auto* page = dynamic_cast<QWidget*>(static_cast<QObject*>(rig.page->GetView()->GetUIWnd()));
    ASSERT_NE(page, nullptr);
    page->resize(1100, 680);
    page->show();
    auto tab = rig.page->GetTabPage();
    const char* names[] = {"timing", "reboot", "restore", "password-modify", "password-reset"};
    static const int ids[] = {1065, 1066, 1067, 1148, 1167};
    for (int s = 0; s < CSysTabEventImp::kSections; ++s) {
        SCOPED_TRACE(names[s]);
        tab->Tab(s)->SetCheck(1);
        tab->RADIO_OnClicked(1, ids[s], POINT{0, 0});
        systest::PumpUntil([] { return false; }, 50);
        EXPECT_EQ(CutTexts(page), std::vector<std::string>{});
        Shot(page, std::string("page-") + names[s]);
    }

    auto qr = rig.page->GetFindPasswordDlg();
    qr->PrepareForDevice(true, true);
    PWD_DESCRIPTION d;
    d.phone = "13800001111";
    d.text = "RST1:SN1:aa:bb:cc:dd:ee:ff:1:13800001111";
    auto* qrWidget = dynamic_cast<QWidget*>(qr->GetDialog());
    qrWidget->show();
    qr->OnGetDescriptionRet(d, 1, 0);
    systest::PumpUntil([] { return false; }, 50);
    EXPECT_EQ(CutTexts(qrWidget), std::vector<std::string>{});
    Shot(qrWidget, "dialog-qr");
    qrWidget->hide();

    auto xml = rig.page->GetFindPasswordXmlDlg();
    auto* xmlWidget = dynamic_cast<QWidget*>(xml->GetDialog());
    xml->ShowExportStep(true, true);
    xmlWidget->show();
    systest::PumpUntil([] { return false; }, 50);
    EXPECT_EQ(CutTexts(xmlWidget), std::vector<std::string>{});
    Shot(xmlWidget, "dialog-file-export");
    xml->ShowImportStep();
    systest::PumpUntil([] { return false; }, 50);
    EXPECT_EQ(CutTexts(xmlWidget), std::vector<std::string>{});
    Shot(xmlWidget, "dialog-file-import");
    xmlWidget->hide();

    // The password dialog for a batch, then for one device.
    auto pwd = CModifyPasswordDlg::Create({});
    auto* pwdWidget = dynamic_cast<QWidget*>(pwd->GetDialog());
    ASSERT_NE(pwdWidget, nullptr);
    pwd->CountValue()->SetStaticText(L"2");
    pwdWidget->show();
    systest::PumpUntil([] { return false; }, 50);
    EXPECT_EQ(CutTexts(pwdWidget), std::vector<std::string>{});
    Shot(pwdWidget, "dialog-batch-password");
    pwd->ResetForSingleDevice();
    systest::PumpUntil([] { return false; }, 50);
    EXPECT_EQ(CutTexts(pwdWidget), std::vector<std::string>{});
    Shot(pwdWidget, "dialog-modify-password");
    pwdWidget->hide();
}
