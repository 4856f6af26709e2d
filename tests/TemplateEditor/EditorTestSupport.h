// Shared set-up of the template manager tests: a main window on its template page, a clicker and an
// answerer of the modal dialogs that open meanwhile.
#pragma once

#include <QTimer>
#include <QWidget>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "Main/CMainFrameEventImp.h"
#include "Template/CTemplateEditEventImp.h"
#include "Template/CTemplateEventImp.h"
#include "Template/CTemplatePageEventImp.h"

namespace tpledit {

// A main window switched to the template page by the left bar's template button.
std::shared_ptr<CMainFrameEventImp> OpenTemplatePage();
// Lets a running device search end first.
void WaitWhileSearching(const std::shared_ptr<CMainFrameEventImp>& frame);
std::shared_ptr<CTemplateEditEventImp> Shell(const std::shared_ptr<CMainFrameEventImp>& frame);

// The Qt widget behind a facade.
template <class T>
QWidget* Widget(T* control)
{
    return dynamic_cast<QWidget*>(control);
}
template <class T>
bool Visible(T* control)
{
    return Widget(control) && Widget(control)->isVisible();
}
// A left click in the middle of a widget.
void ClickWidget(QWidget* w);
template <class T>
void Click(T* control)
{
    ClickWidget(Widget(control));
}

// Answers the modal dialogs that open while it lives: message boxes with the next queued answer
// (1 OK, 2 Cancel; OK when the queue is empty), the save dialog with its OK or Cancel.
class Answerer {
public:
    explicit Answerer(std::shared_ptr<CTemplateEditEventImp> shell);
    ~Answerer();
    void Queue(int answer) { m_answers.push_back(answer); }
    void SaveDialogAnswer(int answer) { m_saveAnswer = answer; }
    // The load dialog takes this path and OK.
    void LoadDialogPath(const std::string& path) { m_loadPath = path; }
    const std::vector<std::wstring>& Texts() const { return m_texts; }
    bool Saw(const std::wstring& part) const;
    int SaveDialogRuns() const { return m_saveRuns; }

private:
    void Poll();
    std::shared_ptr<CTemplateEditEventImp> m_shell;
    QTimer m_timer;
    std::deque<int> m_answers;
    std::vector<std::wstring> m_texts;
    int m_saveAnswer = 1;
    int m_saveRuns = 0;
    bool m_saveBusy = false;
    std::string m_loadPath;
};

std::string ReadFile(const std::string& path);

} // namespace tpledit
