#include "Common/Archiver.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>

namespace archiver {

namespace {

const int kMaxErrorBytes = 4096;

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The first line of the text, from its first "ERROR:" on when there is one (the most telling).
std::string ErrorLine(const QByteArray& output)
{
    QByteArray text = output.trimmed();
    const int err = text.indexOf("ERROR:");
    if (err >= 0)
        text = text.mid(err);
    const int nl = text.indexOf('\n');
    if (nl >= 0)
        text = text.left(nl);
    return text.left(300).trimmed().toStdString();
}

// Moves what the program wrote into `output` (standard output) and `tail` (the rest, its last
// bytes only). False when `output` would pass maxOutput.
bool Drain(QProcess& proc, std::string* output, size_t maxOutput, QByteArray* tail)
{
    if (output) {
        const QByteArray out = proc.readAllStandardOutput();
        if (output->size() + static_cast<size_t>(out.size()) > maxOutput)
            return false;
        output->append(out.constData(), static_cast<size_t>(out.size()));
        *tail += proc.readAllStandardError();
    } else {
        *tail += proc.readAll();
    }
    if (tail->size() > kMaxErrorBytes)
        *tail = tail->right(kMaxErrorBytes);
    return true;
}

void Stop(QProcess& proc)
{
    proc.kill();
    proc.waitForFinished(5000);
}

} // namespace

std::string Find(const std::string& appDir)
{
    const QFileInfo beside(Q(appDir) + QStringLiteral("/7z"));
    if (!appDir.empty() && beside.isFile() && beside.isExecutable())
        return beside.filePath().toStdString();
    return QStandardPaths::findExecutable(QStringLiteral("7z")).toStdString();
}

Result Run(const std::string& program, const std::vector<std::string>& args, int timeoutMs,
           std::string* output, size_t maxOutput)
{
    Result result;
    QStringList list;
    for (const std::string& a : args)
        list << Q(a);
    QProcess proc;
    proc.setProgram(Q(program));
    proc.setArguments(list);
    proc.setProcessChannelMode(output ? QProcess::SeparateChannels : QProcess::MergedChannels);
    proc.start(QIODevice::ReadWrite);
    if (!proc.waitForStarted(10000)) {
        result.status = Status::Failed;
        result.detail = proc.errorString().toStdString();
        return result;
    }
    // A prompt reads end of input and gives up. A closed pipe, not the null device: that can be
    // a plain file that holds what others wrote to it.
    proc.closeWriteChannel();
    QByteArray tail;
    QElapsedTimer clock;
    clock.start();
    while (proc.state() != QProcess::NotRunning) {
        const int left = timeoutMs - static_cast<int>(clock.elapsed());
        if (left <= 0) {
            Stop(proc);
            result.status = Status::Timeout;
            result.detail = std::to_string(timeoutMs / 1000);
            return result;
        }
        proc.waitForFinished(std::min(left, 200));
        if (!Drain(proc, output, maxOutput, &tail)) {
            Stop(proc);
            result.status = Status::Overflow;
            return result;
        }
    }
    if (!Drain(proc, output, maxOutput, &tail)) {
        result.status = Status::Overflow;
        return result;
    }
    if (proc.exitStatus() != QProcess::NormalExit || proc.exitCode() != 0) {
        result.status = Status::Failed;
        result.detail = ErrorLine(tail);
        if (result.detail.empty())
            result.detail = "exit code " + std::to_string(proc.exitCode());
    }
    return result;
}

} // namespace archiver
