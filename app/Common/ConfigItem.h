// One setting bound to an entry of the settings file: section, key, target field, default and limits.
#pragma once

#include "Common/ConfigPersistent.h"

#include <cstdint>
#include <string>

class TiXmlElement;

class CConfigItem {
public:
    CConfigItem(const wchar_t* section, const std::wstring& key, bool* target, bool def);
    CConfigItem(const wchar_t* section, const std::wstring& key, int32_t* target, int32_t def, uint32_t scale,
                uint32_t min, uint32_t max);
    CConfigItem(const wchar_t* section, const std::wstring& key, double* target, double def);
    CConfigItem(const wchar_t* section, const std::wstring& key, std::wstring* target, const std::wstring& def);

    void Load(IConfigPersistent* persister);
    // Appends the item's element to `parent`.
    void Save(TiXmlElement* parent) const;

    const wchar_t* Section() const { return m_pSection; }

private:
    const wchar_t* m_pSection;
    std::wstring m_strKey;
    bool* m_pBool = nullptr;
    int32_t* m_pInt = nullptr;
    double* m_pDouble = nullptr;
    std::wstring* m_pString = nullptr;
    bool m_bDefault = false;
    int32_t m_nDefault = 0;
    double m_dDefault = 0.0;
    std::wstring m_strDefault;
    uint32_t m_nScale = 0;
    uint32_t m_nMin = 0;
    uint32_t m_nMax = 0;
};
