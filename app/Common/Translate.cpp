#include "Common/Translate.h"

#include "Common/AppPath.h"
#include "Common/AppSettings.h"
#include "Common/SFStreamConvert.h"
#include "Common/XmlGuard.h"

#include <tinyxml.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <mutex>

using SF_SOFT_BASE::CSFStreamConvert;

namespace {

enum { TR_BUFFERS = 5, TR_UNITS = 1024 };

struct TrState {
    std::mutex lock;
    std::map<std::wstring, std::wstring> map;
    bool loaded = false;
    bool tried = false;
    struct stat triedFile = {}; // the file as it was at the last failed attempt
    std::wstring problem; // why the language file was not used, empty when it was
    wchar_t ring[TR_BUFFERS][TR_UNITS] = {};
    int next = 0;
};

TrState& State()
{
    static TrState* state = new TrState;
    return *state;
}

void TryLoad(TrState& state)
{
    CSFStreamConvert dir(SFGetAppPath().c_str(), SF_SOFT_BASE::SF_CP_UTF8);
    char path[512];
    snprintf(path, sizeof path, "%s/Lang/Lang_%d.xml", dir.GetMultiByte(), CAppSettings::Language);
    // A file that failed is tried again only once it has changed (added, written, replaced), not
    // for every text.
    struct stat now = {};
    if (stat(path, &now) != 0)
        now = {};
    if (state.tried && now.st_ino == state.triedFile.st_ino && now.st_size == state.triedFile.st_size &&
        now.st_mtim.tv_sec == state.triedFile.st_mtim.tv_sec &&
        now.st_mtim.tv_nsec / 1000000 == state.triedFile.st_mtim.tv_nsec / 1000000)
        return;
    state.tried = true;
    state.triedFile = now;
    state.problem.clear();
    CSFStreamConvert shown(path, SF_SOFT_BASE::SF_CP_UTF8);
    TiXmlDocument doc;
    std::string reason;
    // Checked before parsing: a file nested too deep or too large is refused, never parsed.
    if (!xmlguard::LoadChecked(path, &doc, &reason)) {
        // The built-in texts are English: only another language needs its file.
        bool missing = reason == "cannot be opened" && access(path, F_OK) != 0;
        if (CAppSettings::Language != 0 || !missing) {
            CSFStreamConvert why(reason.c_str(), SF_SOFT_BASE::SF_CP_UTF8);
            state.problem = std::wstring(L"The language file ") + shown.GetWideChar() + L" cannot be read (" +
                            why.GetWideChar() + L"); texts are shown in English.";
        }
        return;
    }
    state.loaded = true;
    const TiXmlElement* root = doc.RootElement();
    if (!root)
        return;
    for (const TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
        const char* name = e->Attribute("name");
        const char* value = e->Attribute("value");
        if (!name || !value)
            continue;
        CSFStreamConvert key(name, SF_SOFT_BASE::SF_CP_UTF8);
        CSFStreamConvert text(value, SF_SOFT_BASE::SF_CP_UTF8);
        state.map[key.GetWideChar()] = text.GetWideChar();
    }
}

} // namespace

const wchar_t* Tr(const wchar_t* key)
{
    TrState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    if (!key)
        key = L"";
    if (!state.loaded)
        TryLoad(state);
    const wchar_t* found = key;
    auto it = state.map.find(key);
    if (it != state.map.end())
        found = it->second.c_str();
    wchar_t* out = state.ring[state.next];
    wcsncpy(out, found, TR_UNITS - 1);
    out[TR_UNITS - 1] = 0;
    state.next = (state.next + 1) % TR_BUFFERS;
    return out;
}

void TrResetForTest()
{
    TrState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.map.clear();
    state.loaded = false;
    state.tried = false;
    state.problem.clear();
}

std::wstring TrLoadProblem()
{
    TrState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    if (!state.loaded)
        TryLoad(state);
    return state.problem;
}

std::wstring GetSdkErrorText(uint32_t code)
{
    const wchar_t* key = nullptr;
    switch (code) {
    case 0: key = L"Success"; break;
    case 100: key = L"Allocate memory failed"; break;
    case 101: key = L"Device network card ip not match"; break;
    case 102: key = L"Not initialized"; break;
    case 103: key = L"Reset password mode not match"; break;
    case 0x80000002:
    case 0x8000006C: key = L"network error, maybe timeout"; break;
    case 0x80000007: key = L"Illegal parameter"; break;
    case 0x80000015: key = L"return data error"; break;
    case 0x80000019: key = L"not authorized"; break;
    case 0x80000038: key = L"set network config failed"; break;
    case 0x80000056: key = L"password error,it has exceeded the limit number of times"; break;
    case 0x80000064:
    case 0x80000096:
    case 0x80000097: key = L"password error"; break;
    case 0x80000065:
    case 0x80000093: key = L"user not exist"; break;
    case 0x80000066:
    case 0x8000006B: key = L"login time out"; break;
    case 0x80000067: key = L"account logged"; break;
    case 0x80000068: key = L"acount locked"; break;
    case 0x80000069: key = L"acount is blacklisted"; break;
    case 0x8000006A: key = L"insufficient resources,the system is busy"; break;
    case 0x8000006E: key = L"exceed the maximum number of connections"; break;
    case 0x8000006F: key = L"only supports the third generation protocol"; break;
    case 0x80000094: key = L"user permissions beyond group permissions"; break;
    case 0x80000098: key = L"account is being used"; break;
    case 0x800003F2: key = L"Serialize error"; break;
    case 0x800003F3: key = L"Deserialize error"; break;
    case 0x800003F7: key = L"Failed to load data"; break;
    case 0x800003F8: key = L"New password format incorrect"; break;
    case 0x800003F9: key = L"Device initialized"; break;
    case 0x800003FA: key = L"Security code error"; break;
    default: break;
    }
    if (key)
        return Tr(key);
    wchar_t hex[32];
    swprintf(hex, 32, L" 0x%08X", code);
    return std::wstring(Tr(L"unknow error, code:")) + hex;
}
