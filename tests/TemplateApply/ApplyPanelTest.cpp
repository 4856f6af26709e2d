// The apply panel in its page: devices fed by the device list, ticked and applied through the
// progress dialog to emulated devices, their result icons and result dialogs; its refusals.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <algorithm>
#include <cstring>

#include "ApplyTestSupport.h"
#include "Common/DevClass.h"
#include "Common/SFStreamConvert.h"
#include "Common/Translate.h"
#include "devsdk/DevSdk.h"
#include "RecordingPeers.h"
#include "Template/CTemplateUsingEventImp.h"
#include "Template/CTemplateXml.h"
#include "TemplateFiles.h"
#include "Widgets/SFStatic.h"

using namespace applytest;

namespace {

// The template page around the panel: its window, an editor shell that records, and the feed of
// the device list into the panel.
class Page : public tpltest::OwnerView, public ITemplateUsingHost, public ITemplateEditShell {
public:
    std::weak_ptr<ITemplateEditShell> GetEditShell() override { return shell; }
    int GetEditMode() override { return editMode; }
    void AskSaveCurrent() override { calls.push_back("ask save"); }
    void SwitchMode(bool apply) override { calls.push_back(apply ? "apply mode" : "manager mode"); }
    std::shared_ptr<CDeviceListUILogic> GetDeviceListUILogic() override { return list; }
    int OpenTemplateFile(const char* path) override { return calls.push_back("open " + std::string(path)), 1; }
    int SaveToFile(const char*) override { return 1; }
    int GetTemplateName(wchar_t* b, int n) override { return std::wmemset(b, 0, n), 0; }
    int SetEditMode(int mode) override { return editMode = mode, 0; }

    std::weak_ptr<ITemplateEditShell> shell;
    std::shared_ptr<CDeviceListUILogic> list;
    std::shared_ptr<CTemplateUsingEventImp> panel;
    std::vector<std::string> calls;
    int editMode = 0;
};

class Peers : public RecordingPeers {
public:
    std::weak_ptr<CTemplateUsingEventImp> panel;
    bool Template_MatchTemplateType(DEVICE_NET_INFO_EX* i) override
    {
        auto p = panel.lock();
        return p && p->MatchTemplateType(i);
    }
    void Template_AddDeviceToTree(DEVICE_NET_INFO_EX* i, bool, int pos) override
    {
        static const wchar_t* const kGroups[] = {L"IPC", L"SD", L"DVR", L"NVR"};
        const int cls = GetDevClass(i->szTypeName);
        std::wstring group = L"Others";
        for (int b = 0; b < 4; ++b)
            if (cls == (1 << b))
                group = kGroups[b];
        if (auto p = panel.lock())
            p->AddDeviceToTree(group, i->szIpAddr, pos);
    }
};

// Reads and closes every message box that opens.
class Boxes {
public:
    Boxes()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!box || std::find(skip.begin(), skip.end(), static_cast<void*>(box)) != skip.end())
                return;
            std::wstring text;
            for (QWidget* child : box->findChildren<QWidget*>())
                if (auto* label = dynamic_cast<CSFStatic*>(child)) {
                    wchar_t buf[1024] = {};
                    label->GetStaticText(buf, 1023);
                    text += buf;
                }
            texts.push_back(text);
            box->done(QDialog::Accepted);
        });
        m_timer.start(5);
    }
    bool Saw(const std::wstring& part) const
    {
        for (const std::wstring& t : texts)
            if (t.find(part) != std::wstring::npos)
                return true;
        return false;
    }
    std::vector<std::wstring> texts;
    std::vector<void*> skip;  // dialogs of the panel, left alone

private:
    QTimer m_timer;
};

} // namespace

class ApplyPanel : public ApplyFleetTest {
protected:
    void SetUp() override
    {
        ApplyFleetTest::SetUp();
        page = std::make_shared<Page>();
        page->shell = page;
        peers = std::make_shared<Peers>();
        page->list = std::make_shared<CDeviceListUILogic>(std::weak_ptr<CMainFrameEventImp>());
        page->list->SetPeers(peers);
        peers->logic = page->list;
        page->panel = CTemplateUsingEventImp::Create(page);
        peers->panel = page->panel;
        page->panel->GetView()->ShowWindow(1);
        page->panel->GetView()->MoveWindow(0, 0, 900, 560);
    }
    void TearDown() override
    {
        page->panel.reset();
        page.reset();
        ApplyFleetTest::TearDown();
    }
    // Lists fleet device i in the device list as a search would have.
    void List(size_t i, const char* type)
    {
        auto d = std::make_shared<DEVICE_INFO>();
        std::memset(d.get(), 0, sizeof *d);
        std::strcpy(d->szUser, "admin");
        std::strcpy(d->szPassword, "admin123");
        d->stNetInfo.nIpVersion = 4;
        std::snprintf(d->stNetInfo.szIpAddr, sizeof d->stNetInfo.szIpAddr, "%s", Ip(i).c_str());
        std::snprintf(d->stNetInfo.szMacAddr, sizeof d->stNetInfo.szMacAddr, "%s", Mac(i).c_str());
        std::snprintf(d->stNetInfo.szTypeName, sizeof d->stNetInfo.szTypeName, "%s", type);
        d->stNetInfo.nPort = 37777;
        d->stNetInfo.byInitState = 2;
        page->list->GetDeviceList().push_back(d);
    }
    // Hands the template over as the file dialog does and waits for the re-feed.
    void Choose(const std::string& path)
    {
        ASSERT_TRUE(page->panel->LoadTemplate(path.c_str()));
        page->panel->ShowTemplateInfo(path.c_str());
        page->panel->SetTemplateMode(3);
        page->panel->SetTemplatePath(path.c_str());
        PumpUntil([] { return false; }, 100);
    }
    std::vector<void*> Rows(void* group)
    {
        std::vector<void*> rows;
        for (void* r = Tree()->GetChildItem(group); r; r = Tree()->GetNextSiblingItem(r))
            rows.push_back(r);
        return rows;
    }
    std::wstring Text(void* item)
    {
        wchar_t buf[512] = {};
        Tree()->GetTreeItemText(item, buf, 511);
        return buf;
    }
    CSFTreeCtrl* Tree() { return page->panel->GetTree(); }

    std::shared_ptr<Page> page;
    std::shared_ptr<Peers> peers;
    tplfiles::Folder folder;
};

// The devices that fit the template fill the tree; ticked ones are applied, get their icon and
// open their result dialog; an unticked one opens nothing.
TEST_F(ApplyPanel, TickedDevicesAreAppliedAndShowTheirResult)
{
    StartFleet({Device("IPC", 1), Device("NVR", 2), Device("IPC", 1), Device("IPC", 1)});
    List(0, "IPC");
    List(1, "NVR");
    List(2, "IP Camera");
    List(3, "IPC");
    const std::string path = folder.Write("Hall.xml", tplfiles::Template("IPC", "\n", 4));
    Boxes boxes;
    boxes.skip = {page->panel->GetApplyDlg()->GetUIWnd(), page->panel->GetResultDlg()->GetUIWnd()};
    page->panel->OnBtnOK();
    EXPECT_TRUE(boxes.Saw(L"No template file to apply, please load a template file or edit one!"));

    Choose(path);
    EXPECT_EQ(page->panel->GetTypeText(), L"IPC Template");
    void* ipc = Tree()->FindChildItem(L"IPC", SF_TVI_ROOT);
    ASSERT_NE(ipc, nullptr);
    EXPECT_EQ(Tree()->GetNextSiblingItem(ipc), nullptr) << "the NVR does not fit an IPC template";
    std::vector<void*> rows = Rows(ipc);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(Text(rows[1]), SFUtf8ToWide(Ip(2)));
    EXPECT_EQ(page->panel->GetCountText(), L"You have choose 0 devices");

    page->panel->OnBtnOK();
    EXPECT_TRUE(boxes.Saw(L"please select the devices you need to apply!"));

    // As the tree reports a user's ticks.
    for (void* row : {rows[0], rows[2]}) {
        Tree()->SetCheck(row, 1);
        page->panel->OnItemCheckStateChanged(row, 1);
    }
    EXPECT_EQ(page->panel->GetCountText(), L"You have choose 2 devices");
    // A ticked group counts for nothing.
    EXPECT_EQ(page->panel->GetCheckedCount(), 2);

    fleet_->With(3, [](devsim::DeviceModel& m) { m.State().failRecordWrites = {"1301:0"}; });
    QTimer::singleShot(0, [&] { Click(page->panel->GetApplyDlg()->GetOkButton()); });
    page->panel->OnBtnOK();
    EXPECT_EQ(page->panel->GetConfigUILogic()->IsConfiguring(), 0);
    EXPECT_EQ(page->panel->GetConfigUILogic()->GetDeviceCount(), 2u);
    EXPECT_EQ(RecordAs<NET_VIDEOIN_COLOR_INFO>(Record(0, NET_EM_CFG_VIDEOIN_COLOR, 0, 2)).nBrightness, 60);
    EXPECT_TRUE(Record(2, NET_EM_CFG_VIDEOIN_COLOR, 0, 2).empty()) << "not ticked";

    // Device 3 failed its colour write: its details say so; device 0 succeeded.
    std::wstring shown;
    auto detail = [&](void* row) {
        shown.clear();
        QTimer::singleShot(0, [&] {
            if (static_cast<QWidget*>(page->panel->GetResultDlg()->GetUIWnd())->isVisible()) {
                shown = page->panel->GetResultDlg()->GetSummaryText();
                page->panel->GetResultDlg()->GetDialog()->MFCCancel();
            }
        });
        POINT pt{0, 0};
        page->panel->OnItemDbClick(row, pt);
        PumpUntil([] { return false; }, 30);
    };
    detail(rows[0]);
    EXPECT_EQ(shown, L"Successfully configed template " + SFUtf8ToWide(path));
    detail(rows[2]);
    EXPECT_EQ(shown, L"Config template " + SFUtf8ToWide(path) + L" failed!");
    detail(rows[1]);
    EXPECT_TRUE(shown.empty()) << "a row that took no part opens nothing";
    detail(ipc);
    EXPECT_TRUE(shown.empty());
}

// Group rows stand in the order IPC, SD, DVR, NVR, Others whatever arrives first; a ticked row
// whose device left its place in the list, or lies past its end, is left out.
TEST_F(ApplyPanel, GroupsKeepTheirOrderAndStaleRowsAreLeftOut)
{
    CTemplateUsingEventImp& p = *page->panel;
    p.AddDeviceToTree(L"Others", "127.0.0.50", 0);
    p.AddDeviceToTree(L"DVR", "127.0.0.51", 1);
    p.AddDeviceToTree(L"IPC", "127.0.0.52", 2);
    p.AddDeviceToTree(L"NVR", "127.0.0.53", 7);
    std::vector<std::wstring> groups;
    for (void* g = Tree()->GetChildItem(SF_TVI_ROOT); g; g = Tree()->GetNextSiblingItem(g)) {
        groups.push_back(Text(g));
        EXPECT_EQ(Tree()->GetItemData(g), DWORD(-1));
    }
    EXPECT_EQ(groups, (std::vector<std::wstring>{L"IPC", L"DVR", L"NVR", L"Others"}));

    StartFleet({Device("IPC", 1), Device("IPC", 1), Device("IPC", 1)});
    List(0, "IPC");  // position 0 now holds another device than the row says
    List(1, "DVR");
    List(2, "IPC");  // the IPC row's address is "127.0.0.52", not this device's
    p.SetTemplatePath(folder.Write("t.xml", tplfiles::Template("IPC", "\n", 4)).c_str());
    p.SetTemplateMode(3);
    for (void* g = Tree()->GetChildItem(SF_TVI_ROOT); g; g = Tree()->GetNextSiblingItem(g))
        Tree()->SetCheck(g, 1);
    Boxes boxes;
    p.OnBtnOK();
    EXPECT_TRUE(boxes.Saw(L"please select the devices you need to apply!"));
    EXPECT_EQ(p.GetConfigUILogic()->GetDeviceCount(), 0u);
}

// Return goes back to the editor with the file when it came from the file dialog, otherwise asks
// the editor to save and switches to the manager; an empty template clears the summary side.
TEST_F(ApplyPanel, ReturnAndEmptyTemplate)
{
    page->panel->SetTemplatePath("/t/x.xml");
    page->editMode = 1;
    page->panel->OnBtnReturn();
    page->editMode = 0;
    page->panel->OnBtnReturn();
    EXPECT_EQ(page->calls, (std::vector<std::string>{"open /t/x.xml", "ask save", "manager mode"}));
    page->panel->ShowTemplateInfo("");
    EXPECT_EQ(page->panel->GetTypeText(), L"");
}
