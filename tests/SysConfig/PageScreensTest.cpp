// Each section of the page and each reset dialog at its size: no text wider than its control.
// With VX_SYSCONFIG_SHOTS set to a folder, the pictures are written there (run under Xvfb).
#include "Widgets/SFAppStyle.h"
#include "Widgets/SFGlobal.h"
#include "PageTestSupport.h"
#include "SysConfigTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "Common/AppSettings.h"
#include "Common/Translate.h"
#include "SysConfig/CFindPasswordDlg.h"
#include "SysConfig/CFindPasswordXmlDlg.h"
#include "SysConfig/CModifyPasswordDlg.h"
#include "SysConfig/CSysTabEventImp.h"
#include "Widgets/SFDialog.h"

namespace {

using pagetest::CutTexts;
using pagetest::Shot;

bool Inked(QRgb p) { return qAlpha(p) > 128 && (qRed(p) < 235 || qGreen(p) < 235 || qBlue(p) < 235); }

// A frame line crosses the middle of each edge of the picture.
bool FramedOnFourSides(const QImage& image)
{
    const int w = image.width(), h = image.height();
    return w > 4 && h > 4 && Inked(image.pixel(w / 2, 0)) && Inked(image.pixel(w / 2, h - 1)) &&
           Inked(image.pixel(0, h / 2)) && Inked(image.pixel(w - 1, h / 2));
}

QImage SkinImage(const char* name)
{
    return QImage(QCoreApplication::applicationDirPath() + "/Skin/" + name);
}

// The program's style sheet, as the program loads it; cleared again when the test ends.
struct ProgramStyle {
    ProgramStyle()
    {
        SFInstallProgramStyle(qApp);
        SFLoadStyleSheet((QCoreApplication::applicationDirPath() + "/Style.css").toStdWString());
    }
    ~ProgramStyle() { qApp->setStyleSheet(QString()); }
};

// Shows each section and dialog of a new page in the current language: no text is cut, the time
// fields are framed. Pictures are named with `prefix`.
void ShowPageAndDialogs(const std::string& prefix)
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
        Shot(page, prefix + "page-" + names[s]);
    }
    // Every time field of the Timing section shows its frame on all four sides.
    for (UINT which : {1070u, 1071u, 1u, 2u}) {
        SCOPED_TRACE(which);
        auto* field = dynamic_cast<QWidget*>(tab->TimeCtrl(which));
        ASSERT_NE(field, nullptr);
        EXPECT_TRUE(FramedOnFourSides(field->grab().toImage()));
    }
    // The DST rows in Week mode, with their week lists.
    tab->Tab(0)->SetCheck(1);
    tab->RADIO_OnClicked(1, 1065, POINT{0, 0});
    tab->Check(1136)->SetCheck(1);
    tab->RADIO_OnClicked(1, 1136, POINT{0, 0});
    systest::PumpUntil([] { return false; }, 50);
    EXPECT_EQ(CutTexts(page), std::vector<std::string>{});
    Shot(page, prefix + "page-timing-week");
    tab->Check(1135)->SetCheck(1);
    tab->RADIO_OnClicked(1, 1135, POINT{0, 0});

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
    Shot(qrWidget, prefix + "dialog-qr");
    qrWidget->hide();

    auto xml = rig.page->GetFindPasswordXmlDlg();
    auto* xmlWidget = dynamic_cast<QWidget*>(xml->GetDialog());
    xml->ShowExportStep(true, true);
    xmlWidget->show();
    systest::PumpUntil([] { return false; }, 50);
    EXPECT_EQ(CutTexts(xmlWidget), std::vector<std::string>{});
    Shot(xmlWidget, prefix + "dialog-file-export");
    xml->ShowImportStep();
    systest::PumpUntil([] { return false; }, 50);
    EXPECT_EQ(CutTexts(xmlWidget), std::vector<std::string>{});
    Shot(xmlWidget, prefix + "dialog-file-import");
    xmlWidget->hide();

    // The password dialog for a batch, then for one device.
    auto pwd = CModifyPasswordDlg::Create({});
    auto* pwdWidget = dynamic_cast<QWidget*>(pwd->GetDialog());
    ASSERT_NE(pwdWidget, nullptr);
    pwd->CountValue()->SetStaticText(L"2");
    pwdWidget->show();
    systest::PumpUntil([] { return false; }, 50);
    EXPECT_EQ(CutTexts(pwdWidget), std::vector<std::string>{});
    Shot(pwdWidget, prefix + "dialog-batch-password");
    pwd->ResetForSingleDevice();
    systest::PumpUntil([] { return false; }, 50);
    EXPECT_EQ(CutTexts(pwdWidget), std::vector<std::string>{});
    Shot(pwdWidget, prefix + "dialog-modify-password");
    pwdWidget->hide();
}

} // namespace

TEST(SysConfigScreens, SectionsAndDialogsShowTheirTextsWhole) { ShowPageAndDialogs(""); }

TEST(SysConfigScreens, SectionsAndDialogsShowTheirChineseTextsWhole)
{
    pagetest::EnsurePageEnvironment();
    const QString lang = QString::fromStdString(pagetest::AppDir()) + "/Lang";
    QDir().mkpath(lang);
    QFile::remove(lang + "/Lang_1.xml");
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationDirPath() + "/Lang/Lang_1.xml", lang + "/Lang_1.xml"));
    CAppSettings::Language = 1;
    TrResetForTest();
    ShowPageAndDialogs("zh-");
    CAppSettings::Language = 0;
    TrResetForTest();
}

// The skin pictures hold the pieces where the page's records look for them.
TEST(SysConfigScreens, SkinPiecesSitAtTheRectanglesTheirRecordsName)
{
    // The 150-pixel lists: each rectangle x, y, w, h includes its right and bottom edges, and holds
    // one whole face, frame lines on its first and last rows and white inside.
    const QImage combo = SkinImage("ComboBox.png");
    ASSERT_FALSE(combo.isNull()) << "the skin is painted at build time into bin/Skin";
    const QRect pieces[] = {{0, 2, 150, 22}, {0, 58, 150, 22}, {0, 86, 150, 23}, {0, 58, 150, 23}, {0, 30, 150, 22}};
    for (const QRect& r : pieces) {
        SCOPED_TRACE(std::to_string(r.y()) + "+" + std::to_string(r.height()));
        const int top = r.y(), bottom = r.y() + r.height(), mid = r.width() / 3;
        ASSERT_LE(r.x() + r.width(), combo.width() - 1);
        ASSERT_LE(bottom, combo.height() - 1);
        EXPECT_TRUE(Inked(combo.pixel(mid, top)));
        EXPECT_FALSE(Inked(combo.pixel(mid, top + 2)));
        EXPECT_FALSE(Inked(combo.pixel(mid, bottom - 2)));
        if (r.height() == 22 || r.y() == 86) { // the open-above piece may end on an empty row
            EXPECT_TRUE(Inked(combo.pixel(mid, bottom)));
        }
    }
    // The section tabs are drawn at their natural size into 120 x 30 cells.
    for (const char* name : {"tabAll_Check.png", "tabAll_unCheck.png"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(SkinImage(name).size(), QSize(120, 30));
    }
}
