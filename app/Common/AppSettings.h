// The application's settings: plain fields that pages read and write directly. Twenty of them are kept
// in section UIConfig of Config/config.xml; Password and LocalIp live in memory only.
#pragma once

#include "Common/ConfigItem.h"
#include "Common/ConfigPersistent.h"

#include <cstdint>
#include <string>
#include <vector>

class CAppSettings {
public:
    static std::wstring User;
    static std::wstring Password;
    static std::wstring LoginIp;
    static std::wstring SearchIpS;
    static int32_t Port;
    static std::wstring SearchIpE;
    static int32_t IpTypeFilter;
    static int32_t DevTypeFilter;
    static int32_t SDKMethod;
    static bool SearchBoadcast;
    static bool SearchByIp;
    static bool PasswordResetXmlFlag;
    static int32_t Language;
    static int32_t nUpdateTimeout_Minute;
    static int32_t nUpdateWaittime_Sec;
    static int32_t BroadcastPort;
    static std::wstring LocalIp;
    static std::wstring DownloadPath;
    static std::wstring CloudURL;
    static bool CloudEnable;
    static bool NoticePassword;
    static bool NoticeCloud;

    // The store that Load reads through (not owned).
    static void SetPersister(IConfigPersistent* persister);
    // Registers the items and fills every one from the persister (defaults where it has none).
    static void Load();
    // What went wrong reading the settings file at the last Load, for the user; empty when
    // nothing did (a missing file is not a problem).
    static const std::string& LoadProblem();
    // Puts loaded values the program relies on back in range: ports, language, download folder.
    static void CheckLoaded();
    // The download folder when the settings name none: in the user's data folder.
    static std::wstring DefaultDownloadPath();
    // Makes the download folder when it is the default one and does not exist yet; a folder the
    // user chose is left as it is.
    static void MakeDefaultDownloadPath();
    // Rewrites section UIConfig of the settings file and keeps every other section. false when the
    // file could not be written; the file is then unchanged.
    static bool SaveConfig();
    static bool Save();

    static void RegisterItems();
    static void AddBoolItem(const wchar_t* section, const std::wstring& key, bool* target, bool def);
    static void AddIntItem(const wchar_t* section, const std::wstring& key, int32_t* target, int32_t def,
                           uint32_t scale, uint32_t min, uint32_t max);
    static void AddStringItem(const wchar_t* section, const std::wstring& key, std::wstring* target,
                              const std::wstring& def);

private:
    static std::vector<CConfigItem>& Items();
    static IConfigPersistent* s_pPersister;
};
