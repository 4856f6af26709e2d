// The add-on tool page; see the header.
#include "OtherTool/COtherToolEventImp.h"

#include <QDir>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <fstream>

#include "Common/AppPath.h"
#include "Common/AppSettings.h"
#include "Common/ConfigXMLPersistImp.h"
#include "Common/SFStreamConvert.h"
#include "Common/Translate.h"
#include "Common/XmlGuard.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/CSearchDevLogic.h"
#include "Main/ShellPost.h"
#include "OtherTool/ToolProcess.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFGlobal.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SkinRecords.h"

using namespace othertool;

namespace {

constexpr int kColumnPitch = 300;
constexpr int kRowPitch = 120;
constexpr int kToolPollMs = 250;
constexpr int kLabelWidth = 114;
constexpr int kNameTextPx = 18;

const wchar_t* const kDefaultImages[4] = {L"appDefault_nor.png", L"appDefault_hov.png", L"appDefault_pre.png",
                                          L"appDefault_dis.png"};

std::wstring W(const std::string& s) { return SFUtf8ToWide(s); }
std::string U(const std::wstring& s) { return SFWideToUtf8(s); }

std::wstring TrArg(const wchar_t* key, const std::wstring& arg)
{
    return QString::fromWCharArray(Tr(key)).arg(QString::fromStdWString(arg)).toStdWString();
}

// Shows the text in the label's width, cut with an ellipsis when it is wider; the whole text is its
// tool tip. pixelSize 0: the label's own font size.
void SetFittedText(CSFStatic* label, const std::wstring& text, int width, int pixelSize)
{
    QString full = QString::fromStdWString(text);
    QString shown = full;
    if (auto* widget = dynamic_cast<QWidget*>(label)) {
        QFont font = widget->font();
        if (pixelSize > 0)
            font.setPixelSize(pixelSize);
        shown = QFontMetrics(font).elidedText(full, Qt::ElideRight, width);
    }
    label->SetStaticText(shown.toStdWString().c_str());
    label->SetToolTipText(shown == full ? L"" : text.c_str());
}

RECT Offset(RECT r, int row, int column)
{
    return RECT{r.left + kColumnPitch * column, r.top + kRowPitch * row, r.right + kColumnPitch * column,
                r.bottom + kRowPitch * row};
}

// Calls back when the watched widget is shown.
class ShowWatcher : public QObject {
public:
    ShowWatcher(QObject* parent, std::function<void()> onShow) : QObject(parent), m_onShow(std::move(onShow)) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && m_onShow)
            QTimer::singleShot(0, this, m_onShow);
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onShow;
};

} // namespace

AppInf ToAppInf(const ToolEntry& entry)
{
    AppInf app;
    app.images.strNormal = W(entry.images[0]);
    app.images.strHover = W(entry.images[1]);
    app.images.strPressed = W(entry.images[2]);
    app.images.strDisabled = W(entry.images[3]);
    app.name = W(entry.name);
    app.version = W(entry.version);
    return app;
}

ToolEntry ToToolEntry(const AppInf& app)
{
    ToolEntry entry;
    entry.images[0] = U(app.images.strNormal);
    entry.images[1] = U(app.images.strHover);
    entry.images[2] = U(app.images.strPressed);
    entry.images[3] = U(app.images.strDisabled);
    entry.name = U(app.name);
    entry.version = U(app.version);
    return entry;
}

COtherToolEventImp::COtherToolEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame)
    : m_wpMainFrame(std::move(mainFrame)), m_strStaging(SFGetAppPath() + L"/App")
{
    m_addImages = MakeButtonSkin(L"add_nor.png", L"add_hov.png", L"add_pre.png", L"add_dis.png");
}

COtherToolEventImp::~COtherToolEventImp()
{
    // Every change is saved when it is made; this keeps one that could not be.
    if (m_bDirty)
        SaveAppConfig(true);
    if (m_pToolWatch)
        m_pToolWatch->stop();
    if (m_toolPid)
        g_bToolRunning = 0;
    DestroySFView(m_pView);
    m_pView = nullptr;
}

std::shared_ptr<COtherToolEventImp> COtherToolEventImp::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto page = std::make_shared<COtherToolEventImp>(std::move(mainFrame));
    page->CreateView();
    return page;
}

void COtherToolEventImp::CreateView()
{
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    m_pView = CreateSFView(this);
    if (!m_pView)
        return;
    m_pView->SetBGClr(0xF5EFED);
    m_pLogic = std::make_shared<COtherToolLogic>(weak_from_this());
    m_pView->Create(nullptr, L"OtherTool", 0x40000000, RECT{100, 0, 1000, 62}, main ? main->GetUIWnd() : nullptr,
                    ID_VIEW);
}

int COtherToolEventImp::OnCreate()
{
    void* wnd = GetUIWnd();
    ImageButtonStyle tile = MakeButtonSkin(L"loadmode_nor.png", L"loadmode_over.png", L"loadmode_down.png",
                                           L"loadmode_dis.png");
    ImageButtonStyle del = MakeButtonSkin(L"delete_nor.png", L"delete_hover.png", L"delete_press.png",
                                          L"delete_nor.png");
    ImageRadioBox edit;
    edit.strCheckedNormal = L"down_nor.png";
    edit.strCheckedHover = L"down_hover.png";
    edit.strCheckedPressed = L"down_press.png";
    edit.strUncheckedNormal = L"delect_nor.png";
    edit.strUncheckedHover = L"delect_hov.png";
    edit.strUncheckedPressed = L"delect_pre.png";
    edit.strCheckedDisabled = L"down_dis.png";
    edit.strUncheckedDisabled = L"delect_dis.png";

    m_pEditLabel = CreateSFStatic(nullptr);
    m_pEditLabel->Create(Tr(L"Edit"), 0x10000000, RECT{0, 0, 48, 30}, wnd, 0);
    m_pEditLabel->SetTextAlignFlag(1);
    m_pEditLabel->SetTextSize(15);
    m_pEditLabel->SetTextColor(0x333333);

    m_pEditRadio = CreateSFRadioBox(this);
    m_pEditRadio->SetSkin(&edit);
    m_pEditRadio->Create(L"", 0x10010000, RECT{0, 0, 78, 30}, wnd, ID_EDIT);
    m_pEditRadio->EnableAnimation(1);
    // The label lies on the toggle's face; clicks on it belong to the toggle.
    if (auto* label = dynamic_cast<QWidget*>(m_pEditLabel)) {
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->raise();
    }

    m_pScroll = CreateSFScrollArea(nullptr);
    m_pScroll->Create(0x50000000, RECT{8, 0, 920, 388}, 800, 250, wnd, 0);
    ScrollAreaStyle scroll;
    scroll.strBkImage = L"/bgColorOtherTool.png";
    m_pScroll->SetSkin(&scroll);
    void* area = m_pScroll->GetUIWnd();

    for (int i = 0; i < kTiles; ++i) {
        m_pAppBtn[i] = CreateSFButton(this);
        m_pAppBtn[i]->SetSkin(&tile);
        m_pAppBtn[i]->Create(L"", 0x10010000, RECT{0, 0, 230, 90}, area, ID_TILE + i);
        m_pDeleteBtn[i] = CreateSFButton(this);
        m_pDeleteBtn[i]->SetSkin(&del);
        m_pDeleteBtn[i]->Create(L"", 0x10010000, RECT{0, 0, 30, 30}, area, ID_DELETE + i);
        m_pDeleteBtn[i]->SetToolTipText(Tr(L"Delete"));
        m_pDeleteBtn[i]->EnableAnimation(1);
        m_pNameLabel[i] = CreateSFStatic(nullptr);
        m_pNameLabel[i]->Create(Tr(L"App"), 0x10000000, RECT{0, 0, 114, 20}, area, 0);
        m_pNameLabel[i]->SetTextAlignFlag(0);
        m_pNameLabel[i]->SetTextSize(kNameTextPx);
        m_pVersionLabel[i] = CreateSFStatic(nullptr);
        m_pVersionLabel[i]->Create(Tr(L"Version"), 0x10000000, RECT{0, 0, 114, 20}, area, 0);
        m_pVersionLabel[i]->SetTextAlignFlag(0);
    }

    m_pWaiting = CreateSFPictureEx(nullptr);
    m_pWaiting->Create(L"", 0x10000000, RECT{0, 0, 35, 35}, area, 0);
    m_pWaiting->Load(L"waitting.gif", 1);
    m_pWaiting->ShowWindow(0);

    m_bEditMode = false;
    m_bInstalling = false;
    LoadAppConfig();

    // A damaged tool list is told once, when the user first opens the page.
    if (auto* view = static_cast<QWidget*>(wnd)) {
        std::weak_ptr<COtherToolEventImp> weak = weak_from_this();
        view->installEventFilter(new ShowWatcher(view, [weak] {
            if (std::shared_ptr<COtherToolEventImp> self = weak.lock())
                self->ShowListProblem();
        }));
    }
    return 1;
}

void COtherToolEventImp::OnSize(UINT, int cx, int cy)
{
    if (!m_pScroll)
        return;
    for (int i = 0; i < kTiles; ++i) {
        const int row = i / 3, column = i % 3;
        RECT r = Offset(RECT{22, 24, 252, 114}, row, column);
        m_pAppBtn[i]->MoveWindow(&r);
        m_pAppBtn[i]->ShowWindow(0);
        r = Offset(RECT{10, 12, 36, 38}, row, column);
        m_pDeleteBtn[i]->MoveWindow(&r);
        m_pDeleteBtn[i]->ShowWindow(0);
        r = Offset(RECT{112, 37, 226, 57}, row, column);
        m_pNameLabel[i]->MoveWindow(&r);
        m_pNameLabel[i]->ShowWindow(0);
        r = Offset(RECT{112, 57, 226, 77}, row, column);
        m_pVersionLabel[i]->MoveWindow(&r);
        m_pVersionLabel[i]->ShowWindow(0);
    }
    RECT area{8, 8, cx - 8, cy - 55};
    m_pScroll->MoveWindow(&area);
    RECT toggle{842, 575, 920, 605};
    m_pEditRadio->MoveWindow(&toggle);
    RECT label{869, 581, 917, 611};
    m_pEditLabel->MoveWindow(&label);
    UpdateAppButtons();
}

void COtherToolEventImp::UpdateAppButtons()
{
    if (!m_pScroll)
        return;
    const int n = static_cast<int>(std::min<size_t>(m_apps.size(), kTiles));
    for (int i = 0; i < n; ++i) {
        const AppInf& app = m_apps[i];
        ImageButtonStyle images = app.images;
        if (m_bEditMode)
            images.strDisabled = images.strHover;
        m_pAppBtn[i]->ShowWindow(1);
        m_pAppBtn[i]->SetSkin(&images);
        m_pAppBtn[i]->EnableWindow(m_bEditMode ? 0 : 1);
        const std::wstring tip = app.name + L"  " + app.version;
        m_pAppBtn[i]->SetToolTipText(tip.c_str());
        SetFittedText(m_pNameLabel[i], Tr(app.name.c_str()), kLabelWidth, kNameTextPx);
        m_pNameLabel[i]->ShowWindow(1);
        SetFittedText(m_pVersionLabel[i], app.version, kLabelWidth, 0);
        m_pDeleteBtn[i]->ShowWindow(m_bEditMode ? 1 : 0);
        m_pVersionLabel[i]->ShowWindow(1);
    }
    for (int j = n; j < kTiles; ++j) {
        m_pAppBtn[j]->EnableWindow(1);
        m_pAppBtn[j]->ShowWindow(0);
        m_pNameLabel[j]->ShowWindow(0);
        m_pDeleteBtn[j]->ShowWindow(0);
        m_pVersionLabel[j]->ShowWindow(0);
    }
    if (n < kTiles) {
        m_pAppBtn[n]->SetSkin(&m_addImages);
        m_pAppBtn[n]->SetToolTipText(Tr(L"Add"));
        SetFittedText(m_pNameLabel[n], Tr(L"Add"), kLabelWidth, kNameTextPx);
        const int show = (m_bEditMode || m_bBusy) ? 0 : 1;
        m_pAppBtn[n]->ShowWindow(show);
        m_pNameLabel[n]->ShowWindow(show);
    }
    m_pScroll->ResizeScrollArea(800, n <= 12 ? 250 : 850);
}

void COtherToolEventImp::BTN_OnClicked(int id)
{
    if (m_bInstalling) {
        ShowMessageBox(Tr(L"Installing application, please wait..."), Tr(L"Attention"), GetUIWnd(), 0, nullptr);
        return;
    }
    const unsigned tile = static_cast<unsigned>(id - ID_TILE);
    const unsigned del = static_cast<unsigned>(id - ID_DELETE);
    if (tile < kTiles)
        OnAppButtonClicked(static_cast<int>(tile));
    else if (del < kTiles)
        AppRemove(static_cast<int>(del));
}

void COtherToolEventImp::RADIO_OnClicked(int checked, int id, POINT)
{
    if (m_bInstalling) {
        ShowMessageBox(Tr(L"Installing application, please wait..."), Tr(L"Attention"), GetUIWnd(), 0, nullptr);
        return;
    }
    if (id != ID_EDIT)
        return;
    m_pEditLabel->SetStaticText(checked ? Tr(L"Exit") : Tr(L"Edit"));
    m_pEditLabel->SetTextColor(checked ? 0xFFFFFF : 0x333333); // on the checked face's accent colour
    m_bEditMode = checked != 0;
    UpdateAppButtons();
}

void COtherToolEventImp::OnAppButtonClicked(int index)
{
    if (index < 0)
        return;
    if (static_cast<size_t>(index) >= m_apps.size()) {
        if (!m_bBusy)
            SelectAppPackage();
        return;
    }
    StartTool(index);
}

void COtherToolEventImp::Say(const std::wstring& text, const wchar_t* caption)
{
    const std::wstring title = Tr(caption);
    ShowMessageBox(text.c_str(), title.c_str(), GetUIWnd(), 0, nullptr);
}

void COtherToolEventImp::StartTool(int index)
{
    const AppInf app = m_apps[static_cast<size_t>(index)];
    const std::string path = U(SFGetAppPath() + L"/" + app.name + L".exe");
    if (!FileExists(path)) {
        Say(Tr(L"The application directory dose not exist."), L"Error");
        return;
    }
    if (m_toolPid)
        return; // one tool at a time, as while the window is hidden
    std::string why;
    int64_t pid = 0;
    if (!StartDetached(path, &pid, &why)) {
        std::wstring text = TrArg(L"The tool %1 could not be started.", Tr(app.name.c_str()));
        text += L"\n" + W(path) + L": " + W(why);
        Say(text, L"Error");
        return;
    }
    m_toolPid = pid;
    m_toolName = app.name;
    g_bToolRunning = 1;
    if (std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock()) {
        if (main->GetDialog())
            main->GetDialog()->ShowWindow(0);
    }
    WatchTool();
}

void COtherToolEventImp::WatchTool()
{
    if (!m_pToolWatch) {
        m_pToolWatch = new QTimer(static_cast<QWidget*>(GetUIWnd()));
        m_pToolWatch->setInterval(kToolPollMs);
        std::weak_ptr<COtherToolEventImp> weak = weak_from_this();
        QObject::connect(m_pToolWatch, &QTimer::timeout, [weak] {
            std::shared_ptr<COtherToolEventImp> self = weak.lock();
            if (!self || ProcessRuns(self->m_toolPid))
                return;
            self->m_pToolWatch->stop();
            self->m_toolPid = 0;
            g_bToolRunning = 0;
            if (std::shared_ptr<CMainFrameEventImp> main = self->m_wpMainFrame.lock()) {
                if (main->GetDialog())
                    main->GetDialog()->ShowWindow(1);
            }
        });
    }
    m_pToolWatch->start();
}

void COtherToolEventImp::AppRemove(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_apps.size() || m_bBusy)
        return;
    const AppInf app = m_apps[static_cast<size_t>(index)];
    const std::wstring text = std::wstring(Tr(L"Are you sure to remove Tool: ")) + app.name + L" ?";
    const std::wstring caption = Tr(L"Confirm");
    if (ShowMessageBox(text.c_str(), caption.c_str(), GetUIWnd(), 1, nullptr) != 1)
        return;
    COtherToolLogic::DeleteAppFiles(U(app.name), Place());
    m_apps.erase(m_apps.begin() + index);
    m_bDirty = true;
    UpdateAppButtons();
    SaveAppConfig();
}

ToolInstallPlace COtherToolEventImp::Place() const
{
    ToolInstallPlace place;
    place.appDir = U(SFGetAppPath());
    place.staging = U(m_strStaging);
    place.language = CAppSettings::Language;
    place.langFile = CAppSettings::Language ? "Lang_1.xml" : "Lang_0.xml";
    place.manual = U(Tr(L"Operation Manual.pdf"));
    return place;
}

void COtherToolEventImp::SetBusy(bool busy, int tile)
{
    m_bBusy = busy;
    if (m_pEditRadio)
        m_pEditRadio->SetEnabled(busy ? 0 : 1);
    UpdateAppButtons();
    if (tile >= 0 && tile < kTiles && m_pAppBtn[tile])
        m_pAppBtn[tile]->EnableWindow(busy ? 0 : 1);
    if (!m_pWaiting)
        return;
    if (busy && tile >= 0 && tile < kTiles) {
        RECT r = Offset(RECT{22, 24, 57, 59}, tile / 3, tile % 3);
        m_pWaiting->MoveWindow(&r);
        m_pWaiting->ShowWindow(1);
    } else {
        m_pWaiting->ShowWindow(0);
    }
}

void COtherToolEventImp::SelectAppPackage()
{
    wchar_t file[4096] = {};
    if (!SFFileDialog(nullptr, file, 4095, 1, nullptr, nullptr, nullptr, 0, L"*.7z *.zip", GetUIWnd()))
        return;
    const std::string package = U(file);
    if (!FileExists(package)) {
        Say(std::wstring(Tr(L"Failed to find file.")) + L"\n" + file, L"Error");
        return;
    }
    // Unpacking can take long: the worker does it while the page stays usable.
    const int tile = static_cast<int>(m_apps.size());
    SetBusy(true, -1);
    if (tile < kTiles && m_pWaiting) {
        RECT r = Offset(RECT{22, 24, 57, 59}, tile / 3, tile % 3);
        m_pWaiting->MoveWindow(&r);
        m_pWaiting->ShowWindow(1);
    }
    std::shared_ptr<COtherToolLogic> logic = m_pLogic;
    const ToolInstallPlace place = Place();
    if (!ShellPostTask<COtherToolLogic>(
            VeyraBase::ML_SDK, logic, [logic, package, place] { logic->Task_ExamineApp(package, place); }, __FILE__,
            __LINE__, "&COtherToolLogic::Task_ExamineApp", "COtherToolEventImp::SelectAppPackage")) {
        SetBusy(false, -1);
        Say(Tr(L"Failed to install application."), L"Error");
    }
}

std::wstring COtherToolEventImp::RefusalText(const Refusal& refusal) const
{
    const std::wstring d = W(refusal.detail);
    switch (refusal.problem) {
    case Problem::None:
        return std::wstring();
    case Problem::FileMissing:
        return Tr(L"Failed to find file.");
    case Problem::TooLarge:
        return TrArg(L"The file is larger than %1 MiB.", d);
    case Problem::NotArchive:
        return TrArg(L"The file is not an archive that can be unpacked (%1).", d);
    case Problem::TooManyEntries:
        return TrArg(L"The archive holds more than %1 entries.", d);
    case Problem::TooBigUnpacked:
        return TrArg(L"The archive unpacks to more than %1 MiB.", d);
    case Problem::EscapingPath:
        return TrArg(L"The archive entry %1 would be written outside the tools folder.", d);
    case Problem::LinkEntry:
        return TrArg(L"The archive entry %1 is a link or a special file.", d);
    case Problem::EncryptedEntry:
        return TrArg(L"The archive entry %1 is encrypted.", d);
    case Problem::ListingDamaged:
        return Tr(L"The archive's table of contents could not be read.");
    case Problem::NoArchiver:
        return Tr(L"The archiver 7z was not found. Install the package p7zip-full.");
    case Problem::ArchiverFailed:
        return TrArg(L"The archiver 7z failed: %1", d);
    case Problem::ArchiverTimeout:
        return TrArg(L"The archiver 7z did not finish within %1 seconds.", d);
    case Problem::NoAppInfo:
        return Tr(L"The package holds no Config/AppInfo.xml.");
    case Problem::AppInfoDamaged:
        return TrArg(L"Config/AppInfo.xml could not be read: %1", d);
    case Problem::WrongLanguage:
        return Tr(L"The package is made for another language.");
    case Problem::BadVersion:
        return TrArg(L"The version text \"%1\" is not valid.", d);
    case Problem::BadName:
        return TrArg(L"The tool name \"%1\" is not a valid file name.", d);
    case Problem::BadImage:
        return TrArg(L"The image name \"%1\" is not a valid file name.", d);
    case Problem::MissingInPackage:
        return TrArg(L"The package lacks %1.", d);
    case Problem::CopyFailed:
        return TrArg(L"%1 could not be copied into the program folder.", d);
    case Problem::StagingFailed:
        return TrArg(L"The folder %1 could not be made.", d);
    }
    return std::wstring();
}

void COtherToolEventImp::Ret_ExamineApp(const std::string& package, const ToolExamineResult& result)
{
    SetBusy(false, -1);
    const std::wstring file = QFileInfo(QString::fromStdString(package)).fileName().toStdWString();
    if (result.refusal) {
        const wchar_t* head = L"Invalid version format.";
        switch (result.refusal.problem) {
        case Problem::FileMissing:
            head = L"Failed to find file.";
            break;
        case Problem::StagingFailed:
            head = L"Failed to make object file directory.";
            break;
        case Problem::NoAppInfo:
        case Problem::AppInfoDamaged:
        case Problem::WrongLanguage:
        case Problem::BadVersion:
        case Problem::BadName:
        case Problem::BadImage:
            break;
        default:
            head = L"The package cannot be installed.";
            break;
        }
        Say(std::wstring(Tr(head)) + L"\n" + file + L": " + RefusalText(result.refusal), L"Error");
        return;
    }
    const AppInf record = ToAppInf(result.entry);
    int index = -1;
    for (size_t i = 0; i < m_apps.size(); ++i) {
        uint64_t installed = 0;
        if (m_apps[i].name != record.name || !ParseAppVersion(U(m_apps[i].version), &installed))
            continue;
        if (result.number > installed) {
            index = static_cast<int>(i);
            break;
        }
        if (result.number == installed)
            Say(Tr(L"Application has installed already."), L"Error");
        else
            Say(Tr(L"New version is lower than installed."), L"Warning");
        return;
    }
    if (index < 0) {
        // A tool of this name whose version cannot be compared is not installed twice.
        for (const AppInf& app : m_apps) {
            if (app.name == record.name) {
                Say(Tr(L"Application has installed already."), L"Error");
                return;
            }
        }
        if (m_apps.size() >= kTiles)
            return;
    }
    AppInstall(index, package, record);
}

void COtherToolEventImp::AppInstall(int index, const std::string& package, const AppInf& record)
{
    const std::wstring text = std::wstring(index >= 0 ? Tr(L"Are you sure to upgrade Tool: ")
                                                      : Tr(L"Are you sure to install Tool: ")) +
                              record.name + L" ?";
    const std::wstring caption = Tr(L"Confirm");
    if (ShowMessageBox(text.c_str(), caption.c_str(), GetUIWnd(), 1, nullptr) != 1)
        return;
    AppInf worker = record;
    int tile = 0;
    if (index < 0) {
        m_apps.push_back(record);
        tile = static_cast<int>(m_apps.size()) - 1;
    } else {
        worker = m_apps[static_cast<size_t>(index)];
        m_apps[static_cast<size_t>(index)] = record;
        tile = index;
    }
    SetBusy(true, tile);
    std::shared_ptr<COtherToolLogic> logic = m_pLogic;
    const ToolInstallPlace place = Place();
    // The worker gets the record it must hand back: the new one, or for an upgrade the previous one.
    const ToolEntry back = ToToolEntry(worker);
    const ToolEntry files = ToToolEntry(record);
    if (!ShellPostTask<COtherToolLogic>(
            VeyraBase::ML_SDK, logic,
            [logic, index, package, files, back, place] {
                logic->Task_StartInstallApp(index, package, files, back, place);
            },
            __FILE__, __LINE__, "&COtherToolLogic::Task_StartInstallApp", "COtherToolEventImp::AppInstall")) {
        ToolInstallResult failed;
        Ret_AppInstall(failed, index, back);
    }
}

void COtherToolEventImp::Ret_AppInstall(const ToolInstallResult& result, int index, const ToolEntry& record)
{
    const int tile = index < 0 ? static_cast<int>(m_apps.size()) - 1 : index;
    SetBusy(false, tile);
    if (tile < 0 || static_cast<size_t>(tile) >= m_apps.size())
        return;
    if (result.success) {
        if (result.defaultImages) {
            AppInf& app = m_apps[static_cast<size_t>(tile)];
            app.images.strNormal = kDefaultImages[0];
            app.images.strHover = kDefaultImages[1];
            app.images.strPressed = kDefaultImages[2];
            app.images.strDisabled = kDefaultImages[3];
        }
        m_bDirty = true;
        UpdateAppButtons();
        SaveAppConfig();
        return;
    }
    const std::wstring name = m_apps[static_cast<size_t>(tile)].name;
    if (index < 0)
        m_apps.pop_back();
    else
        m_apps[static_cast<size_t>(index)] = ToAppInf(record);
    UpdateAppButtons();
    std::wstring text = Tr(L"Failed to install application.");
    if (result.refusal)
        text += L"\n" + name + L": " + RefusalText(result.refusal);
    Say(text, L"Error");
}

void COtherToolEventImp::ReloadAppConfig()
{
    m_bEditMode = false;
    m_bInstalling = false;
    m_apps.clear();
    LoadAppConfig();
    UpdateAppButtons();
}

void COtherToolEventImp::LoadAppConfig()
{
    const std::string path = CConfigXMLPersistImp::ConfigFilePath();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return; // no settings file yet: no tools
    std::string text;
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        text.append(buf, static_cast<size_t>(in.gcount()));
        if (text.size() > xmlguard::kMaxFileBytes)
            break;
    }
    std::vector<ToolEntry> tools;
    std::vector<std::string> problems;
    std::string why;
    const bool read = ReadToolList(text, &tools, &problems, &why);
    for (const ToolEntry& t : tools)
        m_apps.push_back(ToAppInf(t));
    m_listProblem.clear();
    m_bProblemShown = false;
    if (!read) {
        // The settings store keeps such a file aside and says so at start-up; the page says what it means here.
        m_listProblem = TrArg(L"The tool list in %1 could not be read; no tools are shown.", W(path));
        m_listProblem += L"\n" + W(why);
    } else if (!problems.empty()) {
        m_listProblem = TrArg(L"The tool list in %1 is damaged; these entries are not shown:", W(path));
        for (size_t i = 0; i < problems.size() && i < 8; ++i)
            m_listProblem += L"\n" + W(problems[i]);
        if (problems.size() > 8)
            m_listProblem += L"\n...";
    }
}

void COtherToolEventImp::ShowListProblem()
{
    if (m_listProblem.empty() || m_bProblemShown)
        return;
    m_bProblemShown = true;
    Say(m_listProblem, L"Warning");
}

bool COtherToolEventImp::SaveAppConfig(bool quiet)
{
    const std::string path = CConfigXMLPersistImp::ConfigFilePath();
    TiXmlDocument doc;
    std::string why;
    if (!QFileInfo::exists(QString::fromStdString(path))) {
        // No settings written yet: a file of the settings store's shape, which it keeps when it saves.
        doc.InsertEndChild(TiXmlElement("Setting"));
    } else if (!xmlguard::LoadChecked(path.c_str(), &doc, &why)) {
        // A file that cannot be read is not overwritten: the settings store keeps it aside at start.
        if (!quiet)
            Say(TrArg(L"The tool list could not be saved to %1.", W(path)) + L"\n" + W(why), L"Error");
        return false;
    }
    std::vector<ToolEntry> tools;
    for (const AppInf& app : m_apps)
        tools.push_back(ToToolEntry(app));
    WriteToolList(doc.RootElement(), tools);
    TiXmlPrinter printer;
    printer.SetIndent("    ");
    doc.Accept(&printer);
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
    QSaveFile out(QString::fromStdString(path));
    const bool ok = out.open(QIODevice::WriteOnly) &&
                    out.write(printer.CStr(), static_cast<qint64>(printer.Size())) ==
                        static_cast<qint64>(printer.Size()) &&
                    out.commit();
    if (!ok) {
        if (!quiet)
            Say(TrArg(L"The tool list could not be saved to %1.", W(path)) + L"\n" +
                        out.errorString().toStdWString(),
                    L"Error");
        return false;
    }
    m_bDirty = false;
    return true;
}
