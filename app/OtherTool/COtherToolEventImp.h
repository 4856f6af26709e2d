// The add-on tool page: a grid of at most 21 tiles, one per tool installed beside the program,
// an add tile that installs or upgrades a tool from an archive package, and an edit mode whose
// delete buttons remove tools. The tool list lives in element APPConfig of Config/config.xml.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "OtherTool/COtherToolLogic.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFView.h"

class CMainFrameEventImp;
class CSFPictureEx;
class CSFScrollArea;
class CSFStatic;
class QTimer;

// One installed tool, in tile order.
struct AppInf {
    ImageButtonStyle images; // normal, hover, pressed, disabled
    std::wstring name;
    std::wstring version;
};

AppInf ToAppInf(const othertool::ToolEntry& entry);
othertool::ToolEntry ToToolEntry(const AppInf& app);

class COtherToolEventImp : public ISFViewEvent,
                           public ISFButtonEvent,
                           public ISFRadioBoxEvent,
                           public std::enable_shared_from_this<COtherToolEventImp> {
public:
    enum { kTiles = 21, ID_VIEW = 109, ID_EDIT = 1142, ID_TILE = 1144, ID_DELETE = 1244 };

    explicit COtherToolEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    ~COtherToolEventImp() override;
    static std::shared_ptr<COtherToolEventImp> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);

    CSFView* GetView() const { return m_pView; }

    int OnCreate() override;
    void OnSize(UINT type, int cx, int cy) override;
    void BTN_OnClicked(int id) override;
    void RADIO_OnClicked(int checked, int id, POINT point) override;

    void UpdateAppButtons();
    void OnAppButtonClicked(int index);
    void AppRemove(int index);
    void ReloadAppConfig();
    void LoadAppConfig();
    // false (and the user told, unless quiet) when the list could not be written.
    bool SaveAppConfig(bool quiet = false);

    // Results of the worker half, on the GUI thread.
    void Ret_ExamineApp(const std::string& package, const ToolExamineResult& result);
    void Ret_AppInstall(const ToolInstallResult& result, int index, const othertool::ToolEntry& record);

    // For tests and the screenshots.
    const std::vector<AppInf>& Tools() const { return m_apps; }
    CSFButton* TileButton(int i) const { return i >= 0 && i < kTiles ? m_pAppBtn[i] : nullptr; }
    CSFButton* DeleteButton(int i) const { return i >= 0 && i < kTiles ? m_pDeleteBtn[i] : nullptr; }
    CSFStatic* NameLabel(int i) const { return i >= 0 && i < kTiles ? m_pNameLabel[i] : nullptr; }
    CSFStatic* VersionLabel(int i) const { return i >= 0 && i < kTiles ? m_pVersionLabel[i] : nullptr; }
    CSFRadioBox* EditToggle() const { return m_pEditRadio; }
    CSFScrollArea* ScrollArea() const { return m_pScroll; }
    bool IsBusy() const { return m_bBusy; }
    bool IsToolRunning() const { return m_toolPid != 0; }
    // What was wrong with the tool list when it was read; empty when nothing was.
    const std::wstring& ListProblem() const { return m_listProblem; }

private:
    void CreateView();
    void SelectAppPackage();
    void AppInstall(int index, const std::string& package, const AppInf& record);
    void StartTool(int index);
    void WatchTool();
    void SetBusy(bool busy, int tile);
    void ShowListProblem();
    void Say(const std::wstring& text, const wchar_t* caption);
    ToolInstallPlace Place() const;
    std::wstring RefusalText(const othertool::Refusal& refusal) const;

    CSFView* m_pView = nullptr;
    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    std::shared_ptr<COtherToolLogic> m_pLogic;
    std::vector<AppInf> m_apps;
    std::wstring m_strStaging;
    bool m_bEditMode = false;
    bool m_bInstalling = false; // set by no flow: the guard of the original busy indicator
    bool m_bBusy = false;       // a package is being examined or installed
    bool m_bDirty = false;
    bool m_bProblemShown = false;
    std::wstring m_listProblem;
    CSFPictureEx* m_pWaiting = nullptr;
    ImageButtonStyle m_addImages;
    CSFButton* m_pAppBtn[kTiles] = {};
    CSFButton* m_pDeleteBtn[kTiles] = {};
    CSFStatic* m_pNameLabel[kTiles] = {};
    CSFStatic* m_pVersionLabel[kTiles] = {};
    CSFRadioBox* m_pEditRadio = nullptr;
    CSFStatic* m_pEditLabel = nullptr;
    CSFScrollArea* m_pScroll = nullptr;
    QTimer* m_pToolWatch = nullptr;
    int64_t m_toolPid = 0;
    std::wstring m_toolName;
};
