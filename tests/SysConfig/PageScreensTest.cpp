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
#include "SysConfig/CSysTabEventImp.h"
#include "Widgets/SFDialog.h"

namespace {

// Texts of visible labels and buttons that do not fit their control, as "text (needed > had)".
std::vector<std::string> CutTexts(QWidget* root)
{
    std::vector<std::string> out;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (w->isHidden() || !w->isVisibleTo(root))
            continue;
        QString text;
        bool wraps = false;
        if (auto* l = qobject_cast<QLabel*>(w)) {
            text = l->text();
            wraps = l->wordWrap();
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            text = b->text();
        }
        if (text.isEmpty() || wraps)
            continue;
        const int needed = w->fontMetrics().horizontalAdvance(text);
        const int right = w->mapTo(root, QPoint(std::min(needed, w->width()), 0)).x();
        if (needed > w->width() + 2 || right > root->width())
            out.push_back(text.toStdString() + " (" + std::to_string(needed) + " > " + std::to_string(w->width()) + ")");
    }
    return out;
}

void Shot(QWidget* w, const std::string& name)
{
    const QByteArray dir = qgetenv("VX_SYSCONFIG_SHOTS");
    if (dir.isEmpty())
        return;
    QDir().mkpath(QString::fromUtf8(dir));
    w->grab().save(QString::fromUtf8(dir) + "/" + QString::fromStdString(name) + ".png");
}

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
}
