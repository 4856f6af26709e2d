#include "PageTestSupport.h"

#include <cstring>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include "Common/AppPath.h"
#include "Common/AppSettings.h"
#include "Common/ConfigXMLPersistImp.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "SysConfigTestSupport.h"
#include "SysConfig/CSysTreeEventImp.h"
#include "Widgets/SFGlobal.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFTreeCtrl.h"

namespace pagetest {

namespace {
QTemporaryDir* g_dir = nullptr;

void CopyText(char* out, size_t size, const std::string& text)
{
    SafeStrCopy(out, size, text.c_str());
}
} // namespace

void EnsurePageEnvironment()
{
    if (g_dir)
        return;
    g_dir = new QTemporaryDir();
    SFSetAppPathForTest(g_dir->path().toStdWString());
    QDir().mkpath(g_dir->path() + "/Config");
    QFile::copy(QCoreApplication::applicationDirPath() + "/public.pem", g_dir->path() + "/public.pem");
    const std::wstring skin = (QCoreApplication::applicationDirPath() + "/Skin/").toStdWString();
    SFSetSkinPath(skin.c_str());
    static CConfigXMLPersistImp* persister = new CConfigXMLPersistImp("");
    CAppSettings::SetPersister(persister);
    CAppSettings::Load();
    TrResetForTest();
    systest::EnsureLoops();
}

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
        if (text.isEmpty())
            continue;
        if (wraps) {
            // A wrapped text must fit its height: its last line must not be clipped.
            const int high =
                w->fontMetrics().boundingRect(QRect(0, 0, w->width(), 10000), Qt::TextWordWrap, text).height();
            if (high > w->height() + 1)
                out.push_back(text.toStdString() + " (" + std::to_string(high) + " high > " +
                              std::to_string(w->height()) + ")");
            continue;
        }
        const int needed = w->fontMetrics().horizontalAdvance(text);
        const int right = w->mapTo(root, QPoint(std::min(needed, w->width()), 0)).x();
        if (needed > w->width() + 2 || right > root->width())
            out.push_back(text.toStdString() + " (" + std::to_string(needed) + " > " + std::to_string(w->width()) + ")");
    }
    return out;
}

void Shot(QWidget* w, const std::string& name)
{
    const QString dir = qEnvironmentVariable("VX_SYSCONFIG_SHOTS");
    if (dir.isEmpty() || !w)
        return;
    QDir().mkpath(dir);
    w->grab().save(dir + "/" + QString::fromStdString(name) + ".png");
}

std::string AppDir() { return g_dir ? g_dir->path().toStdString() : std::string(); }

std::string TempPath(const std::string& name) { return AppDir() + "/" + name; }

std::shared_ptr<DEVICE_INFO> DeviceInfoOf(const devsim::DeviceState& s)
{
    auto d = std::make_shared<DEVICE_INFO>();
    std::memset(d.get(), 0, sizeof *d);
    CopyText(d->szUser, sizeof d->szUser, "admin");
    DEVICE_NET_INFO_EX& n = d->stNetInfo;
    n.nIpVersion = 4;
    CopyText(n.szIpAddr, sizeof n.szIpAddr, s.ip);
    n.nPort = s.port;
    CopyText(n.szMacAddr, sizeof n.szMacAddr, s.mac);
    CopyText(n.szTypeName, sizeof n.szTypeName, s.type);
    CopyText(n.szSerialNumber, sizeof n.szSerialNumber, s.serial);
    CopyText(n.szVendor, sizeof n.szVendor, s.vendor);
    n.byManufacturer = BYTE(s.manufacturer);
    n.byPwdResetWay = BYTE(s.resetWay);
    return d;
}

PageRig::PageRig()
{
    EnsurePageEnvironment();
    page = CSysConfigEventImp::Create({});
    page->DeviceSource = [this] { return devices; };
    page->RequestFilter = [this] {
        // The device list's re-filter, posted to the GUI loop.
        std::weak_ptr<CSysConfigEventImp> weak = page;
        QTimer::singleShot(0, [this, weak] {
            if (weak.expired())
                return;
            for (size_t i = 0; i < devices.size(); ++i) {
                DEVICE_NET_INFO_EX& n = devices[i]->stNetInfo;
                if (page->MatchFilter(n.szTypeName, n.nIpVersion, n.szIpAddr))
                    page->AddDeviceToTree(&n, false, int(i));
            }
            page->ExpandDeviceTree();
        });
        return 1;
    };
    page->GetView()->MoveWindow(0, 0, 1000, 640);
}

void PageRig::SetDevices(const std::vector<devsim::DeviceState>& states)
{
    devices.clear();
    for (const auto& s : states)
        devices.push_back(DeviceInfoOf(s));
}

void PageRig::File()
{
    page->ClearDevices();
    for (size_t i = 0; i < devices.size(); ++i)
        page->AddDeviceToTree(&devices[i]->stNetInfo, false, int(i));
}

CSFTreeCtrl* PageRig::Tree() const { return page->GetTreePage()->GetTreeCtrl(); }

void* PageRig::Row(const std::string& ip) const
{
    CSFTreeCtrl* t = Tree();
    const std::wstring w(ip.begin(), ip.end());
    for (void* g = t->GetChildItem(SF_TVI_ROOT); g; g = t->GetNextSiblingItem(g))
        if (void* r = t->FindChildItem(w.c_str(), g))
            return r;
    return nullptr;
}

void PageRig::Check(const std::string& ip, int on)
{
    void* row = Row(ip);
    ASSERT_NE(row, nullptr) << ip;
    Tree()->SetCheck(row, on);
}

std::vector<std::wstring> PageRig::Groups() const
{
    std::vector<std::wstring> out;
    CSFTreeCtrl* t = Tree();
    for (void* g = t->GetChildItem(SF_TVI_ROOT); g; g = t->GetNextSiblingItem(g)) {
        wchar_t text[64] = {};
        t->GetTreeItemText(g, text, 63);
        out.push_back(text);
    }
    return out;
}

std::vector<std::wstring> PageRig::Rows(const std::wstring& group) const
{
    std::vector<std::wstring> out;
    CSFTreeCtrl* t = Tree();
    void* g = t->FindChildItem(group.c_str(), SF_TVI_ROOT);
    for (void* r = g ? t->GetChildItem(g) : nullptr; r; r = t->GetNextSiblingItem(r)) {
        wchar_t text[64] = {};
        t->GetTreeItemText(r, text, 63);
        out.push_back(text);
    }
    return out;
}

ModalDriver::ModalDriver()
{
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(20);
}

ModalDriver::~ModalDriver() { timer_.stop(); }

void ModalDriver::Poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    for (Handler& h : handlers_) {
        if (h.dialog != modal)
            continue;
        if (busy_)
            return;
        busy_ = true;
        h.step();
        busy_ = false;
        return;
    }
    auto* box = qobject_cast<QDialog*>(modal);
    if (!box)
        return;
    std::wstring text;
    for (QWidget* child : box->findChildren<QWidget*>()) {
        auto* label = dynamic_cast<CSFStatic*>(child);
        wchar_t buf[2048] = {};
        if (label && (label->GetStaticText(buf, 2047), buf[0])) {
            text = buf;
            break;
        }
    }
    texts_.push_back(text);
    box->done(answer_ == 1 ? 1 : 0);
}

bool RunProgram(const QString& program, const QStringList& args, std::string* out, std::string* err)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return false;
    if (out)
        *out = p.readAllStandardOutput().toStdString();
    if (err)
        *err = p.readAllStandardError().toStdString();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace pagetest
