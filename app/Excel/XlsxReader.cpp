#include "Excel/XlsxReader.h"


#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include <tinyxml.h>

#include "Common/XmlGuard.h"
#include "Excel/WorkbookLibs.h"
#include "os/RuntimeLib.h"

namespace {

// Parts larger than this are refused rather than inflated.
const zip_uint64_t kMaxPartSize = 256u * 1024u * 1024u;
// What one workbook may expand to: cells of all its sheets and shared strings.
const size_t kMaxCells = 500000;

const char* LocalName(const char* name)
{
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

bool Is(const TiXmlElement* e, const char* local)
{
    return std::strcmp(LocalName(e->Value()), local) == 0;
}

const TiXmlElement* Child(const TiXmlElement* parent, const char* local)
{
    for (const TiXmlElement* e = parent->FirstChildElement(); e; e = e->NextSiblingElement())
        if (Is(e, local))
            return e;
    return nullptr;
}

// Attribute by local name, so that "r:id" and "x:id" both match "id" when a prefix is required.
const char* Attr(const TiXmlElement* e, const char* local, bool prefixed = false)
{
    for (const TiXmlAttribute* a = e->FirstAttribute(); a; a = a->Next()) {
        const char* name = a->Name();
        bool hasPrefix = std::strchr(name, ':') != nullptr;
        if (hasPrefix == prefixed && std::strcmp(LocalName(name), local) == 0)
            return a->Value();
    }
    return nullptr;
}

// Element text with "_xHHHH_" escapes decoded.
std::string Unescape(const std::string& s)
{
    if (s.find("_x") == std::string::npos)
        return s;
    std::string out;
    for (size_t i = 0; i < s.size();) {
        if (s.compare(i, 2, "_x") == 0 && i + 7 <= s.size() && s[i + 6] == '_') {
            bool hex = true;
            for (size_t k = i + 2; k < i + 6; ++k)
                hex = hex && std::isxdigit(static_cast<unsigned char>(s[k]));
            if (hex) {
                unsigned cp = static_cast<unsigned>(std::strtoul(s.substr(i + 2, 4).c_str(), nullptr, 16));
                if (cp < 0x80) {
                    out += static_cast<char>(cp);
                } else if (cp < 0x800) {
                    out += static_cast<char>(0xC0 | (cp >> 6));
                    out += static_cast<char>(0x80 | (cp & 0x3F));
                } else {
                    out += static_cast<char>(0xE0 | (cp >> 12));
                    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                    out += static_cast<char>(0x80 | (cp & 0x3F));
                }
                i += 7;
                continue;
            }
        }
        out += s[i++];
    }
    return out;
}

std::string ElementText(const TiXmlElement* e)
{
    std::string text;
    for (const TiXmlNode* n = e->FirstChild(); n; n = n->NextSibling())
        if (const TiXmlText* t = n->ToText())
            text += t->Value();
    return text;
}

// Text of a rich or plain string item (<si> or <is>): every <t>, phonetic runs left out.
std::string StringItemText(const TiXmlElement* item)
{
    std::string text;
    for (const TiXmlElement* e = item->FirstChildElement(); e; e = e->NextSiblingElement()) {
        if (Is(e, "t")) {
            text += ElementText(e);
        } else if (Is(e, "r")) {
            if (const TiXmlElement* t = Child(e, "t"))
                text += ElementText(t);
        }
    }
    return Unescape(text);
}

class CPackage {
public:
    explicit CPackage(const ZipLib& lib) : m_lib(lib) {}
    ~CPackage()
    {
        if (m_zip)
            m_lib.zip_discard(m_zip);
    }
    bool Open(const std::string& path, std::string* message)
    {
        int err = 0;
        m_zip = m_lib.zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &err);
        if (!m_zip) {
            zip_error_t ze;
            m_lib.zip_error_init_with_code(&ze, err);
            *message = m_lib.zip_error_strerror(&ze);
            m_lib.zip_error_fini(&ze);
        }
        return m_zip != nullptr;
    }
    bool Has(const std::string& name) const { return m_lib.zip_name_locate(m_zip, name.c_str(), ZIP_FL_NOCASE) >= 0; }
    // Reads a part; false when missing, too large or damaged.
    bool Read(const std::string& name, std::string* data, std::string* message) const
    {
        zip_int64_t index = m_lib.zip_name_locate(m_zip, name.c_str(), ZIP_FL_NOCASE);
        if (index < 0) {
            *message = "missing part " + name;
            return false;
        }
        zip_stat_t st;
        if (m_lib.zip_stat_index(m_zip, static_cast<zip_uint64_t>(index), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) ||
            st.size > kMaxPartSize) {
            *message = "unusable part " + name;
            return false;
        }
        zip_file_t* f = m_lib.zip_fopen_index(m_zip, static_cast<zip_uint64_t>(index), 0);
        if (!f) {
            *message = m_lib.zip_strerror(m_zip);
            return false;
        }
        data->assign(static_cast<size_t>(st.size), '\0');
        zip_int64_t got = st.size ? m_lib.zip_fread(f, &(*data)[0], st.size) : 0;
        bool ok = got == static_cast<zip_int64_t>(st.size);
        if (!ok)
            *message = std::string("damaged part ") + name + ": " + m_lib.zip_file_strerror(f);
        m_lib.zip_fclose(f);
        return ok;
    }

private:
    const ZipLib& m_lib;
    zip_t* m_zip = nullptr;
};

// Parses with white space kept as it stands in cell texts.
bool ParseXml(const std::string& text, TiXmlDocument* doc, std::string* why = nullptr)
{
    bool condensed = TiXmlBase::IsWhiteSpaceCondensed();
    TiXmlBase::SetCondenseWhiteSpace(false);
    const bool ok = xmlguard::ParseChecked(text, doc, why);
    TiXmlBase::SetCondenseWhiteSpace(condensed);
    return ok;
}

std::string DirOf(const std::string& part)
{
    size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

// Resolves a relationship target against the folder of its source part.
std::string ResolveTarget(const std::string& baseDir, const std::string& target)
{
    std::string joined = !target.empty() && target[0] == '/' ? target.substr(1) : baseDir + target;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t slash = joined.find('/', start);
        if (slash == std::string::npos)
            slash = joined.size();
        std::string segment = joined.substr(start, slash - start);
        if (segment == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!segment.empty() && segment != ".") {
            parts.push_back(segment);
        }
        start = slash + 1;
    }
    std::string out;
    for (const auto& p : parts)
        out += (out.empty() ? "" : "/") + p;
    return out;
}

struct Relationship {
    std::string type;
    std::string target;
};

// Relationships of a part, by id (the package's own for an empty part name); empty when none.
std::map<std::string, Relationship> ReadRelationships(const CPackage& pkg, const std::string& part)
{
    std::map<std::string, Relationship> rels;
    std::string relsPart = DirOf(part) + "_rels/" + part.substr(DirOf(part).size()) + ".rels";
    std::string data, message;
    TiXmlDocument doc;
    if (!pkg.Read(relsPart, &data, &message) || !ParseXml(data, &doc))
        return rels;
    for (const TiXmlElement* e = doc.RootElement()->FirstChildElement(); e; e = e->NextSiblingElement()) {
        const char* id = Attr(e, "Id");
        const char* type = Attr(e, "Type");
        const char* target = Attr(e, "Target");
        const char* mode = Attr(e, "TargetMode");
        if (!id || !target || (mode && std::strcmp(mode, "External") == 0))
            continue;
        rels[id] = {type ? type : "", ResolveTarget(DirOf(part), target)};
    }
    return rels;
}

bool EndsWith(const std::string& s, const char* tail)
{
    size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

// "BC12" -> column 55, row 12. False when the reference is malformed.
bool ParseCellRef(const char* ref, int* row, int* column)
{
    int c = 0, r = 0;
    const char* p = ref;
    while (*p >= 'A' && *p <= 'Z') {
        c = c * 26 + (*p - 'A' + 1);
        if (c > CWorksheet::kMaxColumns)
            return false;
        ++p;
    }
    if (c == 0)
        return false;
    if (*p < '1' || *p > '9')
        return false;
    while (*p >= '0' && *p <= '9') {
        r = r * 10 + (*p - '0');
        if (r > CWorksheet::kMaxRows)
            return false;
        ++p;
    }
    if (*p)
        return false;
    *row = r;
    *column = c;
    return true;
}

CCellValue CellValue(const TiXmlElement* c, const std::vector<std::string>& shared, bool* ok)
{
    const char* type = Attr(c, "t");
    std::string t = type ? type : "n";
    const TiXmlElement* v = Child(c, "v");
    if (t == "inlineStr") {
        const TiXmlElement* is = Child(c, "is");
        return CCellValue::FromText(is ? StringItemText(is) : std::string());
    }
    if (!v)
        return CCellValue();
    std::string text = ElementText(v);
    if (t == "s") {
        char* end = nullptr;
        long index = std::strtol(text.c_str(), &end, 10);
        if (end == text.c_str() || *end || index < 0 || static_cast<size_t>(index) >= shared.size()) {
            *ok = false;
            return CCellValue();
        }
        return CCellValue::FromText(shared[static_cast<size_t>(index)]);
    }
    if (t == "b")
        return CCellValue::FromBool(text == "1" || text == "true");
    if (t == "str" || t == "e" || t == "d")
        return CCellValue::FromText(Unescape(text));
    char* end = nullptr;
    double number = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end) {
        *ok = false;
        return CCellValue();
    }
    return CCellValue::FromNumber(number);
}

// A cell element with no value still belongs to the used range, as a formatted cell does.
bool ReadSheet(const TiXmlElement* root, const std::vector<std::string>& shared, CWorksheet* sheet, size_t* cells,
               std::string* message)
{
    const TiXmlElement* data = Child(root, "sheetData");
    if (!data)
        return true;
    int row = 0;
    for (const TiXmlElement* r = data->FirstChildElement(); r; r = r->NextSiblingElement()) {
        if (!Is(r, "row"))
            continue;
        const char* rowAttr = Attr(r, "r");
        if (rowAttr) {
            long n = std::strtol(rowAttr, nullptr, 10);
            row = n >= 1 && n <= CWorksheet::kMaxRows ? static_cast<int>(n) : 0;
        } else {
            ++row;
        }
        if (row < 1 || row > CWorksheet::kMaxRows) {
            *message = "row number out of range";
            return false;
        }
        int column = 0;
        for (const TiXmlElement* c = r->FirstChildElement(); c; c = c->NextSiblingElement()) {
            if (!Is(c, "c"))
                continue;
            int cellRow = row;
            if (const char* ref = Attr(c, "r")) {
                if (!ParseCellRef(ref, &cellRow, &column)) {
                    *message = std::string("bad cell reference ") + ref;
                    return false;
                }
            } else if (++column > CWorksheet::kMaxColumns) {
                *message = "column out of range";
                return false;
            }
            // Each cell costs memory far beyond its few bytes in the file: count them all.
            if (++*cells > kMaxCells) {
                *message = "more than " + std::to_string(kMaxCells) + " cells in the workbook";
                return false;
            }
            bool ok = true;
            CCellValue value = CellValue(c, shared, &ok);
            if (!ok) {
                *message = "bad cell value";
                return false;
            }
            if (value.IsEmpty())
                value = CCellValue::FromText(std::string());
            sheet->SetCell(cellRow, column, value);
        }
    }
    return true;
}

}  // namespace

bool CXlsxReader::Read(const std::string& path, CWorkbook* workbook, EWorkbookError* error, std::string* message)
{
    const ZipLib* lib = LoadZipLib();
    if (!lib) {
        *error = EWorkbookError::NoLibrary;
        *message = ZipRuntimeLib().Error();
        return false;
    }
    *error = EWorkbookError::Corrupt;
    CPackage pkg(*lib);
    if (!pkg.Open(path, message))
        return false;

    std::string workbookPart = "xl/workbook.xml";
    for (const auto& rel : ReadRelationships(pkg, ""))
        if (EndsWith(rel.second.type, "/officeDocument"))
            workbookPart = rel.second.target;

    std::string data;
    TiXmlDocument doc;
    if (!pkg.Read(workbookPart, &data, message)) {
        *error = EWorkbookError::NotWorkbook;
        return false;
    }
    std::string why;
    if (!ParseXml(data, &doc, &why)) {
        *message = "unreadable " + workbookPart + ": " + why;
        return false;
    }
    std::map<std::string, Relationship> rels = ReadRelationships(pkg, workbookPart);

    std::vector<std::string> shared;
    std::string sharedPart;
    for (const auto& rel : rels)
        if (EndsWith(rel.second.type, "/sharedStrings"))
            sharedPart = rel.second.target;
    if (sharedPart.empty() && pkg.Has(DirOf(workbookPart) + "sharedStrings.xml"))
        sharedPart = DirOf(workbookPart) + "sharedStrings.xml";
    if (!sharedPart.empty()) {
        std::string sst;
        TiXmlDocument sstDoc;
        if (!pkg.Read(sharedPart, &sst, message) || !ParseXml(sst, &sstDoc, &why)) {
            if (message->empty())
                *message = "unreadable shared strings: " + why;
            return false;
        }
        for (const TiXmlElement* si = sstDoc.RootElement()->FirstChildElement(); si; si = si->NextSiblingElement()) {
            if (!Is(si, "si"))
                continue;
            if (shared.size() >= kMaxCells) {
                *message = "more than " + std::to_string(kMaxCells) + " shared strings";
                return false;
            }
            shared.push_back(StringItemText(si));
        }
    }

    const TiXmlElement* root = doc.RootElement();
    const TiXmlElement* sheets = Is(root, "workbook") ? Child(root, "sheets") : nullptr;
    if (!sheets) {
        *error = EWorkbookError::NotWorkbook;
        *message = "no workbook in the package";
        return false;
    }
    int activeTab = 0;
    if (const TiXmlElement* views = Child(root, "bookViews"))
        if (const TiXmlElement* view = Child(views, "workbookView"))
            if (const char* tab = Attr(view, "activeTab"))
                activeTab = static_cast<int>(std::min(std::strtol(tab, nullptr, 10), 65535L));

    size_t cells = 0;
    for (const TiXmlElement* s = sheets->FirstChildElement(); s; s = s->NextSiblingElement()) {
        if (!Is(s, "sheet"))
            continue;
        const char* name = Attr(s, "name");
        const char* rid = Attr(s, "id", true);
        auto rel = rid ? rels.find(rid) : rels.end();
        CWorksheet* sheet = workbook->Worksheets().Add(name ? name : "");
        // Chart sheets and dialog sheets stay as empty sheets.
        if (rel == rels.end() || !EndsWith(rel->second.type, "/worksheet"))
            continue;
        std::string sheetData;
        TiXmlDocument sheetDoc;
        if (!pkg.Read(rel->second.target, &sheetData, message))
            return false;
        if (!ParseXml(sheetData, &sheetDoc, &why)) {
            *message = "unreadable " + rel->second.target + ": " + why;
            return false;
        }
        if (!ReadSheet(sheetDoc.RootElement(), shared, sheet, &cells, message)) {
            *message = rel->second.target + ": " + *message;
            return false;
        }
    }
    if (workbook->Worksheets().Count() == 0) {
        *message = "workbook has no sheets";
        return false;
    }
    workbook->SetActiveIndex(activeTab + 1);
    *error = EWorkbookError::None;
    message->clear();
    return true;
}
