#include "resetsvc/ResetService.h"

#include "Common/XmlGuard.h"

#include <openssl/decoder.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <sstream>

#include <tinyxml.h>

#include "resetsvc/ResetCode.h"

namespace resetsvc {

namespace {

enum { kHeader = 16, kRsaBlock = 256, kKeyBlock = 48 };

struct PkeyFree {
    void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};
struct PkeyCtxFree {
    void operator()(EVP_PKEY_CTX* c) const { EVP_PKEY_CTX_free(c); }
};
struct CipherFree {
    void operator()(EVP_CIPHER_CTX* c) const { EVP_CIPHER_CTX_free(c); }
};

std::unique_ptr<EVP_PKEY, PkeyFree> ReadPrivateKey(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string pem((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (pem.empty() || pem.size() > 16384)
        return nullptr;
    EVP_PKEY* key = nullptr;
    OSSL_DECODER_CTX* d =
        OSSL_DECODER_CTX_new_for_pkey(&key, "PEM", nullptr, "RSA", EVP_PKEY_KEYPAIR, nullptr, nullptr);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(pem.data());
    size_t len = pem.size();
    if (!d || !OSSL_DECODER_from_data(d, &p, &len)) {
        EVP_PKEY_free(key);
        key = nullptr;
    }
    OSSL_DECODER_CTX_free(d);
    return std::unique_ptr<EVP_PKEY, PkeyFree>(key);
}

// Element nesting of a document, counted on its tags, so that no deep input reaches the
// recursive parser.
int TagDepth(const std::string& xml)
{
    int depth = 0, most = 0;
    for (size_t i = 0; i + 1 < xml.size(); ++i) {
        if (xml[i] != '<')
            continue;
        const char c = xml[i + 1];
        if (c == '/') {
            --depth;
        } else if (c != '?' && c != '!') {
            size_t end = xml.find('>', i);
            if (end == std::string::npos)
                break;
            if (xml[end - 1] != '/')
                most = std::max(most, ++depth);
            i = end;
        }
    }
    return most;
}

const char* TextOf(const TiXmlElement* e)
{
    const char* t = e ? e->GetText() : nullptr;
    return t ? t : "";
}

} // namespace

bool OpenRequest(const std::string& container, const std::string& keyPath, std::string& xml, std::string& error)
{
    if (container.size() > kMaxContainer) {
        error = "request too big";
        return false;
    }
    if (container.size() < kHeader + kRsaBlock + 4 || container.compare(0, 7, "XMLPRST") != 0) {
        error = "not a reset request";
        return false;
    }
    const unsigned char* b = reinterpret_cast<const unsigned char*>(container.data());
    const size_t n = (size_t(b[kHeader + kRsaBlock]) << 24) | (size_t(b[kHeader + kRsaBlock + 1]) << 16) |
                     (size_t(b[kHeader + kRsaBlock + 2]) << 8) | size_t(b[kHeader + kRsaBlock + 3]);
    const size_t body = kHeader + kRsaBlock + 4;
    if (n == 0 || n % 16 != 0 || n != container.size() - body) {
        error = "request length does not match";
        return false;
    }
    auto key = ReadPrivateKey(keyPath);
    if (!key) {
        error = "cannot read the private key " + keyPath;
        return false;
    }
    unsigned char block[kRsaBlock] = {};
    size_t blockLen = sizeof block;
    std::unique_ptr<EVP_PKEY_CTX, PkeyCtxFree> ctx(EVP_PKEY_CTX_new(key.get(), nullptr));
    if (!ctx || EVP_PKEY_decrypt_init(ctx.get()) <= 0 ||
        EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) <= 0 ||
        EVP_PKEY_decrypt(ctx.get(), block, &blockLen, b + kHeader, kRsaBlock) <= 0 || blockLen != kKeyBlock) {
        error = "the request was sealed for another key";
        return false;
    }
    std::unique_ptr<EVP_CIPHER_CTX, CipherFree> c(EVP_CIPHER_CTX_new());
    std::string plain(n + 16, '\0');
    int n1 = 0, n2 = 0;
    unsigned char* out = reinterpret_cast<unsigned char*>(&plain[0]);
    const bool ok = c && EVP_DecryptInit_ex(c.get(), EVP_aes_256_cbc(), nullptr, block, block + 32) > 0 &&
                    EVP_DecryptUpdate(c.get(), out, &n1, b + body, int(n)) > 0 &&
                    EVP_DecryptFinal_ex(c.get(), out + n1, &n2) > 0;
    if (!ok) {
        error = "the request does not decrypt";
        return false;
    }
    plain.resize(size_t(n1 + n2));
    xml = plain;
    return true;
}

bool ParseRequest(const std::string& xml, Request& request, std::string& error)
{
    request = Request();
    if (xml.size() > kMaxContainer || TagDepth(xml) > kMaxDepth) {
        error = "request document too big or too deep";
        return false;
    }
    TiXmlDocument doc;
    // UTF-8 and shape are checked first: the parser reads past the end of cut UTF-8 sequences.
    xmlguard::ParseChecked(xml, &doc, nullptr);
    const TiXmlElement* root = doc.RootElement();
    if (doc.Error() || !root || root->ValueStr() != "rstinfo") {
        error = "not a reset request document";
        return false;
    }
    const TiXmlElement* user = root->FirstChildElement("userinfo");
    request.ip = TextOf(user ? user->FirstChildElement("ip") : nullptr);
    request.mac = TextOf(user ? user->FirstChildElement("mac") : nullptr);
    request.create = TextOf(root->FirstChildElement("create"));
    const TiXmlElement* list = root->FirstChildElement("devicelist");
    if (!list) {
        error = "request without device list";
        return false;
    }
    for (const TiXmlElement* d = list->FirstChildElement("device"); d; d = d->NextSiblingElement("device")) {
        if (request.descriptions.size() >= kMaxDevices) {
            error = "more than 256 devices in the request";
            return false;
        }
        std::string text = TextOf(d);
        if (text.size() > kMaxDescription) {
            error = "device description too long";
            return false;
        }
        request.descriptions.push_back(std::move(text));
    }
    return true;
}

bool ParseDescription(const std::string& text, Description& d)
{
    if (text.size() > kMaxDescription || text.compare(0, 5, "RST1:") != 0)
        return false;
    std::vector<std::string> parts;
    std::stringstream in(text.substr(5));
    std::string part;
    // serial, then six MAC groups, the number, and the contact (which may be empty)
    while (std::getline(in, part, ':') && parts.size() < 16)
        parts.push_back(part);
    if (text.back() == ':')
        parts.push_back("");
    if (parts.size() != 9 || parts[0].empty())
        return false;
    const std::string& number = parts[7];
    if (number.empty() || number.size() > 9 || number.find_first_not_of("0123456789") != std::string::npos)
        return false;
    d.serial = parts[0];
    d.mac = parts[1];
    for (int i = 2; i <= 6; ++i)
        d.mac += ":" + parts[size_t(i)];
    d.number = unsigned(std::stoul(number));
    d.contact = parts[8];
    return true;
}

std::string SecurityCodeFor(const std::string& description, const std::string& secret)
{
    Description d;
    if (!ParseDescription(description, d))
        return std::string();
    return SecurityCodeOf(secret, d.serial, d.number);
}

std::string AuthorizationXml(const Request& request, const std::string& create, const std::string& secret)
{
    TiXmlDocument doc;
    doc.LinkEndChild(new TiXmlDeclaration("1.0", "UTF-8", ""));
    auto* root = new TiXmlElement("rstinfo");
    doc.LinkEndChild(root);
    auto text = [](TiXmlElement* parent, const char* name, const std::string& value) {
        auto* e = new TiXmlElement(name);
        e->LinkEndChild(new TiXmlText(value));
        parent->LinkEndChild(e);
        return e;
    };
    text(root, "version", "1");
    text(root, "create", create);
    auto* list = new TiXmlElement("devicelist");
    root->LinkEndChild(list);
    for (const std::string& description : request.descriptions) {
        Description d;
        if (!ParseDescription(description, d))
            continue;
        auto* device = new TiXmlElement("device");
        device->SetAttribute("SN", d.serial);
        for (unsigned k = 0; k < 3; ++k)
            text(device, "code", SecurityCodeOf(secret, d.serial, d.number + k));
        list->LinkEndChild(device);
    }
    TiXmlPrinter printer;
    printer.SetIndent("    ");
    doc.Accept(&printer);
    return printer.Str();
}

std::string LocalTimeText(long long offsetSec)
{
    std::time_t t = std::time(nullptr) + std::time_t(offsetSec);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

} // namespace resetsvc
