#include "LogCapture.h"

#include "Infra3/PrintLog.h"

namespace {
std::mutex s_mutex;
std::vector<std::string> s_lines;
} // namespace

using namespace Orvan::Infra;

LogCapture::LogCapture(int level)
{
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        s_lines.clear();
    }
    installPrinter(PrintProc(&LogCapture::print));
    setPrintLevel(level);
}

LogCapture::~LogCapture()
{
    setPrintLevel(3);
    installPrinter(PrintProc());
}

void LogCapture::print(const char* line)
{
    std::lock_guard<std::mutex> lock(s_mutex);
    s_lines.push_back(line);
}

std::vector<std::string> LogCapture::lines() const
{
    std::lock_guard<std::mutex> lock(s_mutex);
    return s_lines;
}

std::string LogCapture::text() const
{
    std::string all;
    for (const std::string& line : lines())
        all += line;
    return all;
}

size_t LogCapture::count(const std::string& needle) const
{
    size_t n = 0;
    for (const std::string& line : lines())
        for (size_t pos = line.find(needle); pos != std::string::npos; pos = line.find(needle, pos + 1))
            ++n;
    return n;
}
