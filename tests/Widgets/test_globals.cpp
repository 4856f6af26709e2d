// Global functions: application start-up, screen rectangle, style sheet, file chooser.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include "Common/AppPath.h"
#include "Widgets/SFWidgets.h"

namespace {
std::vector<QString> g_warnings;

void Capture(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings.push_back(text);
}

// Accepts the next file chooser with `path` selected.
void AcceptChooser(const QString& path, QFileDialog::AcceptMode* mode = nullptr)
{
    QTimer::singleShot(0, [path, mode] {
        auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(chooser, nullptr);
        if (mode)
            *mode = chooser->acceptMode();
        chooser->selectFile(path);
        QMetaObject::invokeMethod(chooser, "accept", Qt::QueuedConnection);
    });
}
}  // namespace

TEST(Globals, StartUpAndScreenRectangle)
{
    RECT r{1, 2, 3, 4};
    if (!SFGetApplication()) {
        SFGetScreenRect(&r);
        EXPECT_EQ(r.left | r.top | r.right | r.bottom, 0);
    }
    SFInitApplication(qApp);
    SFInitialize();
    EXPECT_EQ(SFGetApplication(), qApp);
    EXPECT_EQ(QDir::currentPath(), QCoreApplication::applicationDirPath());
    EXPECT_EQ(QString::fromStdWString(SFGetAppPath()), QCoreApplication::applicationDirPath());
    SFGetScreenRect(&r);
    const QRect g = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(r.left, g.left());
    EXPECT_EQ(r.right, g.left() + g.width() - 1);
    EXPECT_EQ(r.bottom, g.top() + g.height() - 1);
    SFUninitialize();
}

TEST(Globals, StyleSheetLoadsWithoutWarnings)
{
    SFInitApplication(qApp);
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/Style.css");
    ASSERT_TRUE(QFile::exists(path));
    g_warnings.clear();
    QtMessageHandler previous = qInstallMessageHandler(Capture);
    SFLoadStyleSheet(path.toStdWString());
    {
        QMenu menu;
        menu.addAction(QStringLiteral("Entry"));
        menu.addSeparator();
        QScrollBar vertical(Qt::Vertical), horizontal(Qt::Horizontal);
        QLabel label(QStringLiteral("x"));
        for (QWidget* w : std::initializer_list<QWidget*>{&menu, &vertical, &horizontal, &label}) {
            w->ensurePolished();
            w->grab();
        }
    }
    qInstallMessageHandler(previous);
    EXPECT_FALSE(qApp->styleSheet().isEmpty());
    for (const QString& w : g_warnings)
        ADD_FAILURE() << w.toStdString();

    // A file that cannot be opened changes nothing.
    const QString before = qApp->styleSheet();
    SFLoadStyleSheet(L"/no/such/Style.css");
    EXPECT_EQ(qApp->styleSheet(), before);
    qApp->setStyleSheet(QString());
}

TEST(Globals, FileChooser)
{
    SFInitApplication(qApp);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("firmware.bin"));
    QFile(file).open(QIODevice::WriteOnly);

    wchar_t buf[520];
    QFileDialog::AcceptMode mode = QFileDialog::AcceptSave;
    AcceptChooser(file, &mode);
    EXPECT_EQ(SFFileDialog(nullptr, buf, 520, 1, nullptr, L"savemode", nullptr, 0, L"*.bin", nullptr), 1);
    EXPECT_EQ(QString::fromWCharArray(buf), file);
    EXPECT_EQ(mode, QFileDialog::AcceptOpen);  // the mode text is case-sensitive

    wchar_t small[6];
    std::fill(std::begin(small), std::end(small), L'#');
    AcceptChooser(dir.filePath(QStringLiteral("export.xls")), &mode);
    EXPECT_EQ(SFFileDialog(nullptr, small, 5, 1, nullptr, L"SaveMode", nullptr, 0, nullptr, nullptr), 1);
    EXPECT_EQ(mode, QFileDialog::AcceptSave);
    EXPECT_EQ(std::wstring(small), dir.path().left(4).toStdWString());
    EXPECT_EQ(small[5], L'#');

    // Folder mode: the path lands at wide-character 1040; without a block the answer is 0.
    std::vector<wchar_t> block(1040 + 512, L'#');
    AcceptChooser(dir.path());
    EXPECT_EQ(SFFileDialog(block.data(), nullptr, 0, 0, nullptr, nullptr, nullptr, 0, nullptr, nullptr), 1);
    EXPECT_EQ(block[1039], L'#');
    EXPECT_EQ(QString::fromWCharArray(block.data() + 1040), dir.path());
    AcceptChooser(dir.path());
    EXPECT_EQ(SFFileDialog(nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr, 0, nullptr, nullptr), 0);

    char out[64];
    SFUtf8ToLocal8Bit("Gr\xc3\xb6\xc3\x9f" "e", out);
    EXPECT_STREQ(out, "Gr\xc3\xb6\xc3\x9f" "e");
}
