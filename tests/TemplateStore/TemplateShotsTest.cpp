// Pictures of the summary page and the file dialog, with the program's skin and style, into the
// folder named by VX_TEMPLATE_SHOTS (skipped without it). Run under a virtual X server.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>

#include <cstring>

#include "Template/CTempletOptionDlg.h"
#include "Template/CTemplateInfoEventImp.h"
#include "Template/CTemplateXml.h"
#include "TemplateFiles.h"
#include "TemplateTestOwner.h"
#include "Widgets/SFAppStyle.h"
#include "Widgets/SFGlobal.h"

namespace {

class Owner : public tpltest::OwnerView, public ITemplateEditShell, public ITemplateApplyPanel {
public:
    int OpenTemplateFile(const char*) override { return 1; }
    int SaveToFile(const char*) override { return 1; }
    int GetTemplateName(wchar_t* buffer, int capacity) override { return std::wmemset(buffer, 0, capacity), 0; }
    int SetEditMode(int) override { return 0; }
    bool LoadTemplate(const char*) override { return true; }
    void ShowTemplateInfo(const char*) override {}
    void SetTemplateMode(int) override {}
    void SetTemplatePath(const char*) override {}
};

} // namespace

TEST(TemplateStoreShots, SummaryAndDialog)
{
    const QString out = qEnvironmentVariable("VX_TEMPLATE_SHOTS");
    if (out.isEmpty())
        GTEST_SKIP() << "VX_TEMPLATE_SHOTS not set";
    QDir().mkpath(out);
    const QString bin = QCoreApplication::applicationDirPath();
    SFInstallProgramStyle(qApp);
    SFLoadStyleSheet((bin + "/Style.css").toStdWString());
    SFSetSkinPath((bin + "/Skin/").toStdWString().c_str());

    std::shared_ptr<CTemplateInfoEventImp> page;
    std::shared_ptr<CTempletOptionDlg> dialog;
    auto owner = std::make_shared<Owner>();
    static_cast<QWidget*>(owner->GetUIWnd())->resize(420, 520);

    tplfiles::Folder dir;
    tagTEMPLATEINFO info;
    std::memset(&info, 0, sizeof info);
    CTemplateXml(dir.Write("Entrance hall cameras.xml", tplfiles::Template("IPC")).c_str()).ReadTemplateInfo(info);
    page = CTemplateInfoEventImp::Create(owner);
    page->GetView()->MoveWindow(0, 0, 409, 509);
    page->SetTemplateInfo(info);
    static_cast<QWidget*>(owner->GetUIWnd())->show();
    QCoreApplication::processEvents();
    auto* view = static_cast<QWidget*>(page->GetUIWnd());
    EXPECT_TRUE(view->grab().save(out + "/template-summary.png"));
    // Every row: the scroll area's content.
    for (QWidget* child : view->findChildren<QWidget*>()) {
        if (child->height() == 900) {
            EXPECT_TRUE(child->grab().save(out + "/template-summary-rows.png"));
        }
    }

    dialog = CTempletOptionDlg::Create(owner, owner, CTempletOptionDlg::MODE_SAVE_AS);
    auto* wnd = static_cast<QWidget*>(dialog->GetUIWnd());
    wnd->show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(wnd->grab().save(out + "/template-file-dialog.png"));
    wnd->hide();
    // The dialog deletes its window; the owner's window then takes the page's view with it.
    dialog.reset();
    owner.reset();
}
