#include "Common/SFStreamConvert.h"

#include <QByteArray>
#include <QString>

#include <cstring>
#include <cwchar>

namespace SF_SOFT_BASE {

CSFStreamConvert::CSFStreamConvert(const wchar_t* wide, unsigned codePage) { FromWideChar(wide, codePage); }

CSFStreamConvert::CSFStreamConvert(const char* multiByte, unsigned codePage) { FromMultiByte(multiByte, codePage); }

CSFStreamConvert::~CSFStreamConvert() { Free(); }

void CSFStreamConvert::Free()
{
    delete[] m_pMultiByte;
    delete[] m_pWide;
    m_pMultiByte = nullptr;
    m_pWide = nullptr;
}

// Both code pages in use are UTF-8 on this platform; invalid input is replaced by U+FFFD.
char* CSFStreamConvert::FromWideChar(const wchar_t* wide, unsigned /*codePage*/)
{
    Free();
    if (!wide)
        wide = L"";
    const size_t n = wcslen(wide);
    m_pWide = new wchar_t[n + 1];
    wmemcpy(m_pWide, wide, n);
    m_pWide[n] = 0;
    const QByteArray bytes = QString::fromWCharArray(wide, static_cast<qsizetype>(n)).toUtf8();
    m_pMultiByte = new char[bytes.size() + 1];
    memcpy(m_pMultiByte, bytes.constData(), bytes.size());
    m_pMultiByte[bytes.size()] = 0;
    return m_pMultiByte;
}

wchar_t* CSFStreamConvert::FromMultiByte(const char* multiByte, unsigned /*codePage*/)
{
    Free();
    if (!multiByte)
        multiByte = "";
    const size_t n = strlen(multiByte);
    m_pMultiByte = new char[n + 1];
    memcpy(m_pMultiByte, multiByte, n + 1);
    const std::wstring wide = QString::fromUtf8(multiByte, static_cast<qsizetype>(n)).toStdWString();
    m_pWide = new wchar_t[wide.size() + 1];
    wmemcpy(m_pWide, wide.c_str(), wide.size() + 1);
    return m_pWide;
}

} // namespace SF_SOFT_BASE

std::string SFWideToUtf8(const std::wstring& text) { return QString::fromStdWString(text).toUtf8().toStdString(); }

std::wstring SFUtf8ToWide(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdWString();
}
