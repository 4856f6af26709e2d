// Shared set-up of the template manager tests; see the header.
#include "EditorTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMouseEvent>

#include <fstream>
#include <sstream>

#include "Main/CDeviceListUILogic.h"
#include "Main/CToolBarLeftEventImp.h"
#include "ShellTestSupport.h"
#include "Template/CTempletOptionDlg.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFStatic.h"

namespace tpledit {

std::shared_ptr<CMainFrameEventImp> OpenTemplatePage()
{
    std::shared_ptr<CMainFrameEventImp> frame = shelltest::MakeMainWindow();
    frame->GetToolBarLeft()->RADIO_OnClicked(1, 1004, POINT{0, 0});
    return frame;
}

void WaitWhileSearching(const std::shared_ptr<CMainFrameEventImp>& frame)
{
    // The apply panel takes no template while the device list is searching.
    std::shared_ptr<CDeviceListUILogic> list = frame->GetDeviceListUILogic();
    QElapsedTimer clock;
    clock.start();
    int quiet = 0;
    while (list && quiet < 5 && clock.elapsed() < 20000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        quiet = list->IsSearching() ? 0 : quiet + 1;
    }
}

std::shared_ptr<CTemplateEditEventImp> Shell(const std::shared_ptr<CMainFrameEventImp>& frame)
{
    return frame->GetTemplatePage()->GetEditPage();
}

void ClickWidget(QWidget* w)
{
    const QPointF centre(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, centre, w->mapToGlobal(centre), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, w->mapToGlobal(centre), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

Answerer::Answerer(std::shared_ptr<CTemplateEditEventImp> shell) : m_shell(std::move(shell))
{
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
    m_timer.start(5);
}

Answerer::~Answerer() { m_timer.stop(); }

bool Answerer::Saw(const std::wstring& part) const
{
    for (const std::wstring& t : m_texts)
        if (t.find(part) != std::wstring::npos)
            return true;
    return false;
}

void Answerer::Poll()
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog)
        return;
    std::shared_ptr<CTempletOptionDlg> save = m_shell->GetSaveDialog();
    if (save && save->GetDialog() && dialog == save->GetDialog()->GetUIWnd()) {
        if (m_saveBusy)
            return;
        ++m_saveRuns;
        m_saveBusy = true;
        // Its OK may open a question of its own: answer it from outside this poll.
        const int answer = m_saveAnswer;
        QTimer::singleShot(0, [this, save, answer] {
            if (answer == 1)
                save->OnBtnOK();
            else
                save->GetDialog()->MFCCancel();
            m_saveBusy = false;
        });
        return;
    }
    std::shared_ptr<CTempletOptionDlg> load = m_shell->GetLoadDialog();
    if (load && load->GetDialog() && dialog == load->GetDialog()->GetUIWnd()) {
        if (m_saveBusy)
            return;
        m_saveBusy = true;
        const std::string path = m_loadPath;
        QTimer::singleShot(0, [this, load, path] {
            load->SetPath(path.c_str());
            load->OnBtnOK();
            m_saveBusy = false;
        });
        return;
    }
    std::wstring text;
    for (QWidget* child : dialog->findChildren<QWidget*>())
        if (auto* label = dynamic_cast<CSFStatic*>(child)) {
            wchar_t buf[2048] = {};
            label->GetStaticText(buf, 2047);
            text += buf;
            text += L"|";
        }
    m_texts.push_back(text);
    int answer = 1;
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    }
    dialog->done(answer == 1 ? 1 : 0);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace tpledit
