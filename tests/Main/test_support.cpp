// Implementation of the shared set-up of the shell tests (no tests here).
#include "ShellTestSupport.h"

#include <QDir>

#include "Common/SFMessageLoop.h"
#include "Widgets/SFSkin.h"

using namespace VeyraBase;

namespace shelltest {

SdkRecord& Sdk()
{
    static SdkRecord* record = new SdkRecord;
    return *record;
}

namespace {

BOOL RecordInit(fDisConnect cb, void* user)
{
    SdkRecord& r = Sdk();
    ++r.init;
    r.frame = static_cast<CMainFrameEventImp*>(user);
    r.disconnect = cb;
    r.modelExistedAtInit = r.frame && r.frame->GetDeviceListUILogic() != nullptr;
    // Only looks: asking for a hidden page would make it.
    r.pagesExistedAtInit = r.frame && r.frame->GetSearchDevPage() && r.frame->GetToolBar();
    r.hiddenPartsMadeAtInit = r.frame && r.frame->HiddenPartsMade();
    return SdkInit(cb, user);
}

void RecordReconnect(fHaveReConnect cb, void* user)
{
    ++Sdk().reconnect;
    Sdk().reconnectCb = cb;
    SdkSetAutoReconnect(cb, user);
}

void RecordCleanup()
{
    SdkRecord& r = Sdk();
    ++r.cleanup;
    if (r.frame && !r.frame->AllModulesStopped())
        r.allStoppedAtCleanup = false;
    SdkCleanup();
}

class RecordingShell : public os::IDesktopShell {
public:
    bool Open(const std::string& target) override
    {
        Opened().push_back(target);
        return g_shellStarts;
    }
    static bool g_shellStarts;
};
bool RecordingShell::g_shellStarts = true;

QTemporaryDir* g_appDir = nullptr;

} // namespace

std::vector<std::string>& Opened()
{
    static auto* opened = new std::vector<std::string>;
    return *opened;
}

void SetShellStarts(bool starts) { RecordingShell::g_shellStarts = starts; }

std::wstring AppDir() { return g_appDir ? g_appDir->path().toStdWString() : std::wstring(); }

void EnsureEnvironment()
{
    if (g_appDir)
        return;
    g_appDir = new QTemporaryDir();
    // Settings, language files and manuals are looked up in a folder of the test's own.
    SFSetAppPathForTest(g_appDir->path().toStdWString());
    QDir().mkpath(g_appDir->path() + QStringLiteral("/Config"));
    const std::wstring skin = (QCoreApplication::applicationDirPath() + QStringLiteral("/Skin/")).toStdWString();
    SFSetSkinPath(skin.c_str());
    static CConfigXMLPersistImp* persister = new CConfigXMLPersistImp("");
    CAppSettings::SetPersister(persister);
    CAppSettings::Load();
    TrResetForTest();

    std::shared_ptr<CSFMessageLoop> gui = CreateMessageLoop(SF_LOOP_QT);
    CSFMessageLoopManager::Instance()->RegisterLoop(gui, ML_MAIN);
    for (int id : {ML_HELPER, ML_SDK, ML_LOG}) {
        static std::vector<std::shared_ptr<CSFThreadEx_Qt>>* workers = new std::vector<std::shared_ptr<CSFThreadEx_Qt>>;
        std::shared_ptr<CSFThreadEx_Qt> worker = CSFThreadEx_Qt::Create(SF_THREAD_CREATE());
        worker->Start();
        CSFMessageLoopManager::Instance()->RegisterLoop(worker->GetMessageLoop(), id);
        workers->push_back(worker);
    }

    devsdk::SimOptions sim;
    sim.embedded = false;
    devsdk::SetSimOptions(sim);
    CMainFrameEventImp::SetSdkCalls({&RecordInit, &RecordReconnect, &RecordCleanup});
    static RecordingShell shell;
    os::SetDesktopShell(&shell);
}

std::shared_ptr<CMainFrameEventImp> MakeMainWindow()
{
    EnsureEnvironment();
    static auto* kept = new std::vector<std::shared_ptr<CMainFrameEventImp>>;
    std::shared_ptr<CMainFrameEventImp> frame = CMainFrameEventImp::Create();
    kept->push_back(frame);
    return frame;
}

ModalAnswerer::ModalAnswerer(int answer) : m_answer(answer)
{
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
    m_timer.start(10);
}

ModalAnswerer::~ModalAnswerer() { m_timer.stop(); }

std::vector<std::wstring> ModalAnswerer::Texts()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_texts;
}

void ModalAnswerer::Poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    auto* dialog = qobject_cast<QDialog*>(modal);
    if (!dialog)
        return;
    std::wstring text;
    for (QWidget* child : dialog->findChildren<QWidget*>()) {
        auto* label = dynamic_cast<CSFStatic*>(child);
        if (!label)
            continue;
        wchar_t buf[2048] = {};
        label->GetStaticText(buf, 2048);
        if (buf[0]) {
            text = buf;
            break;
        }
    }
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_texts.push_back(text);
    }
    dialog->done(m_answer == 1 ? 1 : 0);
}

} // namespace shelltest
