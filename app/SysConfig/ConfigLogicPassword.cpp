// Password work of the worker: change through a login, and the login-less reset calls.
#include "SysConfig/CConfigLogic.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "Common/StrHelpers.h"
#include "Main/ShellPost.h"
#include "SysConfig/CConfigUILogic.h"
#include "devsdk/DevSdk.h"

using namespace VeyraBase;

namespace {

// Zero-pads a fixed-size record field with up to `size` bytes of the text, with no room kept for a
// terminator (strnlen/strncmp read such a field).
void CopyFixedField(char* field, size_t size, const char* text)
{
    std::memset(field, 0, size);
    std::memcpy(field, text, strnlen(text, size));
}

void CopyField(char* field, size_t size, const std::string& text, size_t max)
{
    SafeStrCopy(field, size, text.c_str(), max);
}

// The reset description of a device by MAC; the last error is read whatever the result.
int FetchDescription(const std::string& mac, const char* local, PWD_DESCRIPTION& d, DWORD& error)
{
    NET_IN_DESCRIPTION_FOR_RESET_PWD in{};
    in.dwSize = sizeof in;
    CopyField(in.szMac, sizeof in.szMac, mac, 39);
    std::vector<char> text(sysconfig::kDescriptionSize, 0);
    NET_OUT_DESCRIPTION_FOR_RESET_PWD out{};
    out.dwSize = sizeof out;
    out.pQrCode = text.data();
    out.nQrCodeLen = sysconfig::kDescriptionSize;
    const int result = SdkGetDescriptionForResetPwd(&in, &out, sysconfig::kResetWaitMs, local) ? 1 : 0;
    error = SdkGetLastError();
    d.phone.assign(out.szCellPhone, strnlen(out.szCellPhone, sizeof out.szCellPhone));
    d.mail.assign(out.szMailAddr, strnlen(out.szMailAddr, sizeof out.szMailAddr));
    d.text.assign(text.data(), strnlen(text.data(), text.size() - 1));
    return result;
}

} // namespace

void CConfigLogic::ModifyPassword(LONG login, const std::string& ip, const std::string& mac, const std::string& user,
                                  int index)
{
    std::unique_ptr<USER_MANAGE_INFO_NEW> block(new (std::nothrow) USER_MANAGE_INFO_NEW);
    int ok = 0;
    if (block) {
        std::memset(block.get(), 0, sizeof *block);
        block->dwSize = sizeof *block;
        for (auto& r : block->rightList)
            r.dwSize = sizeof r;
        for (auto& g : block->groupList)
            g.dwSize = sizeof g;
        for (auto& u : block->userList)
            u.dwSize = sizeof u;
        for (auto& e : block->extraList)
            e.dwSize = sizeof e;
        if (SdkQueryUserInfoNew(login, block.get(), nullptr, sysconfig::kUserWaitMs)) {
            // Every entry of the user is changed; the change succeeds only when at least one
            // entry matched and none of them failed.
            int matched = 0, failed = 0;
            const DWORD count = block->dwUserNum < DWORD(kMaxUsers) ? block->dwUserNum : DWORD(kMaxUsers);
            for (DWORD i = 0; i < count; ++i) {
                const USER_INFO_NEW& entry = block->userList[i];
                if (std::strncmp(entry.name, user.c_str(), sizeof entry.name) != 0)
                    continue;
                ++matched;
                USER_INFO_NEW changed = entry, previous = entry;
                // The entry's password is a fixed 64-byte field, not a terminated text: a password
                // may fill it to the last byte, so it is copied whole (zero-padded), not cut short.
                CopyFixedField(changed.passWord, sizeof changed.passWord, m_szNewPassword);
                CopyFixedField(previous.passWord, sizeof previous.passWord, m_szOldPassword);
                if (!SdkOperateUserInfoNew(login, SDK_USER_MODIFY_PASSWORD, &changed, &previous, nullptr,
                                           sysconfig::kUserWaitMs))
                    ++failed;
            }
            ok = matched > 0 && failed == 0;
        }
    }
    PostConfigRet(ip, mac, ok, index);
}

void CConfigLogic::Task_GetPwdDescription(std::string mac)
{
    PWD_DESCRIPTION d;
    DWORD error = 0;
    char local[20];
    const int result = FetchDescription(mac, LocalAddress(local), d, error);
    std::shared_ptr<CConfigUILogic> ui = m_wpUI.lock();
    if (ui)
        ShellPostTask(ML_MAIN, ui, [ui, d, result, error] { ui->Task_GetPwdDescription_Ret(d, result, error); },
                      __FILE__, __LINE__, "&CConfigUILogic::Task_GetPwdDescription_Ret",
                      "CConfigLogic::Task_GetPwdDescription");
}

void CConfigLogic::Task_GetPwdDescriptionXML(std::string ip, std::string mac, int index)
{
    PWD_DESCRIPTION d;
    DWORD error = 0;
    char local[20];
    const int result = FetchDescription(mac, LocalAddress(local), d, error);
    std::shared_ptr<CConfigUILogic> ui = m_wpUI.lock();
    if (ui)
        ShellPostTask(ML_MAIN, ui,
                      [ui, ip, mac, d, result, error, index] {
                          ui->Task_GetPwdDescriptionXML_Ret(ip, mac, d, result, error, index);
                      },
                      __FILE__, __LINE__, "&CConfigUILogic::Task_GetPwdDescriptionXML_Ret",
                      "CConfigLogic::Task_GetPwdDescriptionXML");
}

void CConfigLogic::Task_CheckSecurityCode(std::string ip, std::string mac, std::string code)
{
    NET_IN_CHECK_SECURITY_CODE in{};
    in.dwSize = sizeof in;
    CopyField(in.szMac, sizeof in.szMac, mac, 39);
    CopyField(in.szSecurity, sizeof in.szSecurity, code, 15);
    NET_OUT_CHECK_SECURITY_CODE out{sizeof out};
    char local[20];
    const int result = SdkCheckSecurityCode(&in, &out, sysconfig::kResetWaitMs, LocalAddress(local)) ? 1 : 0;
    std::shared_ptr<CConfigUILogic> ui = m_wpUI.lock();
    if (ui)
        ShellPostTask(ML_MAIN, ui, [ui, ip, mac, result] { ui->Task_CheckSecurityCode_Ret(ip, mac, result); },
                      __FILE__, __LINE__, "&CConfigUILogic::Task_CheckSecurityCode_Ret",
                      "CConfigLogic::Task_CheckSecurityCode");
}

bool CConfigLogic::ResetOnce(const std::string& user, const std::string& mac, const std::string& code,
                             SYSCONFIG_ERROR& error)
{
    NET_IN_RESET_PWD in{};
    in.dwSize = sizeof in;
    CopyField(in.szMac, sizeof in.szMac, mac, 39);
    CopyField(in.szUserName, sizeof in.szUserName, user, 127);
    CopyField(in.szPwd, sizeof in.szPwd, m_szNewPassword, 63);
    CopyField(in.szSecurity, sizeof in.szSecurity, code, 15);
    NET_OUT_RESET_PWD out{sizeof out};
    char local[20];
    const bool ok = SdkResetPwd(&in, &out, sysconfig::kResetWaitMs, LocalAddress(local)) != 0;
    error = sysconfig::ResetResult(SdkGetLastError());
    return ok;
}

void CConfigLogic::Task_StartConfigReset(std::string ip, std::string user, std::string mac, int index)
{
    SYSCONFIG_ERROR error = SYSCONFIG_ERR_PASSWORD;
    const bool ok = ResetOnce(user, mac, std::string(m_szSecurityCode, strnlen(m_szSecurityCode, 15)), error);
    std::shared_ptr<CConfigUILogic> ui = m_wpUI.lock();
    if (ui)
        ShellPostTask(ML_MAIN, ui,
                      [ui, ip, mac, ok, error, index] { ui->Task_StartConfigReset_Ret(ip, mac, ok, error, index); },
                      __FILE__, __LINE__, "&CConfigUILogic::Task_StartConfigReset_Ret",
                      "CConfigLogic::Task_StartConfigReset");
}

void CConfigLogic::Task_StartConfigResetXml(std::string ip, std::string user, std::string mac, std::string code1,
                                            std::string code2, std::string code3, int index)
{
    bool ok = false;
    SYSCONFIG_ERROR error;
    if (code1.empty()) {
        error = SYSCONFIG_ERR_NO_SN;
    } else if (code1 == sysconfig::kInvalidCode) {
        error = SYSCONFIG_ERR_CODE_INVALID;
    } else {
        // The codes in file order, up to the first that is accepted.
        ok = ResetOnce(user, mac, code1, error);
        if (!ok)
            ok = ResetOnce(user, mac, code2, error);
        if (!ok)
            ok = ResetOnce(user, mac, code3, error);
    }
    std::shared_ptr<CConfigUILogic> ui = m_wpUI.lock();
    if (ui)
        ShellPostTask(ML_MAIN, ui,
                      [ui, ip, mac, ok, error, index] { ui->Task_StartConfigResetXml_Ret(ip, mac, ok, error, index); },
                      __FILE__, __LINE__, "&CConfigUILogic::Task_StartConfigResetXml_Ret",
                      "CConfigLogic::Task_StartConfigResetXml");
}
