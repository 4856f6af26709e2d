#include "Common/ConfigItem.h"

#include "Common/SFStreamConvert.h"

#include <tinyxml.h>

using SF_SOFT_BASE::CSFStreamConvert;

CConfigItem::CConfigItem(const wchar_t* section, const std::wstring& key, bool* target, bool def)
    : m_pSection(section), m_strKey(key), m_pBool(target), m_bDefault(def), m_nScale(1), m_nMin(0), m_nMax(1)
{
}

CConfigItem::CConfigItem(const wchar_t* section, const std::wstring& key, int32_t* target, int32_t def,
                         uint32_t scale, uint32_t min, uint32_t max)
    : m_pSection(section), m_strKey(key), m_pInt(target), m_nDefault(def), m_nScale(scale), m_nMin(min), m_nMax(max)
{
}

CConfigItem::CConfigItem(const wchar_t* section, const std::wstring& key, double* target, double def)
    : m_pSection(section), m_strKey(key), m_pDouble(target), m_dDefault(def)
{
}

CConfigItem::CConfigItem(const wchar_t* section, const std::wstring& key, std::wstring* target,
                         const std::wstring& def)
    : m_pSection(section), m_strKey(key), m_pString(target), m_strDefault(def)
{
}

void CConfigItem::Load(IConfigPersistent* persister)
{
    if (!persister)
        return;
    if (m_pBool) {
        *m_pBool = persister->GetBool(m_pSection, m_strKey.c_str(), m_bDefault, 0);
    } else if (m_pInt) {
        *m_pInt = persister->GetInt2(m_pSection, m_strKey.c_str(), m_nDefault, 0);
        if (m_nScale != 0 && m_nMin < m_nMax) {
            const uint32_t low = m_nMin * m_nScale;
            const uint32_t high = m_nMax * m_nScale;
            const uint32_t value = static_cast<uint32_t>(*m_pInt);
            if (value <= low)
                *m_pInt = static_cast<int32_t>(low);
            else if (value >= high)
                *m_pInt = static_cast<int32_t>(high);
        }
    } else if (m_pDouble) {
        *m_pDouble = persister->GetDouble(m_pSection, m_strKey.c_str(), m_dDefault, 0);
    } else if (m_pString) {
        *m_pString = persister->GetString(m_pSection, m_strKey.c_str(), m_strDefault, 0, 0);
        if (m_pString->empty() && !m_strDefault.empty())
            *m_pString = m_strDefault;
    }
}

void CConfigItem::Save(TiXmlElement* parent) const
{
    if (!parent)
        return;
    CSFStreamConvert name(m_strKey.c_str(), SF_SOFT_BASE::SF_CP_ACP);
    TiXmlElement element(name.GetMultiByte());
    if (m_pBool) {
        element.SetAttribute("value", *m_pBool ? 1 : 0);
        element.SetAttribute("Default", m_bDefault ? 1 : 0);
        element.SetAttribute("Min", 0);
        element.SetAttribute("Max", 1);
    } else if (m_pInt) {
        element.SetAttribute("value", *m_pInt);
        element.SetAttribute("Default", m_nDefault);
        element.SetAttribute("Min", static_cast<int>(m_nMin));
        element.SetAttribute("Max", static_cast<int>(m_nMax));
        element.SetAttribute("Scale", static_cast<int>(m_nScale));
    } else if (m_pDouble) {
        element.SetDoubleAttribute("value", *m_pDouble);
        element.SetDoubleAttribute("Default", m_dDefault);
    } else if (m_pString) {
        CSFStreamConvert value(m_pString->c_str(), SF_SOFT_BASE::SF_CP_UTF8);
        CSFStreamConvert def(m_strDefault.c_str(), SF_SOFT_BASE::SF_CP_ACP);
        element.SetAttribute("value", value.GetMultiByte());
        element.SetAttribute("Default", m_strDefault.empty() ? "" : def.GetMultiByte());
    }
    parent->InsertEndChild(element);
}
