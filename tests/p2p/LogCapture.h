#ifndef P2P_TEST_LOGCAPTURE_H
#define P2P_TEST_LOGCAPTURE_H

#include <mutex>
#include <string>
#include <vector>

// Collects every printed line while alive; restores the default output and print level after.
class LogCapture
{
public:
    explicit LogCapture(int level = 6);
    ~LogCapture();

    std::vector<std::string> lines() const;
    std::string text() const;
    size_t count(const std::string& needle) const;

private:
    static void print(const char* line);
};

#endif
