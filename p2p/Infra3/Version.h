#ifndef ORVAN_INFRA_VERSION_H
#define ORVAN_INFRA_VERSION_H

namespace Orvan {
namespace Infra {

// Version record of a component, printed as a one-line banner.
struct VersionInfo
{
    VersionInfo(const char* name, int major, int minor, int revision, const char* buildText, const char* dateText);

    // "[*] name major.minor.revision.build Built in year/month/day [*]" at information level.
    int printBanner() const;

    char name[32];
    int major;
    int minor;
    int revision;
    int build;
    int year;
    int month; // 13 when the month text is not recognised
    int day;
    char reserved[20];
};

} // namespace Infra
} // namespace Orvan

#endif
