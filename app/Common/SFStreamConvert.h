// Text conversion between wide text and a multibyte code page: 65001 (UTF-8) or 0 (the system code
// page, which is UTF-8 here). Owns both buffers until destroyed or refilled.
#pragma once

#include <string>

namespace SF_SOFT_BASE {

enum : unsigned { SF_CP_ACP = 0, SF_CP_UTF8 = 65001 };

class CSFStreamConvert {
public:
    CSFStreamConvert() = default;
    CSFStreamConvert(const wchar_t* wide, unsigned codePage);
    CSFStreamConvert(const char* multiByte, unsigned codePage);
    virtual ~CSFStreamConvert();
    CSFStreamConvert(const CSFStreamConvert&) = delete;
    CSFStreamConvert& operator=(const CSFStreamConvert&) = delete;

    char* GetMultiByte() const { return m_pMultiByte; }
    wchar_t* GetWideChar() const { return m_pWide; }
    std::string GetStdString() const { return m_pMultiByte ? std::string(m_pMultiByte) : std::string(); }

    char* FromWideChar(const wchar_t* wide, unsigned codePage);
    wchar_t* FromMultiByte(const char* multiByte, unsigned codePage);

private:
    void Free();

    char* m_pMultiByte = nullptr;
    wchar_t* m_pWide = nullptr;
};

} // namespace SF_SOFT_BASE

// Shorthands over QString for wide <-> UTF-8.
std::string SFWideToUtf8(const std::wstring& text);
std::wstring SFUtf8ToWide(const std::string& text);
