#include "IpTestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QTableWidget>

#include <algorithm>
#include <fstream>

#include "Widgets/SFListCtrl.h"
#include "Widgets/SFStatic.h"
#include "devsdk/Wire.h"

namespace iptest {

ModalReader::ModalReader(int answer) : m_answer(answer)
{
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
    m_timer.start(10);
}

ModalReader::~ModalReader() { m_timer.stop(); }

std::vector<std::wstring> ModalReader::Texts()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_texts;
}

void ModalReader::Poll()
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || std::find(m_skip.begin(), m_skip.end(), static_cast<const void*>(dialog)) != m_skip.end())
        return;
    std::wstring text;
    for (QWidget* child : dialog->findChildren<QWidget*>()) {
        auto* label = dynamic_cast<CSFStatic*>(child);
        if (!label)
            continue;
        wchar_t buf[2048] = {};
        label->GetStaticText(buf, 2048);
        if (!buf[0])
            continue;
        if (!text.empty())
            text += L"|";
        text += buf;
    }
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_texts.push_back(text);
    }
    dialog->done(m_answer == 1 ? 1 : 0);
}

std::string TestPrefix(int block)
{
    const ::testing::TestSuite* suite = ::testing::UnitTest::GetInstance()->current_test_suite();
    const ::testing::TestInfo* current = ::testing::UnitTest::GetInstance()->current_test_info();
    int index = 0;
    while (suite && suite->GetTestInfo(index) != current)
        ++index;
    return "127." + std::to_string(block) + "." + std::to_string(index + 1) + ".";
}

ExternalFleet::~ExternalFleet()
{
    if (m_process) {
        m_process->terminate();
        if (!m_process->waitForFinished(5000))
            m_process->kill();
        m_process->waitForFinished(2000);
    }
}

bool ExternalFleet::Start(const std::vector<devsim::DeviceState>& devices, uint16_t probePort)
{
    Json::Value fleet(Json::objectValue);
    fleet["probePort"] = probePort;
    fleet["rebootMs"] = 400;
    Json::Value list(Json::arrayValue);
    for (const devsim::DeviceState& d : devices)
        list.append(devsim::DeviceModel::ToJson(d));
    fleet["devices"] = list;
    m_file = (m_dir.path() + QStringLiteral("/fleet.json")).toStdString();
    std::ofstream(m_file) << devsdk::wire::WriteCompact(fleet) << "\n";
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start(QStringLiteral(VX_DEVSIM_PROGRAM), {QStringLiteral("--fleet"), QString::fromStdString(m_file)});
    if (!m_process->waitForStarted(10000))
        return false;
    QElapsedTimer timer;
    timer.start();
    QByteArray out;
    while (!out.contains("devsim:") && timer.elapsed() < 20000) {
        m_process->waitForReadyRead(200);
        out += m_process->readAllStandardOutput();
    }
    return out.contains("devsim:");
}

bool ClickCellButton(void* listCtrl, int row, int column)
{
    auto* table = dynamic_cast<QTableWidget*>(static_cast<CSFListCtrl*>(listCtrl));
    if (!table)
        return false;
    // As a user would: the row is scrolled into view first, where it has its cell controls.
    table->scrollTo(table->model()->index(row, column));
    QCoreApplication::processEvents();
    QWidget* cell = table->cellWidget(row, column);
    QAbstractButton* button = cell ? cell->findChild<QAbstractButton*>() : nullptr;
    if (!button)
        return false;
    button->click();
    return true;
}

void Shot(const char* folderVar, QWidget* w, const std::string& name)
{
    const QString dir = qEnvironmentVariable(folderVar);
    if (dir.isEmpty() || !w)
        return;
    QDir().mkpath(dir);
    w->grab().save(dir + "/" + QString::fromStdString(name) + ".png");
}

} // namespace iptest
