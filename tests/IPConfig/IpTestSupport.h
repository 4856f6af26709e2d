// Shared pieces of the IP and initialisation tests: the texts of the modal boxes that open while
// a test runs, an emulated fleet in a separate devsim process, and address blocks per test.
#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "devsim/DeviceModel.h"

class QWidget;

namespace iptest {

// Every modal dialog that opens while it lives is read (all its static texts, joined by "|")
// and closed with the answer. Dialogs listed in `skip` are left alone.
class ModalReader {
public:
    explicit ModalReader(int answer = 1);
    ~ModalReader();
    std::vector<std::wstring> Texts();
    void Skip(const void* widget) { m_skip.push_back(widget); }

private:
    void Poll();
    QTimer m_timer;
    int m_answer;
    std::mutex m_lock;
    std::vector<std::wstring> m_texts;
    std::vector<const void*> m_skip;
};

// "127.A.B." for the running test: A is the suite's block, B the test's place in its suite.
std::string TestPrefix(int block);

// A fleet file with these devices served by a devsim program.
class ExternalFleet {
public:
    ~ExternalFleet();
    bool Start(const std::vector<devsim::DeviceState>& devices, uint16_t probePort);
    std::string File() const { return m_file; }

private:
    QTemporaryDir m_dir;
    std::string m_file;
    std::unique_ptr<QProcess> m_process;
};

// With the environment variable `folderVar` naming a folder, saves the widget there as <name>.png
// (run under Xvfb for the real look).
void Shot(const char* folderVar, QWidget* w, const std::string& name);

// Clicks the first button inside a cell of a list control (the row's result button).
bool ClickCellButton(void* listCtrl, int row, int column);

} // namespace iptest
