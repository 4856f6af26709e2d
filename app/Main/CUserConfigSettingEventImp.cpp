#include "Main/CUserConfigSettingEventImp.h"

#include <QDir>
#include <QFile>

#include <cwchar>
#include <cwctype>

#include "CloudUpgrade/CCloudUpgradeEventImp.h"
#include "Common/AppSettings.h"
#include "Common/Translate.h"
#include "DevConfig/CDevConfigEventImp.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/CToolBarLeftEventImp.h"
#include "Main/OpenOrSay.h"
#include "SysConfig/CSysConfigEventImp.h"
#include "Upgrade/CUpgradeEventImp.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFGlobal.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SkinRecords.h"

SF_BEGIN_MESSAGE_MAP(CUserConfigSettingEventImp)
SF_ON_COMMAND(CUserConfigSettingEventImp::ID_OK, OnOK)
SF_ON_COMMAND(CUserConfigSettingEventImp::ID_DELETE, OnDeleteFiles)
SF_ON_COMMAND(CUserConfigSettingEventImp::ID_DEFAULT_URL, OnDefaultUrl)
SF_ON_COMMAND(CUserConfigSettingEventImp::ID_OPEN, OnOpenFolder)
SF_END_MESSAGE_MAP()

namespace {

// Unsigned decimal value of the text; false when it is not all digits or too large.
bool ParseUnsigned(const std::wstring& text, unsigned long& value)
{
    if (text.empty() || text.size() > 9)
        return false;
    value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return false;
        value = value * 10 + static_cast<unsigned long>(c - L'0');
    }
    return true;
}

std::wstring FirstWord(const std::wstring& text)
{
    size_t start = 0;
    while (start < text.size() && std::iswspace(text[start]))
        ++start;
    size_t end = start;
    while (end < text.size() && !std::iswspace(text[end]))
        ++end;
    return text.substr(start, end - start);
}

bool ChooseFolderWithDialog(void* parent, std::wstring& folder)
{
    // The chooser writes its answer at a fixed offset of the result buffer.
    std::vector<wchar_t> result(SF_FOLDER_RESULT_OFFSET + 4096, 0);
    if (!SFFileDialog(result.data(), nullptr, 0, 0, nullptr, nullptr, nullptr, 0, nullptr, parent))
        return false;
    folder = result.data() + SF_FOLDER_RESULT_OFFSET;
    return !folder.empty();
}

} // namespace

std::function<bool(void*, std::wstring&)> CUserConfigSettingEventImp::s_chooseFolder = ChooseFolderWithDialog;

CUserConfigSettingEventImp::CUserConfigSettingEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame)
    : m_wpMainFrame(std::move(mainFrame))
{
}

CUserConfigSettingEventImp::~CUserConfigSettingEventImp()
{
    CSFDialog* dialog = m_pDialog;
    m_pDialog = nullptr;
    DestroySFDialog(dialog);
}

std::shared_ptr<CUserConfigSettingEventImp> CUserConfigSettingEventImp::Create(
    std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto dlg = std::make_shared<CUserConfigSettingEventImp>(std::move(mainFrame));
    dlg->Init();
    return dlg;
}

int CUserConfigSettingEventImp::Init()
{
    DialogStyle style;
    FillWhiteDialogSkin(style, 30);
    m_pDialog = CreateSFDialog(this, MainWnd(), 0);
    SetUpSkinnedDialog(m_pDialog, style, L"Setting", 500, 400);
    return 0;
}

const wchar_t* CUserConfigSettingEventImp::DefaultCloudUrl(int language)
{
    return language == 0 ? L"https://update.example.com:443" : L"https://update-cn.example.com:443";
}

void* CUserConfigSettingEventImp::MainWnd() const
{
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    return main ? main->GetUIWnd() : nullptr;
}

void CUserConfigSettingEventImp::Warn(const wchar_t* text, bool ownParent)
{
    const std::wstring message = text;
    ShowMessageBox(message.c_str(), Tr(L"Attention"), ownParent ? GetUIWnd() : MainWnd(), 0);
}

std::wstring CUserConfigSettingEventImp::EditText(CSFEditCtrl* edit, int maxUnits) const
{
    if (!edit)
        return std::wstring();
    std::vector<wchar_t> buf(static_cast<size_t>(maxUnits) + 1, 0);
    edit->GetWindowTextW(buf.data(), maxUnits + 1);
    return std::wstring(buf.data());
}

void CUserConfigSettingEventImp::SetEditText(CSFEditCtrl* edit, const std::wstring& text)
{
    if (!edit)
        return;
    m_bSettingText = true;
    edit->SetWindowTextW(text.c_str());
    m_bSettingText = false;
}

int CUserConfigSettingEventImp::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    auto label = [wnd](const wchar_t* text, const RECT& rc, UINT align) {
        CSFStatic* s = CreateSFStatic(nullptr);
        s->SetTextAlignFlag(align);
        s->Create(text, WS_VISIBLE, rc, wnd, static_cast<UINT>(-1));
        return s;
    };
    auto edit = [this, wnd](const RECT& rc, UINT id) {
        CSFEditCtrl* e = CreateSFEditCtrl(this);
        if (e) {
            e->SetSkin(L"bg_edit.png");
            e->Create(WS_VISIBLE, rc, wnd, id, false);
        }
        return e;
    };
    ImageButtonStyle textSkin =
        MakeButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png");
    auto button = [this, wnd, &textSkin](const wchar_t* text, const RECT& rc, UINT id) {
        CSFButton* b = CreateSFButton(this);
        b->SetSkin(&textSkin);
        b->Create(text, WS_VISIBLE, rc, wnd, id);
        return b;
    };

    m_pClose = CreateCloseButton(this, wnd, 500, 2);

    m_pUpdateTimeoutLabel = label(Tr(L"Update Timeout(/Min)"), RECT{45, 50, 195, 75}, 6);
    m_pUpdateTimeout = edit(RECT{205, 50, 355, 75}, 0);
    m_pUpdateRange = label(Tr(L"(5~30)"), RECT{360, 50, 430, 75}, 4);
    m_pNetworkTimeoutLabel = label(Tr(L"Network Timeout(/Sec)"), RECT{45, 100, 195, 125}, 6);
    m_pNetworkTimeout = edit(RECT{205, 100, 355, 125}, 0);
    m_pNetworkRange = label(Tr(L"(5~30)"), RECT{360, 100, 430, 125}, 4);
    for (CSFEditCtrl* e : {m_pUpdateTimeout, m_pNetworkTimeout}) {
        if (e) {
            e->SetNumType(1);
            e->SetMaxLength(5);
        }
    }
    SetEditText(m_pUpdateTimeout, std::to_wstring(CAppSettings::nUpdateTimeout_Minute));
    SetEditText(m_pNetworkTimeout, std::to_wstring(CAppSettings::nUpdateWaittime_Sec));

    m_pDownloadPathLabel = label(Tr(L"DownLoadPath"), RECT{45, 150, 195, 175}, 6);
    m_pDownloadPath = edit(RECT{205, 150, 355, 175}, ID_DOWNLOAD_PATH);
    SetEditText(m_pDownloadPath, CAppSettings::DownloadPath);
    if (m_pDownloadPath)
        m_pDownloadPath->SetReadOnly(1);
    m_pOpen = button(Tr(L"Open"), RECT{360, 150, 432, 175}, ID_OPEN);

    m_pCloudUrlLabel = label(Tr(L"CloudURL"), RECT{45, 200, 195, 225}, 6);
    m_pCloudUrl = edit(RECT{205, 200, 355, 225}, ID_CLOUD_URL);
    SetEditText(m_pCloudUrl, CAppSettings::CloudURL);
    m_pDefault = button(Tr(L"Default"), RECT{360, 200, 432, 225}, ID_DEFAULT_URL);
    m_pUrlTip = CreateSFStatic(nullptr);
    // A smaller grey hint, so that the whole sentence fits inside the dialog.
    m_pUrlTip->SetTextSize(11);
    m_pUrlTip->SetTextColor(0xA3968C);
    m_pUrlTip->SetTextAlignFlag(4);
    m_pUrlTip->Create(Tr(L"Tip: Please enter Domain Name:Port or Domain IP:Port."), WS_VISIBLE, RECT{180, 233, 375, 253},
                      wnd, static_cast<UINT>(-1));

    m_pCloudSwitchLabel = label(Tr(L"CloudEnable"), RECT{45, 260, 195, 285}, 6);
    m_pCloudSwitch = CreateSFRadioBox(this);
    ImageRadioBox toggle;
    toggle.strCheckedNormal = toggle.strCheckedHover = toggle.strCheckedPressed = L"list_open_nor.png";
    toggle.strUncheckedNormal = toggle.strUncheckedHover = L"list_close_nor.png";
    toggle.strUncheckedPressed = L"list_open_nor.png";
    toggle.strCheckedDisabled = toggle.strUncheckedDisabled = L"check_d.png";
    m_pCloudSwitch->SetSkin(&toggle);
    m_pCloudSwitch->Create(L"", WS_VISIBLE | WS_TABSTOP, RECT{205, 255, 305, 281}, wnd, ID_CLOUD_SWITCH);
    m_pCloudSwitch->SetTextOffset(-20);
    m_pCloudSwitch->SetCheck(CAppSettings::CloudEnable ? 1 : 0);
    m_pCloudSwitch->SetWindowTextW(CAppSettings::CloudEnable ? Tr(L"Open") : Tr(L"Close"));

    m_pClearLabel = label(Tr(L"ClearUpgradeFile"), RECT{45, 310, 195, 335}, 6);
    m_pDelete = button(Tr(L"Delete"), RECT{205, 305, 277, 330}, ID_DELETE);
    m_pOK = button(Tr(L"OK"), RECT{420, 355, 492, 380}, ID_OK);
    return 1;
}

void CUserConfigSettingEventImp::OnOK()
{
    const std::wstring update = EditText(m_pUpdateTimeout, 10);
    const std::wstring network = EditText(m_pNetworkTimeout, 10);
    const std::wstring path = EditText(m_pDownloadPath, 1023);
    const std::wstring url = EditText(m_pCloudUrl, 1023);
    if (update.empty() || network.empty() || path.empty() || url.empty()) {
        Warn(Tr(L"Parameter can't be empty."), true);
        return;
    }
    unsigned long updateMinutes = 0, networkSeconds = 0;
    const bool updateOk = ParseUnsigned(update, updateMinutes) && updateMinutes >= 5 && updateMinutes <= 30;
    const bool networkOk = ParseUnsigned(network, networkSeconds) && networkSeconds >= 5 && networkSeconds <= 30;
    if (!updateOk || !networkOk) {
        Warn(Tr(L"Parameter out of rang."), true);
        return;
    }
    if (path.size() > kMaxDownloadPath) {
        Warn(Tr(L"Download Path is too long."), true);
        SetEditText(m_pDownloadPath, CAppSettings::DownloadPath);
        return;
    }
    CAppSettings::DownloadPath = path;
    CAppSettings::CloudURL = url;
    CAppSettings::nUpdateWaittime_Sec = static_cast<int32_t>(networkSeconds);
    CAppSettings::nUpdateTimeout_Minute = static_cast<int32_t>(updateMinutes);
    SaveSettingsOrSay(GetUIWnd());
    if (m_pDialog)
        m_pDialog->MFCOK();
}

void CUserConfigSettingEventImp::RestoreEdits()
{
    SetEditText(m_pUpdateTimeout, std::to_wstring(CAppSettings::nUpdateTimeout_Minute));
    SetEditText(m_pNetworkTimeout, std::to_wstring(CAppSettings::nUpdateWaittime_Sec));
    SetEditText(m_pDownloadPath, CAppSettings::DownloadPath);
    SetEditText(m_pCloudUrl, FirstWord(CAppSettings::CloudURL));
}

void CUserConfigSettingEventImp::Dlg_OnCancel() { RestoreEdits(); }

void CUserConfigSettingEventImp::OnDlgKeyDown(UINT, UINT key)
{
    if (key == 13)
        OnOK();
    else if (key == 27)
        Dlg_OnCancel();
}

void CUserConfigSettingEventImp::OnOpenFolder()
{
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    std::shared_ptr<CCloudUpgradeEventImp> cloud = main ? main->GetCloudUpgradePage() : nullptr;
    if (cloud && cloud->IsDownloading()) {
        SetEditText(m_pDownloadPath, CAppSettings::DownloadPath);
        Warn(Tr(L"Downloading,please wait..."), false);
        return;
    }
    std::wstring folder;
    if (s_chooseFolder && s_chooseFolder(GetUIWnd(), folder))
        SetEditText(m_pDownloadPath, folder);
}

void CUserConfigSettingEventImp::OnDefaultUrl()
{
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    std::shared_ptr<CCloudUpgradeEventImp> cloud = main ? main->GetCloudUpgradePage() : nullptr;
    if (cloud && cloud->IsChecking()) {
        Warn(Tr(L"Now checking,please wait..."), false);
        return;
    }
    SetEditText(m_pCloudUrl, DefaultCloudUrl(CAppSettings::Language));
}

void CUserConfigSettingEventImp::EDIT_OnTextChange(UINT id, wchar_t*)
{
    if (m_bSettingText)
        return;
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    std::shared_ptr<CCloudUpgradeEventImp> cloud = main ? main->GetCloudUpgradePage() : nullptr;
    if (!cloud)
        return;
    if (id == ID_CLOUD_URL && cloud->IsChecking()) {
        SetEditText(m_pCloudUrl, CAppSettings::CloudURL);
        Warn(Tr(L"Now checking,please wait..."), false);
    } else if (id == ID_DOWNLOAD_PATH && cloud->IsDownloading()) {
        SetEditText(m_pDownloadPath, CAppSettings::DownloadPath);
        Warn(Tr(L"Downloading,please wait..."), false);
    }
}

const wchar_t* CUserConfigSettingEventImp::BusyReason(bool& ownParent) const
{
    ownParent = false;
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    if (!main)
        return nullptr;
    std::shared_ptr<CDeviceListUILogic> model = main->GetDeviceListUILogic();
    if (model && model->IsSearching()) {
        ownParent = true;
        return L"Searching,please wait...";
    }
    std::shared_ptr<CSearchDevEventImp> devList = main->GetSearchDevPage();
    if (devList && devList->IsModifyingIP())
        return L"Modifying,please wait...";
    std::shared_ptr<CUpgradeEventImp> upgrade = main->GetUpgradePage();
    if (upgrade && upgrade->IsUpgrading())
        return L"Now upgrading,please wait...";
    std::shared_ptr<CCloudUpgradeEventImp> cloud = main->GetCloudUpgradePage();
    if (cloud && (cloud->IsUpgrading() || cloud->IsDownloading()))
        return L"Now operating,please wait...";
    if (cloud && cloud->IsStoppingUpgrade())
        return L"Upgrade stoping,please wait...";
    if (cloud && cloud->IsChecking())
        return L"Now checking,please wait...";
    std::shared_ptr<CSysConfigEventImp> sys = main->GetSysConfigPage();
    if (sys && sys->IsConfiguring())
        return L"Setting,please wait...";
    std::shared_ptr<CDevConfigEventImp> config = main->GetDevConfigPage();
    if (config && config->IsLoggingIn())
        return L"Now login,please wait...";
    if (model && model->IsManualAdding())
        return L"Manual add,please wait...";
    return nullptr;
}

void CUserConfigSettingEventImp::RADIO_OnClicked(int checked, int id, POINT)
{
    if (id != ID_CLOUD_SWITCH || !m_pCloudSwitch)
        return;
    bool ownParent = false;
    if (const wchar_t* reason = BusyReason(ownParent)) {
        m_pCloudSwitch->SetCheck(checked ? 0 : 1);
        Warn(Tr(reason), ownParent);
        return;
    }
    const bool enable = checked != 0;
    m_pCloudSwitch->SetWindowTextW(enable ? Tr(L"Open") : Tr(L"Close"));
    CAppSettings::CloudEnable = enable;
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    if (!main)
        return;
    if (std::shared_ptr<CToolBarLeftEventImp> left = main->GetToolBarLeft())
        left->SetCloudEnable(enable);
    if (std::shared_ptr<CDeviceListUILogic> model = main->GetDeviceListUILogic())
        model->StopSearch(0);
    if (std::shared_ptr<CSearchDevEventImp> devList = main->GetSearchDevPage())
        devList->StartSearch();
}

int CUserConfigSettingEventImp::DeleteFirmwareFiles(const std::wstring& folder, std::vector<std::wstring>& failed)
{
    failed.clear();
    QDir dir(QString::fromStdWString(folder));
    if (folder.empty() || !dir.exists())
        return 0;
    // Every entry that matches counts, as the folder listing shows it; a folder named *.bin
    // cannot be deleted as a file and is reported.
    dir.setFilter(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    dir.setNameFilters(QStringList() << QStringLiteral("*.bin"));
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    // Name filters match case-insensitively by default: "FW.BIN" is a firmware file too.
    const QStringList names = dir.entryList();
    for (const QString& name : names) {
        if (!QFile::remove(dir.filePath(name)))
            failed.push_back(name.toStdWString());
    }
    return static_cast<int>(names.size());
}

void CUserConfigSettingEventImp::OnDeleteFiles()
{
    const std::wstring ask = Tr(L"Are you sure to delete upgrade file in the download directory?");
    if (ShowMessageBox(ask.c_str(), Tr(L"Attention"), GetUIWnd(), 1) == 2)
        return;
    std::vector<std::wstring> failed;
    const int found = DeleteFirmwareFiles(EditText(m_pDownloadPath, 1023), failed);
    if (found == 0) {
        Warn(Tr(L"Upgrade file is not exist."), true);
        return;
    }
    if (failed.empty()) {
        Warn(Tr(L"Upgrade file is delete completed."), true);
        return;
    }
    std::wstring text = Tr(L"These upgrade files could not be deleted:");
    for (const std::wstring& name : failed)
        text += L"\n" + name;
    Warn(text.c_str(), true);
}
