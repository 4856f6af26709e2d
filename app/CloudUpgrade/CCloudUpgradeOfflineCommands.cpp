// Import and export commands of the cloud upgrade page: the offline exchange of device information.
// The template is written and read on the page's records; the archiver runs on the device loop and
// the template is parsed on the helper loop, their results posted back to the GUI thread.
#include "CloudUpgrade/CCloudUpgradeEventImp.h"

#include <QFileInfo>

#include <cstring>

#include "CloudUpgrade/CCloudUpgradeUILogic.h"
#include "Common/AppSettings.h"
#include "Common/InputCheck.h"
#include "Common/SFStreamConvert.h"
#include "Common/Translate.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/ShellPost.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFGlobal.h"

namespace {

CCloudUpgradeEventImp::FileChooser g_chooser = SFFileDialog;

constexpr int kPathChars = 520;

std::string DownloadFolderUtf8()
{
    CAppSettings::MakeDefaultDownloadPath();
    return SFWideToUtf8(CAppSettings::DownloadPath);
}

std::string Text(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

// The chosen file, or empty when the user cancelled.
std::wstring ChooseArchive(bool save, void* parent)
{
    wchar_t path[kPathChars] = {};
    if (!g_chooser(nullptr, path, kPathChars - 1, 1, nullptr, save ? L"SaveMode" : nullptr, nullptr, 0, L"(*.7z)", parent))
        return std::wstring();
    return path;
}

} // namespace

void CCloudUpgradeEventImp::SetFileChooserForTest(FileChooser chooser) { g_chooser = chooser ? chooser : SFFileDialog; }

void CCloudUpgradeEventImp::SetImporting(bool importing)
{
    if (std::shared_ptr<CMainFrameEventImp> main = m_pMainFrame.lock())
        if (std::shared_ptr<CDeviceListUILogic> list = main->GetDeviceListUILogic())
            list->SetImporting(importing);
}

// ---- Export --------------------------------------------------------------------------------------

void CCloudUpgradeEventImp::OnBtnSaveInfo()
{
    if (IsUpgrading() || IsDownloading()) {
        std::shared_ptr<CMainFrameEventImp> main = m_pMainFrame.lock();
        std::wstring text = Tr(L"Now operating,please wait...");
        std::wstring caption = Tr(L"Attention");
        ShowMessageBox(text.c_str(), caption.c_str(), main ? main->GetUIWnd() : GetUIWnd(), 0);
        return;
    }
    if (m_bChecking) {
        Message(L"Now checking,please wait...");
        return;
    }
    if (!AnyRowTicked()) {
        Message(L"Please select devices to export.");
        return;
    }
    const std::wstring chosen = ChooseArchive(true, GetUIWnd());
    if (chosen.empty())
        return;
    std::string archive;
    if (!cloudoffline::MakeArchivePath(chosen, &archive)) {
        Message(L"Exporting path is too long.");
        return;
    }
    std::shared_ptr<CCloudUpgradeEventImp> self = shared_from_this();
    ShellPostTask<CCloudUpgradeEventImp>(
        VeyraBase::ML_MAIN, self, [self, archive] { self->Task_SaveInfo(archive); }, __FILE__, __LINE__,
        "&CCloudUpgradeEventImp::Task_SaveInfo", "CCloudUpgradeEventImp::OnBtnSaveInfo");
    ShowWaitBox(L"Exporting,please wait...");
}

void CCloudUpgradeEventImp::Task_SaveInfo(std::string archive)
{
    std::vector<cloudoffline::ExportRow> rows;
    for (int row = 0; m_lstctrlDev && row < m_lstctrlDev->GetItemCount(); ++row) {
        cloudoffline::ExportRow r;
        r.bChecked = m_lstctrlDev->IsCheck(row) != 0;
        r.nParent = static_cast<int>(m_lstctrlDev->GetItemData(row, COL_MAC));
        r.strMac = CellText(row, COL_MAC);
        r.pDevice = r.nParent == 0 ? RecordOfRow(row) : nullptr;
        rows.push_back(r);
    }
    const std::string folder = DownloadFolderUtf8();
    auto result = std::make_shared<cloudoffline::ExportResult>();
    auto files = std::make_shared<std::vector<std::string>>();
    *result = cloudoffline::WriteExportTemplate(folder, archive, rows, m_mapCheck, m_mapRemote, files.get());
    if (result->status == cloudoffline::ExportStatus::DownloadPathMissing ||
        result->status == cloudoffline::ExportStatus::DownloadPathTooLong) {
        HideProgressDialog();
        Message(cloudoffline::ExportMessage(*result).c_str());
        return;
    }
    std::shared_ptr<CCloudUpgradeEventImp> self = shared_from_this();
    if (result->status != cloudoffline::ExportStatus::Ok) {
        ShellPostTask<CCloudUpgradeEventImp>(
            VeyraBase::ML_MAIN, self, [self, result] { self->Task_SaveInfo_Ret(result); }, __FILE__, __LINE__,
            "&CCloudUpgradeEventImp::Task_SaveInfo_Ret", "CCloudUpgradeEventImp::Task_SaveInfo");
        return;
    }
    const std::string csv = cloudoffline::TemplatePath(folder);
    std::weak_ptr<CCloudUpgradeEventImp> weak = self;
    const bool posted = ShellPostTask<CCloudUpgradeEventImp>(
        VeyraBase::ML_SDK, self,
        [weak, archive, csv, files, result] {
            cloudoffline::PackExportArchive(archive, csv, *files, result.get());
            if (std::shared_ptr<CCloudUpgradeEventImp> page = weak.lock())
                ShellPostTask<CCloudUpgradeEventImp>(
                    VeyraBase::ML_MAIN, page, [page, result] { page->Task_SaveInfo_Ret(result); }, __FILE__,
                    __LINE__, "&CCloudUpgradeEventImp::Task_SaveInfo_Ret", "CCloudUpgradeEventImp::Task_SaveInfo");
        },
        __FILE__, __LINE__, "&cloudoffline::PackExportArchive", "CCloudUpgradeEventImp::Task_SaveInfo");
    if (!posted) {
        result->status = cloudoffline::ExportStatus::Failed;
        Task_SaveInfo_Ret(result);
    }
}

void CCloudUpgradeEventImp::Task_SaveInfo_Ret(std::shared_ptr<cloudoffline::ExportResult> result)
{
    HideProgressDialog();
    if (result)
        Message(cloudoffline::ExportMessage(*result).c_str());
}

// ---- Import --------------------------------------------------------------------------------------

void CCloudUpgradeEventImp::OnBtnGetIngfo()
{
    std::shared_ptr<CMainFrameEventImp> main = m_pMainFrame.lock();
    std::shared_ptr<CDeviceListUILogic> deviceList = main ? main->GetDeviceListUILogic() : nullptr;
    auto mainMessage = [&](const wchar_t* key) {
        std::wstring text = Tr(key);
        std::wstring caption = Tr(L"Attention");
        ShowMessageBox(text.c_str(), caption.c_str(), main ? main->GetUIWnd() : GetUIWnd(), 0);
    };
    if (deviceList && deviceList->IsSearching()) {
        mainMessage(L"Searching,please wait...");
        return;
    }
    if (IsUpgrading() || IsDownloading()) {
        mainMessage(L"Now operating,please wait...");
        return;
    }
    if (m_bChecking) {
        Message(L"Now checking,please wait...");
        return;
    }
    if (deviceList && deviceList->IsImporting())
        return;  // an import is under way
    SetImporting(true);
    const std::wstring chosen = ChooseArchive(false, GetUIWnd());
    if (chosen.empty()) {
        SetImporting(false);
        return;
    }
    std::string archive;
    if (!cloudoffline::MakeArchivePath(chosen, &archive) || !QFileInfo(QString::fromStdString(archive)).isFile()) {
        Message(L"File is not exist.");
        SetImporting(false);
        return;
    }
    const std::string folder = DownloadFolderUtf8();
    std::shared_ptr<CCloudUpgradeEventImp> self = shared_from_this();
    std::weak_ptr<CCloudUpgradeEventImp> weak = self;
    const bool posted = ShellPostTask<CCloudUpgradeEventImp>(
        VeyraBase::ML_SDK, self,
        [weak, archive, folder] {
            auto result = std::make_shared<cloudoffline::ExtractResult>(cloudoffline::ExtractOfflineArchive(archive, folder));
            if (std::shared_ptr<CCloudUpgradeEventImp> page = weak.lock())
                ShellPostTask<CCloudUpgradeEventImp>(
                    VeyraBase::ML_MAIN, page, [page, result, folder] { page->OnOfflineArchiveExtracted(result, folder); },
                    __FILE__, __LINE__, "&CCloudUpgradeEventImp::OnOfflineArchiveExtracted",
                    "CCloudUpgradeEventImp::OnBtnGetIngfo");
        },
        __FILE__, __LINE__, "&cloudoffline::ExtractOfflineArchive", "CCloudUpgradeEventImp::OnBtnGetIngfo");
    if (!posted)
        SetImporting(false);
}

void CCloudUpgradeEventImp::OnOfflineArchiveExtracted(std::shared_ptr<cloudoffline::ExtractResult> result,
                                                      std::string folder)
{
    if (result->status != cloudoffline::ExtractStatus::Ok) {
        Message(cloudoffline::ExtractMessage(*result).c_str());
        SetImporting(false);
        return;
    }
    HideUpgradeResultButtons();
    CollapseAllRecorders();
    const std::string path = cloudoffline::TemplatePath(folder);
    const std::string user = SFWideToUtf8(CAppSettings::User).substr(0, 31);
    const std::string password = SFWideToUtf8(CAppSettings::Password).substr(0, 63);
    std::shared_ptr<CCloudUpgradeEventImp> self = shared_from_this();
    std::weak_ptr<CCloudUpgradeEventImp> weak = self;
    CloudCheckMap checks = m_mapCheck;
    RemoteDeviceMap remotes = m_mapRemote;
    const bool posted = ShellPostTask<CCloudUpgradeEventImp>(
        VeyraBase::ML_HELPER, self,
        [weak, path, user, password, checks, remotes] { ReadExcelEx(weak, path, user, password, checks, remotes); },
        __FILE__, __LINE__, "&CCloudUpgradeEventImp::ReadExcelEx", "CCloudUpgradeEventImp::OnBtnGetIngfo");
    if (!posted)
        SetImporting(false);
}

void CCloudUpgradeEventImp::ReadExcelEx(std::weak_ptr<CCloudUpgradeEventImp> page, std::string path, std::string user,
                                        std::string password, CloudCheckMap checks, RemoteDeviceMap remotes)
{
    auto map = std::make_shared<CloudCheckMap>(std::move(checks));
    auto result = std::make_shared<cloudtemplate::ReadResult>(
        cloudtemplate::ReadTemplateFile(path, user, password, map.get(), &remotes));
    if (std::shared_ptr<CCloudUpgradeEventImp> self = page.lock())
        ShellPostTask<CCloudUpgradeEventImp>(
            VeyraBase::ML_MAIN, self, [self, result, map, path] { self->ReadExcelEx_Ret(result, map, path); },
            __FILE__, __LINE__, "&CCloudUpgradeEventImp::ReadExcelEx_Ret", "CCloudUpgradeEventImp::ReadExcelEx");
}

void CCloudUpgradeEventImp::ReadExcelEx_Ret(std::shared_ptr<cloudtemplate::ReadResult> result,
                                            std::shared_ptr<CloudCheckMap> checks, std::string path)
{
    if (result->status != cloudtemplate::ReadStatus::Ok) {
        Message(cloudoffline::ReadFailureMessage(*result, path).c_str());
        SetImporting(false);
        return;
    }
    ClearDeviceList();
    m_mapCheck = *checks;
    m_nImportCount = 0;
    std::shared_ptr<CMainFrameEventImp> main = m_pMainFrame.lock();
    std::shared_ptr<CDeviceListUILogic> deviceList = main ? main->GetDeviceListUILogic() : nullptr;

    auto updateStored = [this](const DEVICE_INFO& imported) -> bool {
        for (DEVICE_INFO& stored : m_vecDevice) {
            if (!cloudoffline::IsSameImportedDevice(stored, imported))
                continue;
            cloudoffline::MergeImportedDevice(stored, imported);
            const DEVICE_INFO copy = stored;  // the row update may start a check that adds records
            ShowImportedDevice(copy);
            return true;
        }
        return false;
    };
    for (DEVICE_INFO& imported : result->devices) {
        if (!IsValidIpv4Strict(Text(imported.stNetInfo.szIpAddr, sizeof imported.stNetInfo.szIpAddr).c_str()))
            continue;
        imported.stNetInfo.nIpVersion = 4;
        if (updateStored(imported))
            continue;
        const bool hasNew = imported.bHasNewVersion != 0;
        if (hasNew)
            ++m_checkCou;
        if (deviceList)
            deviceList->AddCloudUpgradeDevice(std::make_shared<DEVICE_INFO>(imported));
        // The device list stores its own copy when it takes the record: that one is updated.
        if (hasNew && !updateStored(imported)) {
            m_vecDevice.push_back(imported);
            updateStored(imported);
        }
    }
    if (m_nImportCount == static_cast<int>(result->devices.size()))
        EndCheckRun();
    std::wstring text = Tr(L"Import device list completed.");
    const std::wstring notes = cloudoffline::ReadNotes(*result);
    if (!notes.empty())
        text += L"\n" + notes;
    Message(text.c_str());
    SetImporting(false);
}
