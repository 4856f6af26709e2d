// Pictures of the template manager in the main window, with the program's skin and style, into the
// folder named by VX_TEMPLATE_SHOTS (skipped without it). Run under a virtual X server.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QScrollArea>
#include <QWidget>

#include "EditorTestSupport.h"
#include "ShellTestSupport.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFGlobal.h"

using namespace tpledit;

TEST(TemplateEditorShots, StartAndEditingScreens)
{
    const QString out = qEnvironmentVariable("VX_TEMPLATE_SHOTS");
    if (out.isEmpty())
        GTEST_SKIP() << "VX_TEMPLATE_SHOTS not set";
    QDir().mkpath(out);
    shelltest::EnsureEnvironment();
    SFLoadStyleSheet((QCoreApplication::applicationDirPath() + "/Style.css").toStdWString());
    auto frame = OpenTemplatePage();
    auto shell = Shell(frame);
    auto* window = static_cast<QWidget*>(frame->GetUIWnd());
    window->show();
    shelltest::Pump(200);
    EXPECT_TRUE(window->grab().save(out + "/template-start.png"));

    Answerer answers(shell);
    answers.Queue(2);
    Click(shell->GetNewButton());
    shell->GetNameField()->SetWindowTextW(L"Entrance hall cameras");
    auto page = shell->GetCurrentPage();
    page->GetFileManage()->SetCurSel(2);
    page->SelectChanged(CTemplatePageEventImp::ID_FILE_MANAGE, 2);
    page->GetStream(CTemplatePageEventImp::MAIN).brc->SetCurSel(1);
    page->SelectChanged(CTemplatePageEventImp::ID_MAIN_BRC, 1);
    shelltest::Pump(200);
    EXPECT_TRUE(window->grab().save(out + "/template-editor.png"));

    // The whole form, the image settings below the fold included.
    auto* view = static_cast<QWidget*>(page->GetView()->GetUIWnd());
    QScrollArea* form = view->findChild<QScrollArea*>();
    ASSERT_TRUE(form && form->widget());
    EXPECT_TRUE(form->widget()->grab().save(out + "/template-editor-form.png"));
}
