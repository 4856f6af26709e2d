// Global functions: application start-up, screen rectangle, style sheet, file chooser.
#include <gtest/gtest.h>

#include <cstdlib>
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
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTimer>

#include "Common/AppPath.h"
#include "Widgets/CSFQTEditCtrl.h"
#include "Widgets/SFAppStyle.h"
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

TEST(Globals, StyleSheetsLoadWithoutWarnings)
{
    SFInitApplication(qApp);
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/Style.css");
    ASSERT_TRUE(QFile::exists(path));
    g_warnings.clear();
    QtMessageHandler previous = qInstallMessageHandler(Capture);
    SFLoadStyleSheet(path.toStdWString());
    {
        QMenu menu;
        menu.setStyleSheet(QString::fromLatin1(kSFMenuSheet));
        menu.addAction(QStringLiteral("Entry"));
        menu.addSeparator();
        QWidget holder;
        holder.setStyleSheet(QString::fromLatin1(kSFScrollBarSheet));
        auto* vertical = new QScrollBar(Qt::Vertical, &holder);
        auto* horizontal = new QScrollBar(Qt::Horizontal, &holder);
        QLabel label(QStringLiteral("x"));
        for (QWidget* w : std::initializer_list<QWidget*>{&menu, vertical, horizontal, &label}) {
            w->ensurePolished();
            w->grab();
        }
    }
    qInstallMessageHandler(previous);
    for (const QString& w : g_warnings)
        ADD_FAILURE() << w.toStdString();
    // The shipped sheet holds only comments: the application gets no style sheet for it.
    EXPECT_TRUE(qApp->styleSheet().isEmpty());

    // A sheet with rules is applied; a file that cannot be opened changes nothing.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ruled = dir.filePath(QStringLiteral("Style.css"));
    QFile file(ruled);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("/* a comment */ QLabel { color: red; }");
    file.close();
    SFLoadStyleSheet(ruled.toStdWString());
    EXPECT_TRUE(qApp->styleSheet().contains(QStringLiteral("QLabel")));
    const QString before = qApp->styleSheet();
    SFLoadStyleSheet(L"/no/such/Style.css");
    EXPECT_EQ(qApp->styleSheet(), before);
    qApp->setStyleSheet(QString());
}

TEST(Globals, StyleSheetRuleDetection)
{
    const struct {
        const char* text;
        bool rules;
    } cases[] = {
        {"", false},
        {"  \n\t ", false},
        {"/* only */ /* comments */", false},
        {"/* unterminated", false},
        {"QLabel{}", true},
        {"/* c */ QMenu { color: red; }", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SFStyleSheetHasRules(QString::fromLatin1(c.text)), c.rules) << c.text;
}

TEST(Globals, ProgramStyleScrollBarsAndFields)
{
    SFInitApplication(qApp);
    ASSERT_NE(dynamic_cast<CSFAppStyle*>(QApplication::style()), nullptr);

    // Flat scroll bars: 10 pixels thick, no arrow buttons, a handle of at least 24 pixels that
    // reaches the end at the last value.
    QScrollBar bar(Qt::Vertical);
    bar.setRange(0, 1000);
    bar.setPageStep(10);
    bar.resize(bar.sizeHint().width(), 200);
    EXPECT_EQ(bar.sizeHint().width(), 10);
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.orientation = Qt::Vertical;
    option.minimum = 0;
    option.maximum = 1000;
    option.pageStep = 10;
    option.sliderPosition = 1000;
    option.rect = QRect(0, 0, 10, 200);
    QStyle* style = QApplication::style();
    EXPECT_TRUE(style->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddLine, &bar).isEmpty());
    const QRect handle = style->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, &bar);
    EXPECT_EQ(handle.height(), 24);
    EXPECT_EQ(handle.bottom(), 199);
    option.sliderPosition = 0;
    EXPECT_EQ(style->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, &bar).top(), 0);

    // Text fields get a one-pixel frame in the border colour, the accent colour while typing.
    QWidget window;
    window.resize(200, 60);
    auto* edit = static_cast<CSFQTEditCtrl*>(CreateSFEditCtrl(nullptr));
    edit->Create(WS_VISIBLE, RECT{10, 10, 150, 35}, &window, 1, false);
    const QImage plain = edit->grab().toImage();
    const QColor border = plain.pixelColor(plain.width() / 2, 0);
    EXPECT_LT(std::abs(border.red() - 0xC9) + std::abs(border.green() - 0xCE) + std::abs(border.blue() - 0xD6), 40)
        << border.name().toStdString();
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
