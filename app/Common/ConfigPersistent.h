// Where settings are read from. Getters return the default when the entry is missing.
#pragma once

#include <string>

class IConfigPersistent {
public:
    virtual double GetDouble(const wchar_t* section, const wchar_t* key, double def, int reserved) = 0;
    virtual int GetInt(const wchar_t* section, const wchar_t* key, int def, int reserved) = 0;
    virtual bool GetBool(const wchar_t* section, const wchar_t* key, bool def, int reserved) = 0;
    virtual int GetInt2(const wchar_t* section, const wchar_t* key, int def, int reserved) = 0;
    virtual std::wstring GetString(const wchar_t* section, const wchar_t* key, std::wstring def, int reserved1,
                                   int reserved2) = 0;
    virtual void LoadFromText(const char* text) = 0;

protected:
    ~IConfigPersistent() = default;
};
