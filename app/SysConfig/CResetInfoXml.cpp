#include "SysConfig/CResetInfoXml.h"

#include "Common/XmlGuard.h"

#include <cstdio>
#include <ctime>
#include <memory>

namespace {

struct FileCloser {
    void operator()(FILE* f) const { fclose(f); }
};

const TiXmlElement* Path(const TiXmlNode* node, std::initializer_list<const char*> names)
{
    const TiXmlElement* e = nullptr;
    for (const char* name : names) {
        const TiXmlNode* child = node ? node->FirstChild(name) : nullptr;
        e = child ? child->ToElement() : nullptr;
        if (!e)
            return nullptr;
        node = e;
    }
    return e;
}

// Element nesting counted on the tags, before the recursive parser sees the text.
int TagDepth(const std::string& xml)
{
    int depth = 0, most = 0;
    for (size_t i = 0; i + 1 < xml.size(); ++i) {
        if (xml[i] != '<')
            continue;
        if (xml[i + 1] == '/') {
            --depth;
            continue;
        }
        if (xml[i + 1] == '?' || xml[i + 1] == '!')
            continue;
        const size_t end = xml.find('>', i);
        if (end == std::string::npos)
            break;
        if (xml[end - 1] != '/' && ++depth > most)
            most = depth;
        i = end;
    }
    return most;
}

} // namespace

CResetInfoXml::CResetInfoXml(std::string path)
{
    if (path.empty())
        return;
    std::unique_ptr<FILE, FileCloser> f(fopen(path.c_str(), "rb"));
    if (!f)
        return;
    // Bounded read: an authorisation file is small; a bigger or deeper one is left unparsed and
    // fails the shape check.
    std::string text;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f.get())) > 0) {
        text.append(buf, n);
        if (long(text.size()) > kMaxFileSize)
            return;
    }
    f.reset();
    LoadText(text);
    m_strPath = path;
}

void CResetInfoXml::LoadText(const std::string& text)
{
    m_doc = TiXmlDocument();
    if (long(text.size()) > kMaxFileSize || TagDepth(text) > kMaxDepth)
        return;
    // UTF-8 and shape are checked first: the parser reads past the end of cut UTF-8 sequences.
    xmlguard::ParseChecked(text, &m_doc, nullptr);
}

CResetInfoXml::~CResetInfoXml() {}

int CResetInfoXml::CheckFormat()
{
    return Path(&m_doc, {"rstinfo", "create"}) && Path(&m_doc, {"rstinfo", "devicelist", "device", "code"}) ? 1
                                                                                                             : 0;
}

bool CResetInfoXml::ReadResetInfo(CodeMap& codes, std::string& create)
{
    m_listCodes.clear();
    if (!Path(&m_doc, {"rstinfo", "version"}))
        return false;
    const TiXmlElement* c = Path(&m_doc, {"rstinfo", "create"});
    if (!c)
        return false;
    create = c->GetText() ? c->GetText() : "";
    const TiXmlElement* list = Path(&m_doc, {"rstinfo", "devicelist"});
    if (!list)
        return false;
    std::string serial;
    for (const TiXmlElement* d = list->FirstChildElement(); d; d = d->NextSiblingElement()) {
        if (const char* sn = d->Attribute("SN")) {
            serial = sn;
            for (const TiXmlElement* code = d->FirstChildElement(); code; code = code->NextSiblingElement())
                m_listCodes.push_back(code->GetText() ? code->GetText() : "");
        }
        codes.insert(std::make_pair(serial, std::vector<std::string>(m_listCodes.begin(), m_listCodes.end())));
        m_listCodes.clear();
    }
    return true;
}

int CResetInfoXml::WriteResetRequest(const RESET_REQUEST_INFO* info, std::string path)
{
    if (!info || info->count < 0 || info->count > RESET_REQUEST_INFO::kMaxDevices ||
        size_t(info->count) > info->device.size())
        return -1;
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char created[512] = {};
    std::snprintf(created, sizeof created, "%04d-%02d-%02dT%02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    TiXmlDocument doc;
    doc.LinkEndChild(new TiXmlDeclaration("1.0", "UTF-8", ""));
    auto* root = new TiXmlElement("rstinfo");
    doc.LinkEndChild(root);
    auto text = [](TiXmlElement* parent, const char* name, const std::string& value) {
        auto* e = new TiXmlElement(name);
        e->LinkEndChild(new TiXmlText(value));
        parent->LinkEndChild(e);
    };
    text(root, "version", "1");
    auto* user = new TiXmlElement("userinfo");
    root->LinkEndChild(user);
    text(user, "ip", info->ip);
    text(user, "mac", info->mac);
    text(root, "create", created);
    auto* list = new TiXmlElement("devicelist");
    root->LinkEndChild(list);
    for (int i = 0; i < info->count; ++i)
        text(list, "device", info->device[size_t(i)]);
    return doc.SaveFile(path.c_str()) ? 0 : -1;
}
