#include "ExportRig.h"

#include <cstring>

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>

#include "Common/StrHelpers.h"
#include "TaskLoops.h"
#include "Template/CTemplateTreeEventImp.h"
#include "Widgets/SFGlobal.h"
#include "Widgets/SFStatic.h"

namespace exporttest {

void EnsureEnvironment()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const std::wstring skin = (QCoreApplication::applicationDirPath() + "/Skin/").toStdWString();
    SFSetSkinPath(skin.c_str());
    vxtest::EnsureTaskLoops();
}

bool PumpUntil(const std::function<bool()>& done, int limitMs)
{
    return vxtest::PumpUntil(done, limitMs);
}

int RecordingShell::LoadExportedTemplate(int devClass, tagTEMPLATEINFO* info)
{
    if (!info)
        return 0;
    loads.emplace_back(devClass, *info);
    return 1;
}

std::shared_ptr<DEVICE_INFO> DeviceOf(const devsim::DeviceState& s, const char* password)
{
    auto d = std::make_shared<DEVICE_INFO>();
    std::memset(d.get(), 0, sizeof *d);
    SafeStrCopy(d->szUser, sizeof d->szUser, "admin");
    SafeStrCopy(d->szPassword, sizeof d->szPassword, password);
    DEVICE_NET_INFO_EX& n = d->stNetInfo;
    n.nIpVersion = 4;
    SafeStrCopy(n.szIpAddr, sizeof n.szIpAddr, s.ip.c_str());
    n.nPort = s.port == 37777 ? 0 : s.port;
    SafeStrCopy(n.szMacAddr, sizeof n.szMacAddr, s.mac.c_str());
    SafeStrCopy(n.szTypeName, sizeof n.szTypeName, s.type.c_str());
    n.byInitState = BYTE(s.initState);
    return d;
}

Rig::Rig()
{
    EnsureEnvironment();
    shell = std::make_shared<RecordingShell>();
    peers = std::make_shared<ExportPeers>();
    list = std::make_shared<CDeviceListUILogic>(std::weak_ptr<CMainFrameEventImp>());
    list->SetPeers(peers);
    peers->logic = list;
    shell->list = list;
    page = CTemplateLoadEventImp::Create(shell);
    peers->page_ = page;
    page->GetView()->MoveWindow(0, 0, 900, 560);
    page->GetView()->ShowWindow(1);
}

Rig::~Rig()
{
    page.reset();
    list.reset();
}

void Rig::Offer(std::shared_ptr<DEVICE_INFO> device)
{
    list->GetDeviceList().push_back(device);
    if (CTemplateLoadEventImp::IsSupportedDevice(&device->stNetInfo))
        page->AddDeviceToTree(device);
    page->ExpandDeviceTree();
}

CSFTreeCtrl* Rig::Tree() const { return page->GetTreePanel()->GetTree(); }

std::vector<std::wstring> Rig::Groups() const
{
    std::vector<std::wstring> out;
    for (void* g = Tree()->GetChildItem(SF_TVI_ROOT); g; g = Tree()->GetNextSiblingItem(g)) {
        wchar_t text[64] = {};
        Tree()->GetTreeItemText(g, text, 63);
        out.push_back(text);
    }
    return out;
}

std::vector<std::wstring> Rig::Rows(const std::wstring& group) const
{
    std::vector<std::wstring> out;
    void* g = Tree()->FindChildItem(group.c_str(), SF_TVI_ROOT);
    for (void* r = g ? Tree()->GetChildItem(g) : nullptr; r; r = Tree()->GetNextSiblingItem(r)) {
        wchar_t text[64] = {};
        Tree()->GetTreeItemText(r, text, 63);
        out.push_back(text);
    }
    return out;
}

void* Rig::Row(const std::string& ip) const
{
    const std::wstring wide(ip.begin(), ip.end());
    for (void* g = Tree()->GetChildItem(SF_TVI_ROOT); g; g = Tree()->GetNextSiblingItem(g))
        if (void* r = Tree()->FindChildItem(wide.c_str(), g))
            return r;
    return nullptr;
}

void Rig::Click(void* item) { page->GetTreePanel()->OnItemClick(item, 0); }

void Rig::Filter(const std::wstring& text)
{
    CSFEditCtrl* edit = page->GetTreePanel()->GetFilterEdit();
    edit->SetWindowTextW(text.c_str());
    std::wstring copy = text;
    page->GetTreePanel()->EDIT_OnEnterPressed(CTemplateTreeEventImp::ID_FILTER_EDIT, &copy[0]);
}

std::wstring LabelTexts(QWidget* root)
{
    std::wstring text;
    for (QWidget* child : root->findChildren<QWidget*>())
        if (auto* label = dynamic_cast<CSFStatic*>(child)) {
            wchar_t buf[1024] = {};
            label->GetStaticText(buf, 1023);
            text += buf;
            text += L"|";
        }
    return text;
}

ModalDriver::ModalDriver(QWidget* exportDialog, std::function<void()> onExportDialog)
{
    QObject::connect(&timer_, &QTimer::timeout, [this, exportDialog, onExportDialog] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (modal == exportDialog) {
            if (onExportDialog)
                onExportDialog();
            return;
        }
        if (auto* box = qobject_cast<QDialog*>(modal)) {
            boxes.push_back(LabelTexts(box));
            box->done(QDialog::Accepted);
        }
    });
    timer_.start(10);
}

} // namespace exporttest
