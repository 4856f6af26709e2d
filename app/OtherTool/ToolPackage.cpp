#include "OtherTool/ToolPackage.h"

#include <set>

#include "Common/XmlGuard.h"

namespace othertool {

namespace {

// Element counts and depth far below the settings store's own limits: a tool list is small.
enum : int { kMaxDepth = 16 };
enum : size_t { kMaxElements = 20000 };

size_t Utf8Chars(const std::string& text)
{
    size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

bool PlainFileName(const std::string& name, size_t maxChars)
{
    if (name.empty() || Utf8Chars(name) > maxChars || name == "." || name == "..")
        return false;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F || c == '/' || c == '\\' || c == ':')
            return false;
    }
    return true;
}

std::string Attr(const TiXmlElement* e, const char* name)
{
    const char* v = e->Attribute(name);
    return v ? std::string(v) : std::string();
}

bool ParseBounded(const std::string& xml, TiXmlDocument* doc, std::string* why)
{
    if (xml.size() > xmlguard::kMaxFileBytes) {
        if (why)
            *why = "larger than " + std::to_string(xmlguard::kMaxFileBytes >> 20) + " MiB";
        return false;
    }
    if (!xmlguard::ValidUtf8(xml)) {
        if (why)
            *why = "not UTF-8 text";
        return false;
    }
    if (!xmlguard::ShapeWithin(xml.data(), xml.size(), kMaxDepth, kMaxElements, why))
        return false;
    return xmlguard::ParseChecked(xml, doc, why);
}

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text.substr(0, 80))
        out.push_back(c < 0x20 ? '?' : static_cast<char>(c));
    if (text.size() > 80)
        out += "...";
    return out + "\"";
}

} // namespace

bool ParseAppVersion(const std::string& version, uint64_t* number)
{
    if (version.empty() || version.size() > kMaxVersionChars)
        return false;
    size_t dots = 0;
    for (char c : version)
        dots += c == '.';
    if (dots != 3 || (version[0] != 'T' && version[0] != 'R'))
        return false;
    std::string digits(1, version[0] == 'T' ? '0' : '1');
    for (size_t i = 1; i < version.size(); ++i) {
        if (version[i] != '.')
            digits.push_back(version[i]);
    }
    uint64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        const uint64_t d = static_cast<uint64_t>(c - '0');
        if (value > (UINT64_MAX - d) / 10)
            return false;
        value = value * 10 + d;
    }
    if (number)
        *number = value;
    return true;
}

bool ValidToolName(const std::string& name) { return PlainFileName(name, kMaxNameChars) && name[0] != '-'; }

bool ValidImageName(const std::string& name) { return name.empty() || PlainFileName(name, kMaxImageChars); }

bool ReadToolList(const std::string& xml, std::vector<ToolEntry>* tools, std::vector<std::string>* problems,
                  std::string* why)
{
    TiXmlDocument doc;
    if (!ParseBounded(xml, &doc, why))
        return false;
    std::set<std::string> names;
    size_t seen = 0;
    for (const TiXmlElement* list = doc.RootElement()->FirstChildElement("APPConfig"); list;
         list = list->NextSiblingElement("APPConfig")) {
        for (const TiXmlElement* e = list->FirstChildElement(); e; e = e->NextSiblingElement()) {
            if (++seen > kMaxListedTools) {
                problems->push_back("more than " + std::to_string(kMaxListedTools) + " tool entries; the rest was not read");
                return true;
            }
            ToolEntry t;
            t.name = Attr(e, "Name");
            t.version = Attr(e, "Version");
            t.images[0] = Attr(e, "UINormal");
            t.images[1] = Attr(e, "UIHover");
            t.images[2] = Attr(e, "UIDown");
            t.images[3] = Attr(e, "UIDisable");
            const std::string where = "entry " + std::to_string(seen) + ": ";
            if (!ValidToolName(t.name)) {
                problems->push_back(where + "the name " + Quoted(t.name) + " is not a valid tool name");
                continue;
            }
            if (Utf8Chars(t.version) > kMaxVersionChars) {
                problems->push_back(where + "the version of " + Quoted(t.name) + " is too long");
                continue;
            }
            bool imagesOk = true;
            for (const std::string& image : t.images)
                imagesOk = imagesOk && ValidImageName(image);
            if (!imagesOk) {
                problems->push_back(where + "an image name of " + Quoted(t.name) + " is not a plain file name");
                continue;
            }
            if (!names.insert(t.name).second) {
                problems->push_back(where + Quoted(t.name) + " is listed twice");
                continue;
            }
            if (tools->size() >= kMaxTools) {
                problems->push_back(where + Quoted(t.name) + " is beyond the " + std::to_string(kMaxTools) +
                                    " tools the page shows");
                continue;
            }
            tools->push_back(t);
        }
    }
    return true;
}

void WriteToolList(TiXmlElement* root, const std::vector<ToolEntry>& tools)
{
    if (TiXmlElement* old = root->FirstChildElement("APPConfig"))
        root->RemoveChild(old);
    TiXmlElement list("APPConfig");
    for (const ToolEntry& t : tools) {
        TiXmlElement app("APP");
        app.SetAttribute("Name", t.name.c_str());
        app.SetAttribute("Version", t.version.c_str());
        app.SetAttribute("UIHover", t.images[1].c_str());
        app.SetAttribute("UINormal", t.images[0].c_str());
        app.SetAttribute("UIDown", t.images[2].c_str());
        app.SetAttribute("UIDisable", t.images[3].c_str());
        list.InsertEndChild(app);
    }
    root->InsertEndChild(list);
}

Refusal ReadAppInfo(const std::string& xml, int language, ToolEntry* entry, uint64_t* number)
{
    TiXmlDocument doc;
    std::string why;
    if (!ParseBounded(xml, &doc, &why))
        return {Problem::AppInfoDamaged, why};
    const TiXmlElement* root = doc.RootElement();
    const TiXmlElement* ui = root->FirstChildElement("UIConfig");
    const TiXmlElement* lang = ui ? ui->FirstChildElement("Language") : nullptr;
    int value = 0;
    if (!lang || lang->QueryIntAttribute("value", &value) != TIXML_SUCCESS)
        return {Problem::AppInfoDamaged, "no UIConfig/Language value"};
    if (value != language)
        return {Problem::WrongLanguage, std::to_string(value)};
    const TiXmlElement* app = root->FirstChildElement("APPConfig");
    if (!app)
        return {Problem::AppInfoDamaged, "no APPConfig element"};
    ToolEntry t;
    t.images[0] = Attr(app, "UINormal");
    t.images[1] = Attr(app, "UIHover");
    t.images[2] = Attr(app, "UIDown");
    t.images[3] = Attr(app, "UIDisable");
    t.name = Attr(app, "Name");
    t.version = Attr(app, "Version");
    if (!ValidToolName(t.name))
        return {Problem::BadName, t.name.substr(0, 80)};
    for (const std::string& image : t.images) {
        if (!ValidImageName(image))
            return {Problem::BadImage, image.substr(0, 80)};
    }
    if (!ParseAppVersion(t.version, number))
        return {Problem::BadVersion, t.version.substr(0, 80)};
    *entry = t;
    return {};
}

bool EntryPathStaysInside(const std::string& path)
{
    if (path.empty() || path.size() > kMaxEntryPathChars)
        return false;
    if (path[0] == '/' || path[0] == '\\' || path.find(':') != std::string::npos)
        return false;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("/\\", start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..")
            return false;
        for (unsigned char c : part) {
            if (c < 0x20)
                return false;
        }
        start = end + 1;
    }
    return true;
}

Refusal CheckArchiveListing(const std::string& listing, ListingTotals* totals)
{
    if (listing.size() > kMaxListingBytes)
        return {Problem::TooManyEntries, std::to_string(kMaxEntries)};
    ListingTotals sum;
    bool inEntry = false;
    std::string path;
    auto finish = [&]() -> Refusal {
        if (inEntry && path.empty())
            return {Problem::ListingDamaged, ""};
        inEntry = false;
        path.clear();
        return {};
    };
    size_t pos = 0;
    while (pos < listing.size()) {
        size_t end = listing.find('\n', pos);
        if (end == std::string::npos)
            end = listing.size();
        std::string line = listing.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty()) {
            if (Refusal r = finish())
                return r;
            continue;
        }
        const size_t eq = line.find(" = ");
        std::string key, value;
        if (eq != std::string::npos) {
            key = line.substr(0, eq);
            value = line.substr(eq + 3);
        } else if (line.size() >= 2 && line.compare(line.size() - 2, 2, " =") == 0) {
            key = line.substr(0, line.size() - 2);
        } else {
            // A name with a line break in it, or output we do not know: trust none of it.
            return {Problem::ListingDamaged, ""};
        }
        if (key == "Path") {
            if (inEntry)
                return {Problem::ListingDamaged, ""};
            inEntry = true;
            path = value;
            if (++sum.entries > kMaxEntries)
                return {Problem::TooManyEntries, std::to_string(kMaxEntries)};
            if (!EntryPathStaysInside(path))
                return {Problem::EscapingPath, path.substr(0, 200)};
            continue;
        }
        if (!inEntry)
            continue;
        if (key == "Size" && !value.empty()) {
            uint64_t size = 0;
            for (char c : value) {
                if (c < '0' || c > '9' || size > (UINT64_MAX - 9) / 10)
                    return {Problem::ListingDamaged, ""};
                size = size * 10 + static_cast<uint64_t>(c - '0');
            }
            if (size > kMaxUnpackedBytes || sum.unpackedBytes + size > kMaxUnpackedBytes)
                return {Problem::TooBigUnpacked, std::to_string(kMaxUnpackedBytes >> 20)};
            sum.unpackedBytes += size;
        } else if (key == "Attributes") {
            // "A -rw-r--r--", "D drwxr-xr-x", "A lrwxrwxrwx", "V 01800000 0rw-------": the Unix
            // mode's type letter; links and device, pipe or socket entries are refused.
            const size_t space = value.rfind(' ');
            const std::string mode = space == std::string::npos ? value : value.substr(space + 1);
            if (mode.size() == 10 && std::string("lbcps").find(mode[0]) != std::string::npos)
                return {Problem::LinkEntry, path.substr(0, 200)};
        } else if ((key == "Symbolic Link" || key == "Hard Link" || key == "Link") && !value.empty()) {
            return {Problem::LinkEntry, path.substr(0, 200)};
        } else if (key == "Encrypted" && value == "+") {
            return {Problem::EncryptedEntry, path.substr(0, 200)};
        }
    }
    if (Refusal r = finish())
        return r;
    if (totals)
        *totals = sum;
    return {};
}

} // namespace othertool
