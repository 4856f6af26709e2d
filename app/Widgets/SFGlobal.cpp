#include "Widgets/SFGlobal.h"

#include <cstring>

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QScreen>

#include "Widgets/SFAppStyle.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFMsgMap.h"
#include "Widgets/SFSkin.h"

namespace {
QApplication* g_app = nullptr;
QString g_styleSheetPath;
QString g_chooserDir;
bool g_chooserDirSet = false;
}  // namespace

void SFInitApplication(QApplication* app)
{
    g_app = app;
    SFRememberApplication(app);
    SFInstallProgramStyle(app);
    if (app)
        QDir::setCurrent(QCoreApplication::applicationDirPath());
}

void SFInitialize() {}

void SFUninitialize() {}

QApplication* SFGetApplication()
{
    return g_app;
}

void SFSetSkinPath(const wchar_t* dir)
{
    SFSetSkinDir(dir ? std::wstring(dir) : std::wstring());
}

bool SFStyleSheetHasRules(const QString& sheet)
{
    int i = 0;
    const int n = sheet.size();
    while (i < n) {
        if (sheet.at(i).isSpace()) {
            ++i;
        } else if (sheet.mid(i, 2) == QLatin1String("/*")) {
            const int end = sheet.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0)
                return false;
            i = end + 2;
        } else {
            return true;
        }
    }
    return false;
}

void SFLoadStyleSheet(std::wstring path)
{
    g_styleSheetPath = QString::fromStdWString(path);
    if (!g_app)
        return;
    QFile file(g_styleSheetPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    const QString sheet = QString::fromUtf8(file.readAll());
    // An application style sheet makes every widget's look go through its rules; one that holds
    // only comments would cost that for nothing.
    if (SFStyleSheetHasRules(sheet) || !g_app->styleSheet().isEmpty())
        g_app->setStyleSheet(sheet);
}

void SFPostCustomEvent(void* target, int id, void* data)
{
    QObject* object = static_cast<QObject*>(target);
    if (!object || !object->isWidgetType())
        return;
    QCoreApplication::postEvent(object, new CSFCustomEvent(SF_MSG_UIMESSAGE, SF_MSG_UIMESSAGE, data, id));
}

void SFGetScreenRect(RECT* rect)
{
    if (!rect)
        return;
    rect->left = rect->top = rect->right = rect->bottom = 0;
    if (!g_app)
        return;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect g = screen->geometry();
    rect->left = g.left();
    rect->top = g.top();
    rect->right = g.right();
    rect->bottom = g.bottom();
}

int SFFileDialog(void* folderResult, wchar_t* fileBuf, int capacity, int pickFile, const wchar_t*,
                 const wchar_t* mode, const wchar_t*, DWORD, const wchar_t* filter, void* parent)
{
    if (!g_chooserDirSet) {
        g_chooserDir = QCoreApplication::applicationDirPath();
        g_chooserDirSet = true;
    }
    QWidget* parentWidget = static_cast<QWidget*>(parent);
    if (pickFile) {
        const QString filterText = filter ? QString::fromWCharArray(filter) : QString();
        qDebug() << g_chooserDir;
        qDebug() << filterText;
        QFileDialog dialog(parentWidget, QString(), QString(), QString());
        dialog.setDirectory(g_chooserDir);
        const bool save = mode && std::wcscmp(mode, L"SaveMode") == 0;
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ReadOnly);
        dialog.setNameFilter(filterText);
        if (dialog.exec() != QDialog::Accepted)
            return 0;
        const QStringList files = dialog.selectedFiles();
        const QString path = files.isEmpty() ? QString() : files.first();
        if (path.isEmpty())
            return 0;
        g_chooserDir = path;
        SFCopyText(path, fileBuf, capacity);
        return 1;
    }
    QFileDialog dialog(parentWidget, QString(), QString(), QString());
    dialog.setDirectory(g_chooserDir);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks | QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    const QStringList dirs = dialog.selectedFiles();
    const QString path = dirs.isEmpty() ? QString() : dirs.first();
    g_chooserDir = path;
    if (!folderResult)
        return 0;
    wchar_t* out = static_cast<wchar_t*>(folderResult) + SF_FOLDER_RESULT_OFFSET;
    const std::wstring wide = path.toStdWString();
    std::memcpy(out, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    return 1;
}

void SFUtf8ToLocal8Bit(const char* utf8, char* out)
{
    if (!out)
        return;
    if (!utf8) {
        *out = '\0';
        return;
    }
    // The local 8-bit code page is UTF-8 here.
    std::strcpy(out, utf8);
}
