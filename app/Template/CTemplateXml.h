// Reader of one template file. Made on the stack for one use, on whichever thread uses it (the
// GUI loop for the pages, the SDK loop for the apply worker); it never writes.
//
// File layout: root element IPC, DVR, NVR or SD; its children VideoColor, BLCMode, DayNightMode,
// FileManageMode, Encode (each with enable="1" and one Channel element carrying the values as
// attributes) and an empty PcSyn that marks a complete template.
//
// Reading is bounded: a file larger than kMaxFileBytes, nested deeper than kMaxDepth, with more
// than kMaxElements elements or that is not UTF-8 is refused as a whole (GetLoadError says why)
// and reads like a file without elements. Otherwise whatever the parser could read of a damaged
// file is what the operations see.
#pragma once

#include <string>
#include <vector>

#include <tinyxml.h>

#include "Template/TemplateInfo.h"

// The size of the buffer that carries a device's encode configuration as JSON text.
enum : int { TEMPLATE_JSON_BUFFER_SIZE = 10240 };

class CTemplateXml {
public:
    enum : size_t { kMaxFileBytes = 256 * 1024, kMaxElements = 4096 };
    enum : int { kMaxDepth = 16, kMaxJsonDepth = 64 };

    // Loads the file at path (narrow, the system code page). A file that cannot be opened leaves
    // the document and the path empty.
    explicit CTemplateXml(const char* path);
    ~CTemplateXml();
    CTemplateXml(const CTemplateXml&) = delete;
    CTemplateXml& operator=(const CTemplateXml&) = delete;

    // Why the file gave no document ("cannot be opened", "larger than ..."), or empty.
    const std::string& GetLoadError() const { return m_strLoadError; }

    // -1 without a root element; otherwise copies the root name (at most capacity characters, no
    // terminator: pass a zero-filled buffer) and returns 0.
    int GetRootName(wchar_t* buffer, int capacity) const;
    // The name from the path: after the last "/" up to the last ".xml"; copied like GetRootName,
    // nothing when it is empty. Returns 0.
    int GetTemplateName(wchar_t* buffer, int capacity) const;

    // The integer attribute "enable" of the root's child of that name; 0 when missing.
    int IsSectionEnabled(const wchar_t* section) const;

    // Section readers over section/child (the root's first child named section, its first child
    // named child). Each returns 1 when that element exists, else 0. A missing or non-integer
    // attribute leaves its field as it was.
    int ReadVideoColor(const wchar_t* section, const wchar_t* child, int& id, int& colorMode, int& brightness,
                       int& contrast, int& hue, int& saturation) const;
    int ReadBLCMode(const wchar_t* section, const wchar_t* child, tagTEMPLATE_BLC& blc) const;
    int ReadDayNightMode(const wchar_t* section, const wchar_t* child, tagTEMPLATE_DAYNIGHT& dayNight) const;
    // The 23 Encode attributes (not id); names copied as at most 49 bytes.
    int ReadEncode(const wchar_t* section, const wchar_t* child, tagTEMPLATE_ENCODE& encode) const;
    // id and FileManage; the six times only when FileManage is 2.
    int ReadFileManage(const wchar_t* section, const wchar_t* child, tagTEMPLATE_FILEMANAGE& fileManage) const;

    // Fills the whole record (zero-filled by the caller): name, type, then every section from its
    // Channel element. A missing section does not stop the others. 1 only when all five were
    // read; the names of the missing sections go to missing when given.
    int ReadTemplateInfo(tagTEMPLATEINFO& info, std::vector<std::string>* missing = nullptr) const;

    // Root IPC, NVR, DVR or SD with the children VideoColor, BLCMode, DayNightMode, Encode, PcSyn.
    bool IsValidTemplate() const;

    // Lays the template's Encode values over a device's encode configuration (JSON text in a
    // buffer of TEMPLATE_JSON_BUFFER_SIZE bytes) and writes the compact text back. 1 when done;
    // 0 when the element is missing, the text is not JSON, its params.table.MainFormat or
    // ExtraFormat entry for the template's stream index is missing or not an object, or the
    // result would not fit. On 0 the buffer stays as it was. With extraStream set, the extra
    // stream's video values are left alone while the template switches it off.
    int MergeEncodeIntoJson(const wchar_t* section, const wchar_t* child, char* buffer, int extraStream) const;

    // Romania/TimeFormat, Romania/DST, Romania/NTP and IntervalI/IFrameInterval; 1 or 0 as above.
    int ReadTimeFormat(int& dateFormat, int& dstEnable) const;
    int ReadDST(int& startMonth, int& startTime, int& startDay, int& endMonth, int& endTime, int& endDay) const;
    int ReadNTP(std::string& domainName, int& timeZone) const;
    int ReadIFrameInterval(int& main, int& extra) const;

private:
    const TiXmlElement* Find(const wchar_t* section, const wchar_t* child) const;
    const TiXmlElement* FindNarrow(const char* section, const char* child) const;

    TiXmlDocument m_doc;
    std::string m_strPath;
    std::string m_strLoadError;
};
