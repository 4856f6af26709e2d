// Text messages of the P2P server protocol: writer and reader.
#include "P2PSDK/HttpMessage.h"

#include "P2PSDK/Print.h"
#include "P2PSDK/XmlDocument.h"

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace Orvan {
namespace Tou {

namespace {

template <size_t N>
void copyCut(char (&dst)[N], const char* src, size_t srcLength)
{
    size_t n = std::min(srcLength, N - 1);
    std::memcpy(dst, src, n);
    dst[n] = '\0';
}

template <size_t N>
void copyCut(char (&dst)[N], const std::string& src)
{
    copyCut(dst, src.data(), src.size());
}

bool hasLineBreak(const char* text)
{
    return std::strpbrk(text, "\r\n") != nullptr;
}

class Writer
{
public:
    Writer(char* buffer, int size) : m_buffer(buffer), m_size(size), m_used(0), m_ok(true) { buffer[0] = '\0'; }

    void line(const char* fmt, ...) __attribute__((format(printf, 2, 3)))
    {
        if (!m_ok)
            return;
        va_list args;
        va_start(args, fmt);
        int n = std::vsnprintf(m_buffer + m_used, size_t(m_size - m_used), fmt, args);
        va_end(args);
        if (n < 0 || n + 2 >= m_size - m_used) {
            m_ok = false;
            return;
        }
        m_used += n;
        m_buffer[m_used++] = '\r';
        m_buffer[m_used++] = '\n';
        m_buffer[m_used] = '\0';
    }

    void bytes(const char* data, int length)
    {
        if (!m_ok || length <= 0)
            return;
        if (length > m_size - m_used) {
            m_ok = false;
            return;
        }
        std::memcpy(m_buffer + m_used, data, size_t(length));
        m_used += length;
        if (m_used < m_size)
            m_buffer[m_used] = '\0';
    }

    int result() const { return m_ok ? m_used : -1; }

private:
    char* m_buffer;
    int m_size;
    int m_used;
    bool m_ok;
};

// Reads one X-WSSE word "Key="value"," into the record.
void readWsseWord(HttpMessage* msg, std::string word)
{
    for (size_t i = 1; i < word.size(); ++i)
        if (word[i] == '"' || word[i] == ',')
            word[i] = ' ';
    size_t eq = word.find('=');
    if (eq == std::string::npos)
        return;
    std::string key = word.substr(0, eq + 1);
    size_t start = word.find_first_not_of(' ', eq + 1);
    std::string value = start == std::string::npos ? "" : word.substr(start, word.find(' ', start) - start);
    if (strcasecmp(key.c_str(), "Username=") == 0)
        copyCut(msg->username, value);
    else if (strcasecmp(key.c_str(), "PasswordDigest=") == 0)
        copyCut(msg->passwordDigest, value);
    else if (strcasecmp(key.c_str(), "Nonce=") == 0)
        copyCut(msg->nonce, value);
    else if (strcasecmp(key.c_str(), "Created=") == 0)
        copyCut(msg->created, value);
}

void readWsse(HttpMessage* msg, const std::string& value)
{
    std::vector<std::string> words;
    size_t pos = 0;
    while (pos < value.size()) {
        size_t start = value.find_first_not_of(' ', pos);
        if (start == std::string::npos)
            break;
        size_t end = value.find(' ', start);
        if (end == std::string::npos)
            end = value.size();
        words.push_back(value.substr(start, end - start));
        pos = end;
    }
    if (words.size() != 5)
        return;
    for (const std::string& w : words)
        if (w.size() > 63)
            return; // over-long words make the whole header void
    msg->wsse = 1;
    for (const std::string& w : words)
        readWsseWord(msg, w);
}

// Negative lengths stay negative (refused by the caller); huge ones are capped.
int readLength(const std::string& text)
{
    long long v = std::strtoll(text.c_str(), nullptr, 10);
    return v < 0 ? -1 : v > 0x7fffffff ? 0x7fffffff : int(v);
}

void readHeader(HttpMessage* msg, const char* line, size_t length)
{
    const char* colon = static_cast<const char*>(std::memchr(line, ':', length));
    if (!colon)
        return;
    std::string name(line, std::min<size_t>(size_t(colon - line), 32));
    // The value starts two characters after the colon, whatever they are ("Host:abc" gives "bc").
    size_t valueStart = std::min(size_t(colon - line) + 2, length);
    std::string value(line + valueStart, std::min<size_t>(length - valueStart, 1024));
    const char* n = name.c_str();
    if (strcasecmp(n, "Content-type") == 0)
        copyCut(msg->contentType, value);
    else if (strcasecmp(n, "Content-length") == 0)
        msg->contentLength = readLength(value);
    else if (strcasecmp(n, "Host") == 0)
        copyCut(msg->host, value);
    else if (strcasecmp(n, "X-KVPV") == 0)
        copyCut(msg->version, value);
    else if (strcasecmp(n, "CSeq") == 0)
        msg->CSeq = std::atoi(value.c_str());
    else if (strcasecmp(n, "X-WSSE") == 0)
        readWsse(msg, value);
    else if (strcasecmp(n, "Date") == 0)
        copyCut(msg->date, value);
}

bool readStartLine(HttpMessage* msg, const char* line, size_t length)
{
    const char* end = line + length;
    const char* blank1 = static_cast<const char*>(std::memchr(line, ' ', length));
    if (!blank1)
        return false;
    const char* blank2 = static_cast<const char*>(std::memchr(blank1 + 1, ' ', size_t(end - blank1 - 1)));
    if (!blank2)
        return false;
    std::string first(line, std::min<size_t>(size_t(blank1 - line), 32));
    std::string second(blank1 + 1, std::min<size_t>(size_t(blank2 - blank1 - 1), 1024));
    if (first.compare(0, 4, "HTTP") == 0) {
        msg->kind = kHttpResponse;
        msg->status = std::atoi(second.c_str());
        copyCut(msg->reason, blank2 + 1, size_t(end - blank2 - 1));
    } else {
        msg->kind = (first == "GET" || first == "ZRGET") ? kHttpGet : kHttpPost;
        copyCut(msg->url, second);
    }
    return true;
}

std::string secretOf(const HttpMessage& msg, const char* password)
{
    if (msg.realm[0])
        return std::string(msg.realm) + ":" + msg.username + ":" + (password ? password : "");
    return password ? password : "";
}

std::string escapeXml(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c; break;
        }
    }
    return out;
}

} // namespace

int serializeHttpMessage(const HttpMessage* msg, char* buffer, int size)
{
    if (!msg || !buffer || size <= 0)
        return -1;
    // A value holding a line break would add header lines; a blank in the url would shift the start line.
    if (std::strpbrk(msg->url, " \t\r\n") || hasLineBreak(msg->reason) || hasLineBreak(msg->host) ||
        hasLineBreak(msg->version) || hasLineBreak(msg->date) || hasLineBreak(msg->contentType) ||
        (msg->wsse && (std::strpbrk(msg->username, "\"\r\n") || hasLineBreak(msg->nonce) ||
                       hasLineBreak(msg->created) || hasLineBreak(msg->passwordDigest))))
        return -1;
    if (msg->contentLength > 0 && !msg->body)
        return -1;
    Writer w(buffer, size);
    if (msg->kind == kHttpResponse) {
        w.line("HTTP/1.1 %d %s", msg->status, msg->reason);
    } else {
        bool priv = privateMethods() != 0;
        const char* method = msg->kind == kHttpGet ? (priv ? "ZRGET" : "GET") : (priv ? "ZRPOST" : "POST");
        w.line("%s %s HTTP/1.1", method, msg->url);
    }
    if (msg->host[0])
        w.line("Host: %s", msg->host);
    if (msg->version[0])
        w.line("X-KVPV: %s", msg->version);
    if (msg->date[0])
        w.line("Date: %s", msg->date);
    w.line("CSeq: %d", msg->CSeq);
    if (msg->wsse) {
        if (msg->kind == kHttpResponse) {
            w.line("WWW-Authenticate: WSSE realm=\"kelvra\", profile=\"UsernameToken\"");
            if (!msg->date[0])
                w.line("Date: %s", msg->created);
        } else {
            w.line("Authorization: WSSE profile=\"UsernameToken\"");
            w.line("X-WSSE: UsernameToken Username=\"%s\", PasswordDigest=\"%s\", Nonce=\"%s\", Created=\"%s\"",
                   msg->username, msg->passwordDigest, msg->nonce, msg->created);
        }
    }
    if (msg->contentLength > 0)
        w.line("Content-Type: %s", msg->contentType);
    if (msg->kind == kHttpPost || msg->contentLength > 0)
        w.line("Content-Length: %d", msg->contentLength);
    w.line("%s", "");
    w.bytes(msg->body, msg->contentLength);
    return w.result();
}

int parseHttpMessage(HttpMessage* msg, const char* data, int length)
{
    if (!msg || !data || length <= 0)
        return -1;
    std::memset(msg, 0, sizeof(*msg));
    size_t pos = 0, total = size_t(length);
    bool first = true;
    for (;;) {
        const char* line = data + pos;
        const char* crlf = nullptr;
        for (size_t i = pos; i + 1 < total; ++i)
            if (data[i] == '\r' && data[i + 1] == '\n') {
                crlf = data + i;
                break;
            }
        if (!crlf)
            return -1;
        size_t lineLength = size_t(crlf - line);
        pos += lineLength + 2;
        if (first) {
            if (!readStartLine(msg, line, lineLength))
                return -1;
            first = false;
            continue;
        }
        if (lineLength == 0)
            break;
        readHeader(msg, line, lineLength);
    }
    msg->headerLength = int(pos);
    msg->body = data + pos;
    if (msg->contentLength < 0)
        return -1;
    if (size_t(msg->contentLength) > total - pos)
        return -2;
    return msg->headerLength + msg->contentLength;
}

void buildXmlBody(const FieldMap& fields, std::string& body)
{
    auto whole = fields.find("");
    if (whole != fields.end()) {
        body = whole->second;
        return;
    }
    body = "<body>";
    for (const auto& f : fields)
        body += "<" + f.first + ">" + escapeXml(f.second) + "</" + f.first + ">";
    body += "</body>";
}

void parseXmlBody(const char* text, FieldMap& fields)
{
    static const char* const kNames[] = {"DS",      "US",    "Identify", "LocalAddr", "PubAddr", "Address", "PortMapAddr",
                                         "Agent",   "Token", "Type",     "version",   "Relay",   "agentAddr", "NatValueT",
                                         "STUN",    "PortNum", "seq",    "ip",        "port"};
    if (!text || !text[0])
        return;
    CXmlDocument doc;
    if (doc.parse(text) != 0) {
        TOU_PRINT(printLevelError, "onXmlParse xml ERROR\n");
        return;
    }
    CXmlElement* root = doc.getRoot();
    if (!root || std::strcmp(root->getName(), "body") != 0)
        return;
    for (const char* name : kNames) {
        CXmlElement* child = root->getChild(name, 0);
        if (!child)
            continue;
        std::string value = child->getText();
        if (value.size() > 1023)
            value.resize(1023);
        fields[name] = value;
    }
}

void buildRequestMessage(const HttpRequest& request, HttpMessage& msg, std::string& body, int serverTimeDiff)
{
    std::memset(&msg, 0, sizeof(msg));
    msg.kind = request.method;
    copyCut(msg.url, request.url);
    msg.CSeq = request.CSeq;
    if (request.auth) {
        msg.wsse = 1;
        if (request.username.find('\\') == std::string::npos)
            copyCut(msg.realm, std::string("ZRP2P"));
        copyCut(msg.username, request.username);
        std::snprintf(msg.nonce, sizeof(msg.nonce), "%d", generateRandomId());
        formatIsoTime(msg.created, sizeof(msg.created), time(nullptr) - serverTimeDiff);
        signRequest(msg, request.password.c_str());
    }
    if (!request.fields.empty()) {
        buildXmlBody(request.fields, body);
        msg.body = body.c_str();
        msg.contentLength = int(body.size());
    }
}

void buildResponseMessage(int CSeq, int status, const char* reason, const FieldMap& fields, HttpMessage& msg,
                          std::string& body)
{
    std::memset(&msg, 0, sizeof(msg));
    msg.kind = kHttpResponse;
    msg.status = status;
    if (reason)
        copyCut(msg.reason, reason, std::strlen(reason));
    msg.CSeq = CSeq;
    if (!fields.empty()) {
        buildXmlBody(fields, body);
        msg.body = body.c_str();
        msg.contentLength = int(body.size());
    }
}

void setUnauthorizedResponse(HttpMessage& msg)
{
    msg.kind = kHttpResponse;
    msg.status = 401;
    copyCut(msg.reason, std::string("Unauthorized"));
    msg.wsse = 1;
    formatIsoTime(msg.created, sizeof(msg.created), time(nullptr));
}

void signRequest(HttpMessage& msg, const char* password)
{
    computeWsseDigest(msg.nonce, msg.created, msg.passwordDigest, secretOf(msg, password).c_str());
}

int verifyWsseDigest(const HttpMessage& msg, const char* password, int allowedSeconds)
{
    auto check = [&](time_t now) {
        time_t created = parseIsoTime(msg.created);
        long long diff = (long long)now - (long long)created;
        if (diff > allowedSeconds || diff < -allowedSeconds)
            return -1;
        char digest[32];
        computeWsseDigest(msg.nonce, msg.created, digest, secretOf(msg, password).c_str());
        return std::strcmp(digest, msg.passwordDigest) == 0 ? 0 : -1;
    };
    time_t now = time(nullptr);
    if (check(now) == 0)
        return 0;
    return check(now + localZoneOffset());
}

} // namespace Tou
} // namespace Orvan
