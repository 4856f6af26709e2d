// The password-reset request ("rstinfo" document written for the maker's service) and the
// authorisation file that comes back (read: serial number -> codes, and the create time).
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

#include <tinyxml.h>

// The request record. The descriptions are owned texts; at most kMaxDevices are written.
struct RESET_REQUEST_INFO {
    static constexpr int kMaxDevices = 256;
    std::string version;
    int32_t reserved1 = 0;
    int32_t reserved2 = 0;
    std::string ip;
    std::string mac;
    int32_t count = 0;
    std::vector<std::string> device;
};

class CResetInfoXml {
public:
    typedef std::map<std::string, std::vector<std::string>> CodeMap;

    explicit CResetInfoXml(std::string path);
    ~CResetInfoXml();
    // Parses a document held in memory (what the constructor does with the file's bytes); a
    // text over kMaxFileSize bytes or kMaxDepth levels is left unparsed.
    void LoadText(const std::string& text);

    // 1 when rstinfo/create, rstinfo/devicelist, .../device and .../device/code exist (first child
    // of that name at each step), else 0.
    int CheckFormat();
    // Fills codes (insertion never replaces) and the create text; false when version, create or
    // devicelist is missing.
    bool ReadResetInfo(CodeMap& codes, std::string& create);
    // 0 when written, -1 when the file cannot be written or the record names more than
    // kMaxDevices descriptions.
    int WriteResetRequest(const RESET_REQUEST_INFO* info, std::string path);

    static constexpr long kMaxFileSize = 4 * 1024 * 1024;
    static constexpr int kMaxDepth = 16;

private:
    TiXmlDocument m_doc;
    std::string m_strPath;
    CodeMap m_mapCodes;
    std::list<std::string> m_listCodes;
};
