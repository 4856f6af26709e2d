#include "Common/AppSettings.h"

#include "Common/ConfigXMLPersistImp.h"
#include "Common/XmlGuard.h"

#include <tinyxml.h>

#include <QDir>
#include <QStandardPaths>
#include <QString>

#include <cerrno>
#include <cstdio>
#include <cwchar>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

std::wstring CAppSettings::User;
std::wstring CAppSettings::Password;
std::wstring CAppSettings::LoginIp;
std::wstring CAppSettings::SearchIpS;
int32_t CAppSettings::Port = 0;
std::wstring CAppSettings::SearchIpE;
int32_t CAppSettings::IpTypeFilter = 0;
int32_t CAppSettings::DevTypeFilter = 0;
int32_t CAppSettings::SDKMethod = 0;
bool CAppSettings::SearchBoadcast = false;
bool CAppSettings::SearchByIp = false;
bool CAppSettings::PasswordResetXmlFlag = false;
int32_t CAppSettings::Language = 0;
int32_t CAppSettings::nUpdateTimeout_Minute = 0;
int32_t CAppSettings::nUpdateWaittime_Sec = 0;
int32_t CAppSettings::BroadcastPort = 0;
std::wstring CAppSettings::LocalIp;
std::wstring CAppSettings::DownloadPath;
std::wstring CAppSettings::CloudURL;
bool CAppSettings::CloudEnable = false;
bool CAppSettings::NoticePassword = false;
bool CAppSettings::NoticeCloud = false;
IConfigPersistent* CAppSettings::s_pPersister = nullptr;

namespace {

const wchar_t kSection[] = L"UIConfig";

bool MakeDirs(const std::string& dir)
{
    if (dir.empty())
        return true;
    struct stat st {};
    if (stat(dir.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const size_t slash = dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeDirs(dir.substr(0, slash)))
        return false;
    return mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST;
}

// Writes a temporary file beside `path` and renames it over `path`: the file is either the old one or
// the whole new one.
bool WriteFileAtomically(const std::string& path, const std::string& text)
{
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && !MakeDirs(path.substr(0, slash)))
        return false;
    const std::string temp = path + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += static_cast<size_t>(n);
    }
    const bool ok = written == text.size() && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

// Moves an unreadable settings file aside without replacing one moved aside before: .bad, then
// .bad2, .bad3 and so on. Answers the new name, or empty when it could not be moved.
std::string KeepAside(const std::string& path)
{
    for (int n = 1; n < 1000; ++n) {
        const std::string bad = path + ".bad" + (n > 1 ? std::to_string(n) : std::string());
        if (FileExists(bad))
            continue;
        return ::rename(path.c_str(), bad.c_str()) == 0 ? bad : std::string();
    }
    return std::string();
}

std::string g_loadProblem;

} // namespace

std::vector<CConfigItem>& CAppSettings::Items()
{
    static std::vector<CConfigItem> items;
    return items;
}

void CAppSettings::SetPersister(IConfigPersistent* persister) { s_pPersister = persister; }

void CAppSettings::AddBoolItem(const wchar_t* section, const std::wstring& key, bool* target, bool def)
{
    Items().emplace_back(section, key, target, def);
}

void CAppSettings::AddIntItem(const wchar_t* section, const std::wstring& key, int32_t* target, int32_t def,
                              uint32_t scale, uint32_t min, uint32_t max)
{
    Items().emplace_back(section, key, target, def, scale, min, max);
}

void CAppSettings::AddStringItem(const wchar_t* section, const std::wstring& key, std::wstring* target,
                                 const std::wstring& def)
{
    Items().emplace_back(section, key, target, def);
}

void CAppSettings::RegisterItems()
{
    Items().clear();
    AddStringItem(kSection, L"User", &User, L"");
    AddStringItem(kSection, L"LoginIp", &LoginIp, L"");
    AddIntItem(kSection, L"Port", &Port, 37777, 0, 0, 0);
    AddBoolItem(kSection, L"SearchBoadcast", &SearchBoadcast, false);
    AddBoolItem(kSection, L"SearchByIp", &SearchByIp, false);
    AddStringItem(kSection, L"SearchIpS", &SearchIpS, L"");
    AddStringItem(kSection, L"SearchIpE", &SearchIpE, L"");
    AddIntItem(kSection, L"IpTypeFilter", &IpTypeFilter, 0, 0, 0, 0);
    AddIntItem(kSection, L"DevTypeFilter", &DevTypeFilter, 0, 0, 0, 0);
    AddIntItem(kSection, L"SDKMethod", &SDKMethod, 0, 0, 0, 0);
    AddIntItem(kSection, L"Language", &Language, 0, 0, 0, 0);
    AddIntItem(kSection, L"nUpdateTimeout_Minute", &nUpdateTimeout_Minute, 20, 0, 0, 0);
    AddIntItem(kSection, L"nUpdateWaittime_Sec", &nUpdateWaittime_Sec, 30, 0, 0, 0);
    AddIntItem(kSection, L"BroadcastPort", &BroadcastPort, 5050, 0, 0, 0);
    AddBoolItem(kSection, L"PasswordResetXmlFlag", &PasswordResetXmlFlag, false);
    AddStringItem(kSection, L"DownloadPath", &DownloadPath, L"");
    AddStringItem(kSection, L"CloudURL", &CloudURL, L"");
    AddBoolItem(kSection, L"CloudEnable", &CloudEnable, false);
    AddBoolItem(kSection, L"NoticePassword", &NoticePassword, true);
    AddBoolItem(kSection, L"NoticeCloud", &NoticeCloud, true);
}

void CAppSettings::Load()
{
    // An unreadable file is kept aside at once and the user told; the defaults are used.
    g_loadProblem.clear();
    const std::string path = CConfigXMLPersistImp::ConfigFilePath();
    TiXmlDocument probe;
    std::string why;
    if (FileExists(path) && !xmlguard::LoadChecked(path.c_str(), &probe, &why)) {
        const std::string kept = KeepAside(path);
        g_loadProblem = "The settings file " + path + " could not be read (" + why + "). The default settings are used";
        g_loadProblem += kept.empty() ? "." : "; the unreadable file was kept as " + kept + ".";
    }
    RegisterItems();
    for (CConfigItem& item : Items())
        item.Load(s_pPersister);
    CheckLoaded();
}

void CAppSettings::CheckLoaded()
{
    if (Port < 1 || Port > 65535)
        Port = 37777;
    if (BroadcastPort < 1 || BroadcastPort > 65535)
        BroadcastPort = 5050;
    if (Language != 0 && Language != 1)
        Language = 0;
    // Firmware downloads go to the user's data folder unless the settings name another.
    if (DownloadPath.empty())
        DownloadPath = DefaultDownloadPath();
}

std::wstring CAppSettings::DefaultDownloadPath()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return (data + QStringLiteral("/vantyx-config/Download")).toStdWString();
}

void CAppSettings::MakeDefaultDownloadPath()
{
    if (DownloadPath.empty() || DownloadPath != DefaultDownloadPath())
        return;
    QDir().mkpath(QString::fromStdWString(DownloadPath));
}

const std::string& CAppSettings::LoadProblem() { return g_loadProblem; }

bool CAppSettings::SaveConfig() { return Save(); }

bool CAppSettings::Save()
{
    const std::string path = CConfigXMLPersistImp::ConfigFilePath();
    TiXmlDocument doc;
    const bool loaded = xmlguard::LoadChecked(path.c_str(), &doc, nullptr);
    if (!loaded) {
        // Keep an unreadable file aside instead of losing whatever it held.
        if (FileExists(path))
            KeepAside(path);
        doc.Clear();
        doc.InsertEndChild(TiXmlElement("Setting"));
    }
    TiXmlElement* root = doc.RootElement();
    if (TiXmlElement* old = root->FirstChildElement("UIConfig"))
        root->RemoveChild(old);

    TiXmlElement* section = nullptr;
    const wchar_t* lastSection = nullptr;
    for (const CConfigItem& item : Items()) {
        if (!section || !lastSection || wcscmp(lastSection, item.Section()) != 0) {
            std::string name;
            for (const wchar_t* p = item.Section(); *p; ++p)
                name.push_back(static_cast<char>(*p));
            section = root->InsertEndChild(TiXmlElement(name.c_str()))->ToElement();
            lastSection = item.Section();
        }
        item.Save(section);
    }

    TiXmlPrinter printer;
    printer.SetIndent("    ");
    doc.Accept(&printer);
    return WriteFileAtomically(path, printer.Str());
}
