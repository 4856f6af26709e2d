// The program with its embedded devices, switched to the system configuration page: after the
// devices are filed, each section is shown and the window saved to <dir>/program-<section>.png
// (VX_SYSCONFIG_PROGRAM_SHOTS), then the window closes. Run under a virtual X server.
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cstdio>

#include "Main/CMainFrameEventImp.h"
#include "Main/MainFrameDefs.h"
#include "Main/ProgramMain.h"
#include "SysConfig/CSysConfigEventImp.h"
#include "SysConfig/CSysTabEventImp.h"
#include "SysConfig/CSysTreeEventImp.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFTreeCtrl.h"

namespace {

class ShotObserver : public IProgramObserver {
public:
    void MainWindowCreated(const std::shared_ptr<CMainFrameEventImp>& frame) override
    {
        m_dir = qEnvironmentVariable("VX_SYSCONFIG_PROGRAM_SHOTS");
        if (m_dir.isEmpty() || !frame)
            return;
        QDir().mkpath(m_dir);
        m_frame = frame;
        QTimer::singleShot(4000, [this] { Shoot(); });
    }

    void EventLoopEnded() override {}

private:
    void Shoot()
    {
        std::shared_ptr<CMainFrameEventImp> frame = m_frame.lock();
        if (!frame)
            return;
        frame->SwitchPage(MAINFRAME_PAGE_SYSCONFIG);
        std::shared_ptr<CSysConfigEventImp> page = frame->GetSysConfigPage();
        CSFTreeCtrl* tree = page->GetTreePage()->GetTreeCtrl();
        int rows = 0;
        for (void* g = tree->GetChildItem(SF_TVI_ROOT); g; g = tree->GetNextSiblingItem(g)) {
            tree->ExpandTreeItem(g, 2);
            for (void* r = tree->GetChildItem(g); r; r = tree->GetNextSiblingItem(r))
                if (rows++ % 3 == 0)
                    tree->SetCheck(r, 1);
        }
        page->GetTreePage()->OnItemCheckStateChanged(nullptr, 1);
        std::fprintf(stderr, "sysconfig-rows=%d\n", rows);
        auto tab = page->GetTabPage();
        static const char* const names[] = {"timing", "reboot", "restore", "password-modify", "password-reset"};
        static const int ids[] = {1065, 1066, 1067, 1148, 1167};
        auto* window = static_cast<QWidget*>(frame->GetUIWnd());
        for (int s = 0; s < CSysTabEventImp::kSections; ++s) {
            tab->Tab(s)->SetCheck(1);
            tab->RADIO_OnClicked(1, ids[s], POINT{0, 0});
            for (int i = 0; i < 20; ++i)
                QApplication::processEvents(QEventLoop::AllEvents, 10);
            const QRect area = window->frameGeometry();
            window->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                .save(m_dir + "/program-" + names[s] + ".png", "PNG");
        }
        QApplication::exit(0);
    }

    QString m_dir;
    std::weak_ptr<CMainFrameEventImp> m_frame;
};

} // namespace

int main(int argc, char* argv[])
{
    ShotObserver observer;
    return RunProgram(argc, argv, &observer);
}
