#include "Common/ConfigXMLPersistImp.h"

#include "Common/XmlGuard.h"

#include "Common/AppPath.h"
#include "Common/SFStreamConvert.h"

using SF_SOFT_BASE::CSFStreamConvert;

std::string CConfigXMLPersistImp::ConfigFilePath()
{
    const std::wstring dir = SFGetAppPath();
    if (dir.empty())
        return "Config/config.xml";
    CSFStreamConvert path((dir + L"/Config/config.xml").c_str(), SF_SOFT_BASE::SF_CP_ACP);
    return path.GetStdString();
}

CConfigXMLPersistImp::CConfigXMLPersistImp(const char* /*name*/) : m_strPath(ConfigFilePath())
{
    if (!xmlguard::LoadChecked(m_strPath.c_str(), &m_doc, nullptr))
        m_doc.Clear();
}

// The first element of the document is the root, whatever declaration or comments precede it.
const TiXmlElement* CConfigXMLPersistImp::FindEntry(const wchar_t* section, const wchar_t* key) const
{
    const TiXmlElement* root = m_doc.RootElement();
    if (!root || !section || !key)
        return nullptr;
    CSFStreamConvert sectionName(section, SF_SOFT_BASE::SF_CP_ACP);
    CSFStreamConvert keyName(key, SF_SOFT_BASE::SF_CP_ACP);
    const TiXmlElement* sectionElement = root->FirstChildElement(sectionName.GetMultiByte());
    if (!sectionElement)
        return nullptr;
    return sectionElement->FirstChildElement(keyName.GetMultiByte());
}

double CConfigXMLPersistImp::GetDouble(const wchar_t* section, const wchar_t* key, double def, int)
{
    const TiXmlElement* entry = FindEntry(section, key);
    double value = def;
    if (!entry || entry->QueryDoubleAttribute("value", &value) != TIXML_SUCCESS)
        return def;
    return value;
}

int CConfigXMLPersistImp::GetInt(const wchar_t* section, const wchar_t* key, int def, int)
{
    const TiXmlElement* entry = FindEntry(section, key);
    int value = def;
    if (!entry || entry->QueryIntAttribute("value", &value) != TIXML_SUCCESS)
        return def;
    return value;
}

bool CConfigXMLPersistImp::GetBool(const wchar_t* section, const wchar_t* key, bool def, int)
{
    const TiXmlElement* entry = FindEntry(section, key);
    bool value = def;
    if (!entry || entry->QueryBoolAttribute("value", &value) != TIXML_SUCCESS)
        return def;
    return value;
}

int CConfigXMLPersistImp::GetInt2(const wchar_t* section, const wchar_t* key, int def, int reserved)
{
    return GetInt(section, key, def, reserved);
}

std::wstring CConfigXMLPersistImp::GetString(const wchar_t* section, const wchar_t* key, std::wstring def, int, int)
{
    const TiXmlElement* entry = FindEntry(section, key);
    const char* value = entry ? entry->Attribute("value") : nullptr;
    if (!value)
        return def;
    CSFStreamConvert text(value, SF_SOFT_BASE::SF_CP_UTF8);
    return text.GetWideChar();
}

void CConfigXMLPersistImp::LoadFromText(const char* text)
{
    if (!text)
        return;
    if (!xmlguard::ParseChecked(text, &m_doc, nullptr))
        m_doc.Clear();
}
