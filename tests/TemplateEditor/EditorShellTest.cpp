// The template manager as the user drives it from the left bar: screens, type buttons, names,
// Save As, Using Template, the save question and the template page's two modes.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstring>

#include "Common/AppPath.h"
#include "Common/SFStreamConvert.h"
#include "EditorTestSupport.h"
#include "Main/CToolBarLeftEventImp.h"
#include "ShellTestSupport.h"
#include "Template/CTempletOptionDlg.h"
#include "Template/CTemplateXml.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFSliderCtrl.h"

using namespace tpledit;
using Edit = CTemplateEditEventImp;

namespace {

std::string AppFile(const std::string& name)
{
    return SFWideToUtf8(SFGetAppPath()) + "/" + name;
}

// New blank template: "Export template from device?" answered with Cancel.
void NewBlank(const std::shared_ptr<Edit>& shell, Answerer& answers)
{
    answers.Queue(2);
    Click(shell->GetNewButton());
}

bool OnStartScreen(const std::shared_ptr<Edit>& shell)
{
    return shell->GetEditMode() == Edit::MODE_START && Visible(shell->GetOpenButton()) &&
           Visible(shell->GetNewButton()) && !Visible(shell->GetNameField()) && !Visible(shell->GetReturnButton());
}

} // namespace

TEST(TemplateEditorShell, LeftBarOpensTheStartScreenAndNewMakesABlankIpcTemplate)
{
    auto frame = OpenTemplatePage();
    auto shell = Shell(frame);
    EXPECT_TRUE(Visible(shell->GetView()));
    EXPECT_TRUE(OnStartScreen(shell));

    Answerer answers(shell);
    NewBlank(shell, answers);
    EXPECT_TRUE(answers.Saw(L"Export template from device?"));
    EXPECT_EQ(shell->GetEditMode(), Edit::MODE_EDIT);
    EXPECT_TRUE(Visible(shell->GetNameField()) && Visible(shell->GetSaveAsButton()) && Visible(shell->GetActionButton()));
    EXPECT_FALSE(Visible(shell->GetTypeButton(Edit::ID_OTHER)));
    EXPECT_TRUE(Visible(shell->GetPage(Edit::ID_IPC)->GetView()));
    EXPECT_EQ(shell->GetTypeButton(Edit::ID_IPC)->GetCheck(), 1);

    // Another type shows its own page; clicking the set type again changes nothing.
    Click(shell->GetTypeButton(Edit::ID_DVR));
    EXPECT_TRUE(Visible(shell->GetPage(Edit::ID_DVR)->GetView()));
    EXPECT_FALSE(Visible(shell->GetPage(Edit::ID_IPC)->GetView()));
    Click(shell->GetTypeButton(Edit::ID_DVR));
    EXPECT_EQ(shell->GetTypeButton(Edit::ID_DVR)->GetCheck(), 1);
    EXPECT_EQ(shell->GetTypeButton(Edit::ID_IPC)->GetCheck(), 0);
    EXPECT_TRUE(Visible(shell->GetPage(Edit::ID_DVR)->GetView()));

    // Nothing changed: Return asks nothing.
    Click(shell->GetReturnButton());
    EXPECT_TRUE(answers.Texts().size() == 1);
    EXPECT_TRUE(OnStartScreen(shell));

    // OK on the export question leads to the export screen; Return leaves it without a question.
    answers.Queue(1);
    Click(shell->GetNewButton());
    EXPECT_EQ(shell->GetEditMode(), Edit::MODE_EXPORT);
    EXPECT_FALSE(Visible(shell->GetNameField()));
    EXPECT_TRUE(Visible(shell->GetActionButton()));
    Click(shell->GetReturnButton());
    EXPECT_TRUE(OnStartScreen(shell));
}

TEST(TemplateEditorShell, NamesAreCheckedBeforeAnythingIsWritten)
{
    auto frame = OpenTemplatePage();
    auto shell = Shell(frame);
    Answerer answers(shell);
    NewBlank(shell, answers);
    const struct {
        const wchar_t* name;
        const wchar_t* message;
    } refused[] = {{L"", L"The Template Name can't be empty."},
                   {L"a/b", L"Template name can't contain these chars:"},
                   {L"c:d", L"Template name can't contain these chars:"},
                   {L"what?", L"Template name can't contain these chars:"},
                   {L"x|y", L"Template name can't contain these chars:"}};
    for (const auto& r : refused) {
        shell->GetNameField()->SetWindowTextW(r.name);
        const size_t before = answers.Texts().size();
        EXPECT_EQ(shell->UseTemplate(), 0);
        ASSERT_EQ(answers.Texts().size(), before + 1);
        EXPECT_NE(answers.Texts().back().find(r.message), std::wstring::npos) << answers.Texts().back();
        EXPECT_EQ(answers.SaveDialogRuns(), 0);
    }
    EXPECT_NE(answers.Texts().back().find(L"\\ / : ? \" < > |"), std::wstring::npos);
    EXPECT_FALSE(frame->GetTemplatePage()->IsApplyMode());

    // The field keeps 128 characters, and the file name is made of all of them. The apply panel
    // takes the file only once the start-up search has ended.
    WaitWhileSearching(frame);
    const std::wstring longName(140, L'n');
    shell->GetNameField()->SetWindowTextW(longName.c_str());
    shell->EDIT_OnTextChange(Edit::ID_NAME, const_cast<wchar_t*>(longName.c_str()));
    wchar_t name[200] = {};
    shell->GetTemplateName(name, 200);
    EXPECT_EQ(std::wcslen(name), 128u);
    EXPECT_EQ(shell->UseTemplate(), 1);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(AppFile(std::string(128, 'n') + ".xml"))));

    // An asterisk passes.
    shell->GetNameField()->SetWindowTextW(L"star*");
    EXPECT_EQ(shell->UseTemplate(), 1);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(AppFile("star*.xml"))));
}

TEST(TemplateEditorShell, SaveAsWritesWhereTheDialogSaysAndReturnAsksOnlyAfterAChange)
{
    auto frame = OpenTemplatePage();
    auto shell = Shell(frame);
    Answerer answers(shell);
    NewBlank(shell, answers);
    shell->GetNameField()->SetWindowTextW(L"Gate");
    QFile::remove(QString::fromStdString(AppFile("Gate.xml")));

    // Save As proposes the name in the application directory.
    Click(shell->GetSaveAsButton());
    EXPECT_EQ(answers.SaveDialogRuns(), 1);
    EXPECT_EQ(shell->GetSaveDialog()->GetPath(), AppFile("Gate.xml"));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(AppFile("Gate.xml"))));
    EXPECT_EQ(shell->GetCurrentPage()->IsChanged(), 0);

    // A change: Return asks; OK and a cancelled save dialog keep the editing screen.
    shell->GetCurrentPage()->SF_OnSliderPos(CTemplatePageEventImp::ID_SATURATION, 77);
    answers.SaveDialogAnswer(2);
    answers.Queue(1);
    Click(shell->GetReturnButton());
    EXPECT_TRUE(answers.Saw(L"Whether to save current template?"));
    EXPECT_EQ(shell->GetEditMode(), Edit::MODE_EDIT);

    // OK and a saved file: back to the start screen, the file holds the change.
    answers.SaveDialogAnswer(1);
    answers.Queue(1);  // the question
    answers.Queue(1);  // overwrite
    Click(shell->GetReturnButton());
    EXPECT_TRUE(OnStartScreen(shell));
    tagTEMPLATEINFO back;
    std::memset(&back, 0, sizeof(back));
    CTemplateXml(AppFile("Gate.xml").c_str()).ReadTemplateInfo(back);
    EXPECT_EQ(back.VideoColor.Saturation, 77);

    // The saved file opens again in the editor of its type, through the load dialog.
    answers.LoadDialogPath(AppFile("Gate.xml"));
    Click(shell->GetOpenButton());
    EXPECT_EQ(shell->GetEditMode(), Edit::MODE_EDIT);
    wchar_t name[32] = {};
    shell->GetTemplateName(name, 32);
    EXPECT_STREQ(name, L"Gate");
    EXPECT_EQ(shell->GetCurrentPage()->GetColorSlider(3)->GetPos(), 77);
    EXPECT_EQ(shell->GetCurrentPage()->IsChanged(), 0);

    // Cancel drops the change and leaves.
    shell->GetCurrentPage()->SF_OnSliderPos(CTemplatePageEventImp::ID_SATURATION, 10);
    answers.Queue(2);
    Click(shell->GetReturnButton());
    EXPECT_TRUE(OnStartScreen(shell));
}

TEST(TemplateEditorShell, UsingTemplateHandsTheFileToTheApplyPanelAndManagerReopensIt)
{
    auto frame = OpenTemplatePage();
    auto page = frame->GetTemplatePage();
    auto shell = Shell(frame);
    Answerer answers(shell);

    // No template in hand: the application button says so and stays cleared.
    Click(page->GetApplicationButton());
    EXPECT_TRUE(answers.Saw(L"No template file to apply, please load a template file or edit one!"));
    EXPECT_EQ(page->GetApplicationButton()->GetCheck(), 0);
    EXPECT_EQ(page->GetManagerButton()->GetCheck(), 1);

    NewBlank(shell, answers);
    Click(shell->GetTypeButton(Edit::ID_SD));
    shell->GetNameField()->SetWindowTextW(L"Dome");
    QFile::remove(QString::fromStdString(AppFile("Dome.xml")));
    WaitWhileSearching(frame);
    Click(shell->GetActionButton());
    EXPECT_FALSE(answers.Saw(L"Searching,please wait..."));
    EXPECT_TRUE(page->IsApplyMode());
    EXPECT_FALSE(Visible(shell->GetView()));
    wchar_t root[8] = {};
    CTemplateXml(AppFile("Dome.xml").c_str()).GetRootName(root, 7);
    EXPECT_STREQ(root, L"SD");
    EXPECT_EQ(shell->GetEditMode(), Edit::MODE_EDIT);

    // Back to the manager: the applied file reopens in the editor.
    Click(page->GetManagerButton());
    EXPECT_FALSE(page->IsApplyMode());
    EXPECT_EQ(page->GetManagerButton()->GetCheck(), 1);
    EXPECT_TRUE(Visible(shell->GetPage(Edit::ID_SD)->GetView()));

    // The application button while editing saves again; a declined overwrite keeps the manager.
    answers.Queue(2);
    Click(page->GetApplicationButton());
    EXPECT_TRUE(answers.Saw(L"The file is already exist, do you want to cover?"));
    EXPECT_FALSE(page->IsApplyMode());
    EXPECT_EQ(page->GetApplicationButton()->GetCheck(), 0);
    answers.Queue(1);
    Click(page->GetApplicationButton());
    EXPECT_TRUE(page->IsApplyMode());
    EXPECT_EQ(page->GetApplicationButton()->GetCheck(), 1);

    // Making the page current again shows the start screen in manager mode, without a question.
    const size_t asked = answers.Texts().size();
    frame->GetToolBarLeft()->RADIO_OnClicked(1, 1000, POINT{0, 0});
    frame->GetToolBarLeft()->RADIO_OnClicked(1, 1004, POINT{0, 0});
    EXPECT_FALSE(page->IsApplyMode());
    EXPECT_TRUE(OnStartScreen(shell));
    EXPECT_EQ(answers.Texts().size(), asked);
}

TEST(TemplateEditorShell, ExportedRecordOpensInThePageOfTheDeviceClass)
{
    auto frame = OpenTemplatePage();
    auto shell = Shell(frame);
    Answerer answers(shell);
    answers.Queue(1);
    Click(shell->GetNewButton());
    ASSERT_EQ(shell->GetEditMode(), Edit::MODE_EXPORT);
    tagTEMPLATEINFO exported;
    std::memset(&exported, 0, sizeof(exported));
    exported.VideoColor.Brightness = 64;
    std::strcpy(exported.Encode.MStreamNCodeMode, "H.265");
    shell->LoadExportedTemplate(4, &exported);
    shell->EndExport();
    EXPECT_EQ(shell->GetEditMode(), Edit::MODE_EDIT);
    EXPECT_EQ(shell->GetTypeButton(Edit::ID_DVR)->GetCheck(), 1);
    EXPECT_TRUE(Visible(shell->GetPage(Edit::ID_DVR)->GetView()));
    EXPECT_EQ(shell->GetCurrentPage()->GetColorSlider(0)->GetPos(), 64);
    // The exported record has no type text: Return asks.
    answers.Queue(2);
    Click(shell->GetReturnButton());
    EXPECT_TRUE(answers.Saw(L"Whether to save current template?"));
    EXPECT_TRUE(OnStartScreen(shell));
}

TEST(TemplateEditorShell, OpeningAFileWithoutSomeSectionsSaysSo)
{
    auto frame = OpenTemplatePage();
    auto shell = Shell(frame);
    Answerer answers(shell);
    QTemporaryDir dir;
    const std::string path = (dir.path() + QStringLiteral("/Old.xml")).toStdString();
    {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<NVR>\n<VideoColor enable=\"1\"><Channel id=\"1\" ColorMode=\"1\" Brightness=\"61\" Contrast=\"50\" "
                   "Hue=\"50\" Saturation=\"50\"/></VideoColor>\n<BLCMode enable=\"1\"><Channel id=\"1\" Backlight=\"0\" "
                   "WideDynamicRange=\"0\" GlareInhibition=\"0\"/></BLCMode>\n<DayNightMode enable=\"1\"><Channel "
                   "id=\"1\" DayNight=\"2\"/></DayNightMode>\n<Encode enable=\"1\"/>\n<PcSyn/>\n</NVR>\n");
    }
    EXPECT_EQ(shell->OpenTemplateFile(path.c_str()), 1);
    EXPECT_EQ(shell->GetEditMode(), Edit::MODE_EDIT);
    EXPECT_TRUE(Visible(shell->GetPage(Edit::ID_NVR)->GetView()));
    auto page = shell->GetCurrentPage();
    EXPECT_EQ(page->GetColorSlider(0)->GetPos(), 61);
    EXPECT_EQ(page->GetReference().FileManage.FileManage, TEMPLATE_FILEMANAGE_NORMAL);
    EXPECT_TRUE(answers.Saw(L"These parts of the template could not be read"));
    EXPECT_TRUE(answers.Saw(L"FileManageMode"));
    EXPECT_TRUE(answers.Saw(L"Encode"));
}

TEST(TemplateEditorShell, ModeButtonsKeepTheirMarksAndShareTheWidth)
{
    auto frame = OpenTemplatePage();
    auto page = frame->GetTemplatePage();
    // The shown mode's button clicked again stays set.
    Click(page->GetManagerButton());
    EXPECT_EQ(page->GetManagerButton()->GetCheck(), 1);
    EXPECT_EQ(page->GetApplicationButton()->GetCheck(), 0);
    EXPECT_FALSE(page->IsApplyMode());
    EXPECT_TRUE(Visible(Shell(frame)->GetView()));

    // An odd width: the halves start at 0 and cx/2 (the controls take right
    // and bottom as their last pixel).
    page->OnSize(0, 931, 600);
    EXPECT_EQ(Widget(page->GetManagerButton())->geometry(), QRect(QPoint(0, 0), QPoint(465, 60)));
    EXPECT_EQ(Widget(page->GetApplicationButton())->geometry(), QRect(QPoint(465, 0), QPoint(930, 60)));
    EXPECT_EQ(static_cast<QWidget*>(Shell(frame)->GetView()->GetUIWnd())->geometry().top(), 60);
}
