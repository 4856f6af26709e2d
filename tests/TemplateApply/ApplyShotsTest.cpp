// Pictures of the progress dialog while a run goes on and of the result dialog of a device whose
// Encode step failed, with the program's skin and style, into the folder named by
// VX_TEMPLATE_APPLY_SHOTS (skipped without it). Run under a virtual X server.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>

#include "ApplyTestSupport.h"
#include "TemplateFiles.h"
#include "Template/CTemplateUsingEventImp.h"
#include "Widgets/SFGlobal.h"

using namespace applytest;

namespace {

// A template page without a device list or editor around the panel.
class BarePage : public tpltest::OwnerView, public ITemplateUsingHost {
public:
    std::weak_ptr<ITemplateEditShell> GetEditShell() override { return {}; }
    int GetEditMode() override { return 0; }
    void AskSaveCurrent() override {}
    void SwitchMode(bool) override {}
    std::shared_ptr<CDeviceListUILogic> GetDeviceListUILogic() override { return nullptr; }
};

} // namespace

TEST(TemplateApplyShots, ProgressAndResult)
{
    const QString out = qEnvironmentVariable("VX_TEMPLATE_APPLY_SHOTS");
    if (out.isEmpty())
        GTEST_SKIP() << "VX_TEMPLATE_APPLY_SHOTS not set";
    QDir().mkpath(out);
    const QString bin = QCoreApplication::applicationDirPath();
    SFLoadStyleSheet((bin + "/Style.css").toStdWString());
    SFSetSkinPath((bin + "/Skin/").toStdWString().c_str());
    EnsureLoops();

    tplfiles::Folder dir;
    const std::string path = dir.Write("Entrance hall cameras.xml", tplfiles::Template("IPC", "\n", 2));
    auto panel = Panel::Make();
    for (int i = 0; i < 12; ++i)
        panel->control->AddDevice(0, ("127.0.9." + std::to_string(i + 2)).c_str(), "admin", "x", "aa", i, 0);
    static_cast<QWidget*>(panel->GetUIWnd())->show();

    CTemplateApplyDlg& apply = *panel->applyDlg;
    apply.SetDeviceCount(12);
    apply.SetTemplateName(path);
    apply.ResetState();
    apply.GetDialog()->ShowWindow(1);
    QCoreApplication::processEvents();
    auto* applyWnd = static_cast<QWidget*>(apply.GetUIWnd());
    EXPECT_TRUE(applyWnd->grab().save(out + "/apply-confirm.png"));
    // The running state, drawn without starting the control.
    panel->control.reset();
    apply.OnBtnOK();
    apply.SetProgress(5);
    QCoreApplication::processEvents();
    EXPECT_TRUE(applyWnd->grab().save(out + "/apply-running.png"));
    apply.GetDialog()->ShowWindow(0);

    CTemplateApplyResultDlg& result = *panel->resultDlg;
    result.SetTemplateFile(path);
    TEMPLATE_RESULT_SET flags{};
    flags.Set(TEMPLATE_RESULT_ENCODE);
    flags.Set(TEMPLATE_RESULT_DAYNIGHT);
    int mode = 3;
    result.ShowDeviceResult(&mode, &flags);
    result.GetDialog()->ShowWindow(1);
    QCoreApplication::processEvents();
    auto* resultWnd = static_cast<QWidget*>(result.GetUIWnd());
    EXPECT_TRUE(resultWnd->grab().save(out + "/apply-result.png"));
    // The whole scrolling content: both sections.
    for (QWidget* w : resultWnd->findChildren<QWidget*>())
        if (w->height() >= 1200 && w->width() >= 480)
            EXPECT_TRUE(w->grab().save(out + "/apply-result-rows.png"));
    result.GetDialog()->ShowWindow(0);
}

TEST(TemplateApplyShots, Panel)
{
    const QString out = qEnvironmentVariable("VX_TEMPLATE_APPLY_SHOTS");
    if (out.isEmpty())
        GTEST_SKIP() << "VX_TEMPLATE_APPLY_SHOTS not set";
    QDir().mkpath(out);
    const QString bin = QCoreApplication::applicationDirPath();
    SFLoadStyleSheet((bin + "/Style.css").toStdWString());
    SFSetSkinPath((bin + "/Skin/").toStdWString().c_str());
    EnsureLoops();

    tplfiles::Folder dir;
    const std::string path = dir.Write("Entrance hall cameras.xml", tplfiles::Template("IPC", "\n", 2));
    auto page = std::make_shared<BarePage>();
    auto* pageWnd = static_cast<QWidget*>(page->GetUIWnd());
    pageWnd->resize(900, 560);
    auto panel = CTemplateUsingEventImp::Create(page);
    ASSERT_TRUE(panel->LoadTemplate(path.c_str()));
    panel->ShowTemplateInfo(path.c_str());
    panel->SetTemplateMode(3);
    panel->SetTemplatePath(path.c_str());
    panel->AddDeviceToTree(L"DVR", "192.0.2.40", 3);
    panel->AddDeviceToTree(L"IPC", "192.0.2.10", 0);
    panel->AddDeviceToTree(L"IPC", "192.0.2.11", 1);
    panel->AddDeviceToTree(L"IPC", "192.0.2.12", 2);
    CSFTreeCtrl* tree = panel->GetTree();
    void* ipc = tree->GetChildItem(SF_TVI_ROOT);
    void* first = tree->GetChildItem(ipc);
    void* second = tree->GetNextSiblingItem(first);
    tree->SetCheck(first, 1);
    tree->SetCheck(second, 1);
    panel->OnItemCheckStateChanged(second, 1);
    tree->SetItemIconBack(first, L"/ok.png");
    tree->SetItemIconBack(second, L"/error.png");
    tree->ExpangAll();
    panel->GetView()->MoveWindow(0, 0, 900, 560);
    panel->GetView()->ShowWindow(1);
    pageWnd->show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(static_cast<QWidget*>(panel->GetUIWnd())->grab().save(out + "/apply-panel.png"));
    panel.reset();
}
