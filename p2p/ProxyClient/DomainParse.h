// Turns the P2P server's host text into an address text.
#ifndef ORVAN_TOU_DOMAINPARSE_H
#define ORVAN_TOU_DOMAINPARSE_H

namespace Orvan {
namespace Tou {

class CDomainParse
{
public:
    enum
    {
        kOutputSize = 64
    };
    // output: kOutputSize bytes, zeroed by the caller. Texts with a colon, empty texts and texts of
    // digits and dots are copied unchanged; others are resolved, and only an IPv4 answer is taken.
    // A text that does not fit the output is refused.
    static bool getDomainIP(const char* host, int port, char* output);
};

} // namespace Tou
} // namespace Orvan

#endif
