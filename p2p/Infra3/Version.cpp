#include "Infra3/Version.h"

#include "Infra3/PrintLog.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Orvan {
namespace Infra {

VersionInfo::VersionInfo(const char* name_, int major_, int minor_, int revision_, const char* buildText,
                         const char* dateText)
    : major(major_), minor(minor_), revision(revision_), build(0), year(0), month(0), day(0)
{
    std::memset(name, 0, sizeof(name));
    std::memset(reserved, 0, sizeof(reserved));
    if (name_)
        std::strncpy(name, name_, sizeof(name) - 1);

    if (buildText) {
        const char* p = buildText;
        if (!std::isdigit(static_cast<unsigned char>(*p))) {
            // A version-control keyword such as "$Rev: 123 $": skip up to the number.
            while (*p == '$' || *p == ':' || std::isalpha(static_cast<unsigned char>(*p)))
                ++p;
            while (*p == ' ')
                ++p;
        }
        build = std::isdigit(static_cast<unsigned char>(*p)) ? std::atoi(p) : 0;
    }

    if (dateText) {
        static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        month = 13;
        for (int i = 0; i < 12; ++i) {
            if (std::strncmp(dateText, months[i], 3) == 0) {
                month = i + 1;
                break;
            }
        }
        if (std::strlen(dateText) > 3)
            std::sscanf(dateText + 3, "%d %d", &day, &year);
    }
}

int VersionInfo::printBanner() const
{
    return logInfo("[*] %s %d.%d.%d.%d Built in %d/%2d/%2d [*]\n", name, major, minor, revision, build, year, month,
                   day);
}

} // namespace Infra
} // namespace Orvan
