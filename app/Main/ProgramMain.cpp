// The program's run: starts it on the GUI thread, runs the event loop and tears the process
// down when the main window has closed. The program takes no options of its own.
#include "Main/ProgramMain.h"

#include <QApplication>
#include <QDebug>
#include <QTimer>
#include <QTranslator>

#include <memory>
#include <vector>

#include "Common/AppPath.h"
#include "Common/AppSettings.h"
#include "Common/ConfigXMLPersistImp.h"
#include "Common/SFMessageLoopManager.h"
#include "Common/SFStreamConvert.h"
#include "Common/SFTask.h"
#include "Common/Translate.h"
#include "Common/SFThreadEx.h"
#include "Common/YuvConvert.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/CMessageNotifier.h"
#include "Main/StartupCheck.h"
#include "Main/StartupWarmUp.h"
#include "Widgets/SFGlobal.h"
#include "os/CrashHandler.h"
#include "os/LogLibrary.h"

using namespace VeyraBase;

int RunProgram(int argc, char* argv[], IProgramObserver* observer)
{
    qDebug("enter main function.\n");
    CStartupWarmUp warmUp;
    auto* app = new QApplication(argc, argv);
    warmUp.AfterApplication();
    // The main window hides itself long before it closes; the program ends when it has closed.
    app->setQuitOnLastWindowClosed(false);

    SFInitApplication(app);
    // Narrow strings handed to Qt are read as UTF-8 already.
    os::InstallCrashHandler(true);
    SetTaskTraceSwitch(0);
    SetTaskTraceLevel(0);
    SFInitialize();
    warmUp.Join();

    const std::wstring appDir = SFGetAppPath();
    SF_SOFT_BASE::CSFStreamConvert appDirUtf8(appDir.c_str(), SF_SOFT_BASE::SF_CP_UTF8);
    const QString appDirText = QString::fromUtf8(appDirUtf8.GetMultiByte() ? appDirUtf8.GetMultiByte() : "");
    SFLoadStyleSheet(appDir + L"/Style.css");
    const std::wstring skinDir = appDir + L"/Skin/";
    SFSetSkinPath(skinDir.c_str());

    auto* persister = new CConfigXMLPersistImp("");
    CAppSettings::SetPersister(persister);
    CAppSettings::Load();

    // Tr reads the language of CAppSettings::Language on first use.
    QTranslator* translator = nullptr;
    if (CAppSettings::Language == 1) {
        translator = new QTranslator();
        if (translator->load(appDirText + QStringLiteral("/qt_zh_CN.qm")))
            QCoreApplication::installTranslator(translator);
    }

    std::shared_ptr<CSFMessageLoop> mainLoop = CreateMessageLoop(SF_LOOP_QT);
    CSFMessageLoopManager::Instance()->RegisterLoop(mainLoop, ML_MAIN);
    std::vector<std::shared_ptr<CSFThreadEx_Qt>> workers;
    for (int id : {ML_HELPER, ML_SDK, ML_LOG}) {
        SF_THREAD_CREATE create;
        create.nDriverType = SF_LOOP_DEFAULT;
        create.nReserved = 0;
        std::shared_ptr<CSFThreadEx_Qt> worker = CSFThreadEx_Qt::Create(create);
        worker->Start();
        CSFMessageLoopManager::Instance()->RegisterLoop(worker->GetMessageLoop(), id);
        workers.push_back(worker);
    }

    InitYuvTables();

    CMainFrameEventImp::SetClosedHandler([] { QTimer::singleShot(0, qApp, &QCoreApplication::quit); });
    std::shared_ptr<CMainFrameEventImp> mainFrame = CMainFrameEventImp::Create();

    os::LoadLogDll();
    if (!CAppSettings::LoadProblem().empty()) {
        const std::wstring text = std::wstring(Tr(L"The settings could not be read; the default settings are used.")) +
                                  L"\n" + QString::fromStdString(CAppSettings::LoadProblem()).toStdWString();
        QTimer::singleShot(0, qApp, [text, mainFrame] {
            ShowMessageBox(text.c_str(), Tr(L"Attention"), mainFrame->GetUIWnd(), 0);
        });
    }
    if (observer)
        observer->MainWindowCreated(mainFrame);
    // A missing skin or a broken language file is said once the window is up.
    mainFrame->AfterHiddenParts([appDir, frame = std::weak_ptr<CMainFrameEventImp>(mainFrame)] {
        std::shared_ptr<CMainFrameEventImp> shown = frame.lock();
        ReportStartupProblems(appDir, shown ? shown->GetUIWnd() : nullptr);
    });

    QApplication::exec();
    warmUp.WaitAll();
    if (observer)
        observer->EventLoopEnded();

    SFUninitialize();
    os::UnloadLogDll();

    // The worker loops are stopped and joined, so nothing runs while the process exits.
    for (const std::shared_ptr<CSFThreadEx_Qt>& worker : workers)
        worker->StopAndJoin(5000);
    mainFrame.reset();
    CMessageNotifier::ReleaseInstance();
    workers.clear();
    mainLoop.reset();
    delete app;
    return 0;
}
