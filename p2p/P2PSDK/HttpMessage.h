#ifndef ORVAN_TOU_HTTPMESSAGE_H
#define ORVAN_TOU_HTTPMESSAGE_H

#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace Orvan {
namespace Tou {

enum
{
    kHttpPost = 0,
    kHttpGet = 1,
    kHttpResponse = 100,
    kHttpBufferSize = 8192
};

// One text message of the P2P server protocol. Zero-filled before use; texts are NUL-terminated and cut.
struct HttpMessage
{
    int kind;
    char url[256];
    int status;
    char reason[32];
    int CSeq;
    char host[32];
    char date[32];
    char version[16];
    int headerLength;
    char contentType[256];
    int contentLength;
    const char* body; // not owned
    int wsse;
    char username[64];
    char passwordDigest[32];
    char nonce[32];
    char created[32];
    char realm[32];
};

using FieldMap = std::map<std::string, std::string>;

struct HttpRequest
{
    int CSeq = 0;
    int method = kHttpGet;
    std::string url;
    bool auth = false;
    std::string username;
    std::string password;
    FieldMap fields;
};

struct HttpResponse
{
    int CSeq = 0;
    int status = 0;
    std::string reason;
    FieldMap fields;
};

// Bytes written, or -1 for bad arguments, a message that does not fit, or a start line or header
// value that would break the message (blanks in the url, line breaks anywhere).
int serializeHttpMessage(const HttpMessage* msg, char* buffer, int size);
// Message length (headers plus body), -1 malformed, -2 body shorter than Content-Length.
int parseHttpMessage(HttpMessage* msg, const char* data, int length);

void buildRequestMessage(const HttpRequest& request, HttpMessage& msg, std::string& body, int serverTimeDiff);
void buildResponseMessage(int CSeq, int status, const char* reason, const FieldMap& fields, HttpMessage& msg,
                          std::string& body);
void setUnauthorizedResponse(HttpMessage& msg);

void buildXmlBody(const FieldMap& fields, std::string& body);
void parseXmlBody(const char* text, FieldMap& fields);

void signRequest(HttpMessage& msg, const char* password);
void computeWsseDigest(const char* nonce, const char* created, char* digest, const char* secret);
// 0 accepted, -1 rejected.
int verifyWsseDigest(const HttpMessage& msg, const char* password, int allowedSeconds);

void formatIsoTime(char* buffer, int size, time_t seconds);
time_t parseIsoTime(const char* text);
// Local zone's offset from UTC in seconds, east positive.
int localZoneOffset();

int generateRandomId();
int splitString(const char* text, char separator, std::vector<std::string>& parts);
void setPrivateMethods(int on);
int privateMethods();

// Device ids and relay tokens that may be pasted into a request path: letters, digits, '-', '_', '.',
// 1 to 128 characters.
bool isSafePathToken(const std::string& text);

} // namespace Tou
} // namespace Orvan

#endif
