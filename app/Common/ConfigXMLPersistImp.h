// Settings store over the XML file Config/config.xml in the application directory.
#pragma once

#include "Common/ConfigPersistent.h"

#include <tinyxml.h>

#include <string>

class CConfigXMLPersistImp : public IConfigPersistent {
public:
    // The name is ignored; the file is loaded when it can be read.
    explicit CConfigXMLPersistImp(const char* name = nullptr);
    virtual ~CConfigXMLPersistImp() = default;

    double GetDouble(const wchar_t* section, const wchar_t* key, double def, int reserved) override;
    int GetInt(const wchar_t* section, const wchar_t* key, int def, int reserved) override;
    bool GetBool(const wchar_t* section, const wchar_t* key, bool def, int reserved) override;
    int GetInt2(const wchar_t* section, const wchar_t* key, int def, int reserved) override;
    std::wstring GetString(const wchar_t* section, const wchar_t* key, std::wstring def, int reserved1,
                           int reserved2) override;
    void LoadFromText(const char* text) override;

    // The settings file: application directory + "/Config/config.xml" (relative when none is known).
    static std::string ConfigFilePath();

private:
    const TiXmlElement* FindEntry(const wchar_t* section, const wchar_t* key) const;

    TiXmlDocument m_doc;
    std::string m_strPath;
};
