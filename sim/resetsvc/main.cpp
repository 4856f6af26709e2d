// resetsvc: the password-reset service stand-in.
//   resetsvc --key private.pem --in request --out result.xml [--age-days N] [--secret S]
//   resetsvc --qr "description" [--secret S]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "resetsvc/ResetCode.h"
#include "resetsvc/ResetService.h"

int main(int argc, char** argv)
{
    std::string key, in, out, qr, secret = resetsvc::kFactorySecret;
    long long ageDays = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i], v = argv[i + 1];
        if (a == "--key") key = v;
        else if (a == "--in") in = v;
        else if (a == "--out") out = v;
        else if (a == "--qr") qr = v;
        else if (a == "--secret") secret = v;
        else if (a == "--age-days") ageDays = std::atoll(v.c_str());
        else {
            std::fprintf(stderr, "resetsvc: unknown option %s\n", a.c_str());
            return 2;
        }
    }
    if (!qr.empty()) {
        const std::string code = resetsvc::SecurityCodeFor(qr, secret);
        if (code.empty()) {
            std::fprintf(stderr, "resetsvc: not a device description\n");
            return 1;
        }
        std::printf("%s\n", code.c_str());
        return 0;
    }
    if (key.empty() || in.empty() || out.empty()) {
        std::fprintf(stderr, "usage: resetsvc --key private.pem --in request --out result.xml | --qr description\n");
        return 2;
    }
    std::ifstream file(in, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "resetsvc: cannot open %s\n", in.c_str());
        return 1;
    }
    std::string container;
    char buf[65536];
    while (file && container.size() <= resetsvc::kMaxContainer) {
        file.read(buf, sizeof buf);
        container.append(buf, size_t(file.gcount()));
    }
    std::string xml, error;
    resetsvc::Request request;
    if (!resetsvc::OpenRequest(container, key, xml, error) || !resetsvc::ParseRequest(xml, request, error)) {
        std::fprintf(stderr, "resetsvc: %s: %s\n", in.c_str(), error.c_str());
        return 1;
    }
    std::ofstream result(out, std::ios::binary | std::ios::trunc);
    result << resetsvc::AuthorizationXml(request, resetsvc::LocalTimeText(-ageDays * 86400), secret);
    if (!result.flush()) {
        std::fprintf(stderr, "resetsvc: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("%zu devices\n", request.descriptions.size());
    return 0;
}
