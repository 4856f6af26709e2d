#include "Main/StartupCheck.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>

#include "Common/Translate.h"
#include "Widgets/SFSkin.h"

namespace {

// The images without which the main window and its dialogs are drawn blank.
const char* const kNeeded[] = {
    "FrameMain.png", "Frame.png", "bgColorWhite.png", "bgColorMain.png", "logo.png", "update_n.png",
    "update_p.gif", "close-normal.png", "min-normal.png", "about-normal.png", "home_check.png",
    "btn_nor.png", "Select_Check.png", "Select_unCheck.png", "list_ip_n.png", "icon_ipc.png", "main.ico",
};
constexpr int kNamesShown = 6;

} // namespace

std::wstring StartupProblems(const std::wstring& appDir)
{
    std::wstring problems;
    const QString skin = QString::fromStdWString(appDir) + QStringLiteral("/Skin");
    if (!QFileInfo(skin).isDir()) {
        problems = L"The skin folder " + QDir::toNativeSeparators(skin).toStdWString() +
                   L" is missing: windows are drawn without their pictures. Install the program again "
                   L"with its Skin folder beside it.";
    } else {
        QStringList bad;
        for (const char* name : kNeeded) {
            // Reading the header is enough to tell a missing or damaged file.
            if (!SFCheckSkinImage(skin + QLatin1Char('/') + QLatin1String(name)))
                bad << QLatin1String(name);
        }
        if (!bad.isEmpty()) {
            const int shown = static_cast<int>(std::min<qsizetype>(bad.size(), kNamesShown));
            QString names = QStringList(bad.mid(0, shown)).join(QStringLiteral(", "));
            if (bad.size() > shown)
                names += QStringLiteral(" and %1 more").arg(bad.size() - shown);
            problems = L"These skin images in " + QDir::toNativeSeparators(skin).toStdWString() +
                       L" are missing or cannot be read: " + names.toStdWString() +
                       L". Parts of the windows are drawn blank. Install the program again.";
        }
    }
    const std::wstring language = TrLoadProblem();
    if (!language.empty())
        problems += (problems.empty() ? L"" : L"\n\n") + language;
    return problems;
}

bool ReportStartupProblems(const std::wstring& appDir, void* parent)
{
    const std::wstring problems = StartupProblems(appDir);
    if (problems.empty())
        return false;
    ShowMessageBox(problems.c_str(), Tr(L"Attention"), parent, 0);
    return true;
}
