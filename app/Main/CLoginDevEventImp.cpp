#include "Main/CLoginDevEventImp.h"

#include <cstdio>
#include <cstring>

#include "Common/DevClass.h"
#include "Common/DeviceInfo.h"
#include "Common/InputCheck.h"
#include "Common/SFMessageLoopManager.h"
#include "Common/SFTask.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "DevConfig/DevConfigTexts.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CLoginDevLogic.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/DeviceListSkins.h"
#include "Main/DeviceListText.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFRect.h"

using namespace VeyraBase;

namespace {

const char kSourceFile[] = ".\\Main\\CLoginDevEventImp";
const int kDefaultPort = 37777;

// Cuts a UTF-8 text to at most `bytes` bytes without splitting a character.
std::string CutUtf8(const std::string& text, size_t bytes)
{
    if (text.size() <= bytes)
        return text;
    size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

std::wstring EditText(CSFEditCtrl* edit, int count)
{
    std::wstring text(static_cast<size_t>(count) + 1, L'\0');
    if (edit)
        edit->GetWindowTextW(&text[0], count);
    text.resize(std::wcslen(text.c_str()));
    return text;
}

// The port field's text after a change: empty stays empty; too long or too large is the largest
// port; a text with a non-digit is "0"; leading zeros go.
std::wstring NormalizePortText(const std::wstring& text)
{
    if (text.empty())
        return text;
    if (text.size() > 5)
        return L"65535";
    int value = 0;
    if (!ParseWideUInt(text.c_str(), value, 9))
        return L"0";
    if (value > 65535)
        return L"65535";
    return std::to_wstring(value);
}

} // namespace

SF_BEGIN_MESSAGE_MAP(CLoginDevEventImp)
SF_ON_COMMAND(CLoginDevEventImp::ID_CLOSE, OnBtnClose)
SF_ON_COMMAND(CLoginDevEventImp::ID_OK, OnBtnOK)
SF_END_MESSAGE_MAP()

CLoginDevEventImp::CLoginDevEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame) : m_wpMainFrame(mainFrame) {}

CLoginDevEventImp::~CLoginDevEventImp() {}

std::shared_ptr<CLoginDevEventImp> CLoginDevEventImp::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto dlg = std::make_shared<CLoginDevEventImp>(mainFrame);
    dlg->CreateDlg();
    return dlg;
}

int CLoginDevEventImp::CreateDlg()
{
    if (!m_pDialog) {
        DialogStyle skin;
        FillCommonDialogSkin(skin);
        std::shared_ptr<CMainFrameEventImp> frame = m_wpMainFrame.lock();
        m_pDialog = CreateSFDialog(this, frame ? frame->GetUIWnd() : nullptr, 0);
        SetUpSkinnedDialog(m_pDialog, skin, L"Manual Add", 520, 320, DialogSizing::BeforeCreate);
    }
    if (!m_pWorker)
        m_pWorker = std::make_shared<CLoginDevLogic>(weak_from_this());
    return 0;
}

int CLoginDevEventImp::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    RECT client = SFRectLTRB(0, 0, 520, 320);
    if (m_pDialog)
        m_pDialog->GetDlgClientRect(&client);
    const int w = client.right > 0 ? client.right : 520;

    m_pCloseBtn = CreateCloseButton(this, wnd, w, ID_CLOSE);
    auto label = [&](const wchar_t* text, int top) {
        CSFStatic* s = CreateSFStatic(nullptr);
        if (s) {
            s->Create(Tr(text), 0x50000000, SFRectLTRB(100, top, 180, top + 30), wnd, static_cast<UINT>(-1));
            s->SetTextAlignFlag(0x24);
        }
        return s;
    };
    auto edit = [&](UINT id, int top, bool password) {
        CSFEditCtrl* e = CreateSFEditCtrl(this);
        if (e) {
            e->Create(0x10000000, SFRectLTRB(190, top, 390, top + 25), wnd, id, password);
            e->SetSkin(L"bg_edit.png");
        }
        return e;
    };

    m_pAddTypeLabel = label(L"Add Type", 50);
    m_pAddType = CreateSFComboBox(this);
    if (m_pAddType) {
        m_pAddType->Create(0x50010000, SFRectLTRB(190, 50, 460, 72), wnd, ID_ADD_TYPE);
        ImageComboBoxStyle combo;
        combo.strImage = L"ComboBox_long.png";
        combo.strNormalRect = L"0,2,270,22";
        combo.strHoverRect = L"0,58,270,22";
        combo.strDropDownRect = L"0,86,270,23";
        combo.strDropUpRect = L"0,58,270,23";
        combo.strDisabledRect = L"0,30,270,22";
        combo.strExtraRect1 = L"0,2,270,22";
        combo.strExtraRect2 = L"0,58,270,22";
        m_pAddType->SetSkin(&combo);
        m_pAddType->AddString(Tr(L"IP Address"));
        m_pAddType->AddString(Tr(L"Device SN"));
        m_pAddType->SetCurSel(0);
    }
    m_pSerialLabel = label(L"SN.", 90);
    m_pSerialEdit = edit(ID_SERIAL, 92, false);
    m_pIpLabel = label(L"IP Address", 90);
    m_pIpCtrl = CreateSFIPAddressCtrl(nullptr);
    if (m_pIpCtrl) {
        m_pIpCtrl->Create(0x10000000, SFRectLTRB(190, 92, 390, 117), wnd, 0, false);
        m_pIpCtrl->EnableWindow(1); // gives it its framed face
    }
    m_pUserLabel = label(L"Username", 130);
    m_pUserEdit = edit(ID_USER, 132, false);
    m_pPasswordLabel = label(L"Password", 170);
    m_pPasswordEdit = edit(ID_PASSWORD, 172, true);
    m_pPortLabel = label(L"Port", 210);
    m_pPortEdit = edit(ID_PORT, 212, false);

    m_pOkBtn = CreateSFButton(this);
    if (m_pOkBtn) {
        ImageButtonStyle ok = MakeButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn-dis.png");
        m_pOkBtn->Create(Tr(L"OK"), 0x50000000, SFRectLTRB(370, 277, 450, 301), wnd, ID_OK);
        m_pOkBtn->SetSkin(&ok);
    }
    ShowAddressRows(true);
    return 1;
}

void CLoginDevEventImp::ShowAddressRows(bool address)
{
    const int on = address ? 1 : 0;
    if (m_pIpLabel)
        m_pIpLabel->ShowWindow(on);
    if (m_pIpCtrl)
        m_pIpCtrl->ShowWindow(on);
    if (m_pPortLabel)
        m_pPortLabel->ShowWindow(on);
    if (m_pPortEdit)
        m_pPortEdit->ShowWindow(on);
    if (m_pSerialLabel)
        m_pSerialLabel->ShowWindow(1 - on);
    if (m_pSerialEdit)
        m_pSerialEdit->ShowWindow(1 - on);
}

void CLoginDevEventImp::EDIT_OnTextChange(UINT id, wchar_t* text)
{
    const std::wstring typed = text ? text : L"";
    std::wstring wanted;
    CSFEditCtrl* edit = nullptr;
    switch (id) {
    case ID_PORT:
        edit = m_pPortEdit;
        wanted = NormalizePortText(typed);
        break;
    case ID_USER:
    case ID_PASSWORD:
        edit = id == ID_USER ? m_pUserEdit : m_pPasswordEdit;
        wanted = Utf8ToWide(CutUtf8(WideToUtf8(typed), id == ID_USER ? 31 : 63).c_str());
        break;
    default:
        return;
    }
    if (edit && wanted != typed)
        edit->SetWindowTextW(wanted.c_str());
}

void CLoginDevEventImp::SelectChanged(int id, int index)
{
    if (id == ID_ADD_TYPE)
        ShowAddressRows(index == 0);
}

void CLoginDevEventImp::OnBtnClose()
{
    if (m_pDialog)
        m_pDialog->MFCCancel();
}

void CLoginDevEventImp::ShowError(const std::wstring& text, const wchar_t* caption, bool dialogOpen)
{
    void* parent = nullptr;
    if (dialogOpen)
        parent = GetUIWnd();
    else if (std::shared_ptr<CMainFrameEventImp> frame = m_wpMainFrame.lock())
        parent = frame->GetUIWnd();
    ShowMessageBox(text.c_str(), Tr(caption), parent, 0);
}

bool CLoginDevEventImp::PostToWorker(int line, const char* taskName, const char* callerName,
                                     std::function<void(CLoginDevLogic&)> call)
{
    std::shared_ptr<CLoginDevLogic> worker = m_pWorker;
    std::shared_ptr<CSFMessageLoop> loop = CSFMessageLoopManager::Instance()->GetMessageLoop(ML_SDK);
    if (!worker || !loop)
        return false;
    std::shared_ptr<CSFTask> task = CreateTask<CLoginDevLogic>([worker, call] { call(*worker); }, worker);
    SetTaskDebugInfo(task, ML_SDK, kSourceFile, line, taskName, callerName, 1);
    loop->PostTask(task);
    return true;
}

void CLoginDevEventImp::OnBtnOK()
{
    // One add at a time: two adds would share the answers kept here.
    if (m_bAdding) {
        ShowError(Tr(L"Manual add,please wait..."), L"Attention", true);
        return;
    }
    m_nLoginSpec = LOGIN_SPEC_DIRECT;
    m_strUser = WideToUtf8(EditText(m_pUserEdit, 31));
    m_strPassword = WideToUtf8(EditText(m_pPasswordEdit, 63));
    m_strSerial = WideToUtf8(EditText(m_pSerialEdit, 511));
    const std::wstring portText = EditText(m_pPortEdit, 15);
    int port = kDefaultPort; // an empty port field means the device's usual port
    ParseWideUInt(portText.c_str(), port, 9);

    if (m_pAddType && m_pAddType->GetCurSel() != 0) {
        m_nLoginSpec = LOGIN_SPEC_P2P;
        const std::string serial = m_strSerial, user = m_strUser, password = m_strPassword;
        m_bAdding = PostToWorker(__LINE__, "&CLoginDevLogic::Task_StartLoginDev_P2P", "CLoginDevEventImp::OnBtnOK",
                     [serial, user, password](CLoginDevLogic& w) { w.Task_StartLoginDev_P2P(serial, user, password); });
        if (m_pDialog)
            m_pDialog->MFCOK();
        return;
    }

    BYTE octets[4] = {0, 0, 0, 0};
    const int empty = m_pIpCtrl ? m_pIpCtrl->GetAddress(octets[0], octets[1], octets[2], octets[3]) : 4;
    if (empty != 0) {
        ShowError(Tr(L"Invalid IP address."), L"Error", true);
        return;
    }
    char address[32];
    std::snprintf(address, sizeof(address), "%d.%d.%d.%d", octets[0], octets[1], octets[2], octets[3]);
    std::shared_ptr<CMainFrameEventImp> frame = m_wpMainFrame.lock();
    std::shared_ptr<CDeviceListUILogic> model = frame ? frame->GetDeviceListUILogic() : nullptr;
    if (model) {
        const DeviceVector devices = model->GetDeviceList();
        for (const DevicePtr& device : devices) {
            if (device && FIELD_TEXT(device->stNetInfo.szIpAddr) == address) {
                ShowError(Tr(L"IP address has existed."), L"Error", true);
                return;
            }
        }
    }
    m_nLoginPort = port;
    m_strIP = address;
    const std::string ip = m_strIP, user = m_strUser, password = m_strPassword;
    m_bAdding = PostToWorker(__LINE__, "&CLoginDevLogic::Task_StartLoginDev", "CLoginDevEventImp::OnBtnOK",
                 [ip, port, user, password](CLoginDevLogic& w) { w.Task_StartLoginDev(ip, port, user, password); });
    if (m_pDialog)
        m_pDialog->MFCOK();
}

void CLoginDevEventImp::Task_LoginDev_Ret(int loginId, int error, int port)
{
    if (loginId <= 0) {
        m_bAdding = false;
        if (m_nLoginSpec == LOGIN_SPEC_P2P && port == 0) {
            if (error == P2P_UNRESOLVED) {
                std::string host;
                int serverPort = 0;
                P2PServerOf(host, serverPort);
                std::wstring text = Tr(L"Cannot resolve the P2P server ");
                text += Utf8ToWide(host.c_str());
                text += Tr(L". Please check the network connection and the DNS settings.");
                ShowError(text, L"Login Failed", false);
                return;
            }
        }
        // Which device failed and why, under the failure itself.
        const std::string& device = m_nLoginSpec == LOGIN_SPEC_P2P ? m_strSerial : m_strIP;
        std::wstring text = Tr(L"Login Failed");
        text += L"\n" + Utf8ToWide(device.c_str()) + L"\n" + Tr(LoginErrorKey(error));
        ShowError(text, L"Login Failed", false);
        return;
    }
    m_nLoginPort = port;
    m_nLoginId = loginId;
    m_bNetInfoGet = m_bDvripInfoGet = m_bHttpsInfoGet = m_bSysInfoGet = m_bVesInfoGet = 0;
    const int spec = m_nLoginSpec;
    PostToWorker(__LINE__, "&CLoginDevLogic::Task_QueryNetworkInfo", "CLoginDevEventImp::Task_LoginDev_Ret",
                 [loginId, spec](CLoginDevLogic& w) { w.Task_QueryNetworkInfo(loginId, spec); });
    PostToWorker(__LINE__, "&CLoginDevLogic::Task_QueryDVRIPInfo", "CLoginDevEventImp::Task_LoginDev_Ret",
                 [loginId](CLoginDevLogic& w) { w.Task_QueryDVRIPInfo(loginId); });
    PostToWorker(__LINE__, "&CLoginDevLogic::Task_QueryHttpsInfo", "CLoginDevEventImp::Task_LoginDev_Ret",
                 [loginId](CLoginDevLogic& w) { w.Task_QueryHttpsInfo(loginId); });
    PostToWorker(__LINE__, "&CLoginDevLogic::Task_QueryVesInfo", "CLoginDevEventImp::Task_LoginDev_Ret",
                 [loginId](CLoginDevLogic& w) { w.Task_QueryVesInfo(loginId); });
    PostToWorker(__LINE__, "&CLoginDevLogic::Task_QuerySysInfo", "CLoginDevEventImp::Task_LoginDev_Ret",
                 [loginId](CLoginDevLogic& w) { w.Task_QuerySysInfo(loginId); });
    PostToWorker(__LINE__, "&CLoginDevLogic::Task_LogoutDev", "CLoginDevEventImp::Task_LoginDev_Ret",
                 [loginId](CLoginDevLogic& w) { w.Task_LogoutDev(loginId); });
}

void CLoginDevEventImp::Task_QueryNetworkInfo_Ret(std::shared_ptr<tagCFG_NETWORK_INFO> record, int result, int index)
{
    m_pNetInfo = record;
    m_bNetInfoGetFlag = result;
    m_nIndex = index;
    m_bNetInfoGet = 1;
    if (m_bNetInfoGet && m_bDvripInfoGet && m_bHttpsInfoGet && m_bSysInfoGet && m_bVesInfoGet)
        DealLoginInfo(m_nIndex);
}

void CLoginDevEventImp::Task_QueryDVRIPInfo_Ret(std::shared_ptr<tagCFG_DVRIP_INFO> record, int result)
{
    m_pDvripInfo = record;
    m_bDvripInfoGetFlag = result;
    m_bDvripInfoGet = 1;
    if (m_bNetInfoGet && m_bDvripInfoGet && m_bHttpsInfoGet && m_bSysInfoGet && m_bVesInfoGet)
        DealLoginInfo(m_nIndex);
}

void CLoginDevEventImp::Task_QueryHttpsInfo_Ret(std::shared_ptr<tagCFG_HTTPS_INFO> record, int result)
{
    m_pHttpsInfo = record;
    m_bHttpsInfoGetFlag = result;
    m_bHttpsInfoGet = 1;
    if (m_bNetInfoGet && m_bDvripInfoGet && m_bHttpsInfoGet && m_bSysInfoGet && m_bVesInfoGet)
        DealLoginInfo(m_nIndex);
}

void CLoginDevEventImp::Task_QueryVesInfo_Ret(std::shared_ptr<ZRDEV_VERSION_INFO> record, int result)
{
    m_pVesInfo = record;
    m_bVesInfoGetFlag = result;
    m_bVesInfoGet = 1;
    if (m_bNetInfoGet && m_bDvripInfoGet && m_bHttpsInfoGet && m_bSysInfoGet && m_bVesInfoGet)
        DealLoginInfo(m_nIndex);
}

void CLoginDevEventImp::Task_QuerySysInfo_Ret(std::shared_ptr<ZRDEV_SYSTEM_ATTR_CFG> record, int result)
{
    m_pSysInfo = record;
    m_bSysInfoGetFlag = result;
    m_bSysInfoGet = 1;
    if (m_bNetInfoGet && m_bDvripInfoGet && m_bHttpsInfoGet && m_bSysInfoGet && m_bVesInfoGet)
        DealLoginInfo(m_nIndex);
}

std::string CLoginDevEventImp::TypeTextOf(std::string devType)
{
    StrToUpper(devType);
    static const char* const kWords[] = {"IPC", "IP CAMERA", "SD", "PTZ", "HCVR", "DVR", "NVR", "NVS"};
    for (const char* word : kWords) {
        if (devType.find(word) == std::string::npos)
            continue;
        const std::string hit = word;
        if (hit == "IP CAMERA")
            return "IPC";
        if (hit == "PTZ")
            return "SD";
        return hit;
    }
    return devType.substr(0, devType.find('-'));
}

void CLoginDevEventImp::HandToSearch()
{
    std::shared_ptr<CMainFrameEventImp> frame = m_wpMainFrame.lock();
    if (std::shared_ptr<CSearchDevEventImp> page = frame ? frame->GetSearchDevPage() : nullptr)
        page->SearchManualDevice(m_strIP);
}

void CLoginDevEventImp::DealLoginInfo(int index)
{
    m_bNetInfoGet = m_bDvripInfoGet = m_bHttpsInfoGet = m_bSysInfoGet = m_bVesInfoGet = 0;
    m_bAdding = false;
    const bool p2p = m_nLoginSpec == LOGIN_SPEC_P2P;
    const bool allRead =
        m_bNetInfoGetFlag && m_bDvripInfoGetFlag && m_bHttpsInfoGetFlag && m_bSysInfoGetFlag && m_bVesInfoGetFlag;
    if (!p2p && !allRead) {
        HandToSearch();
        return;
    }
    if (!m_pNetInfo || !m_pDvripInfo || !m_pHttpsInfo || !m_pVesInfo || !m_pSysInfo)
        return;
    const std::string devType = FIELD_TEXT(m_pVesInfo->szDevType);
    const std::string typeText = TypeTextOf(devType);
    if (devType.empty() && !p2p) {
        HandToSearch();
        return;
    }
    if (index < 0 || index >= kMaxNetInterfaces)
        index = 0;
    const CFG_NETWORK_INTERFACE& nic = m_pNetInfo->stuInterfaces[index];

    DevicePtr device = std::make_shared<DEVICE_INFO>();
    std::memset(device.get(), 0, sizeof(DEVICE_INFO));
    device->nRow = -1;
    DEVICE_NET_INFO_EX& info = device->stNetInfo;
    info.nIpVersion = 4;
    SafeStrCopy(info.szIpAddr, sizeof(info.szIpAddr), nic.szIP, 16);
    info.nPort = m_pDvripInfo->nTcpPort;
    // The device list keeps the port this login reached the device on (a mapped local port, or a
    // forwarded one): every later login uses it.
    if (p2p || info.nPort != m_nLoginPort)
        info.nPort = m_nLoginPort;
    SafeStrCopy(info.szNetMask, sizeof(info.szNetMask), nic.szSubnetMask, 16);
    SafeStrCopy(info.szGatewayAddr, sizeof(info.szGatewayAddr), nic.szDefGateway, 16);
    COPY_FIELD(info.szMacAddr, nic.szMacAddress);
    COPY_TEXT(info.szTypeName, typeText.c_str());
    info.bDhcpOn = nic.bDhcpEnable ? 1 : 0;
    COPY_FIELD(info.szSerialNumber, m_pVesInfo->szSerialNumber);
    COPY_FIELD(info.szSoftVersion, m_pVesInfo->szSoftWareVersion);
    COPY_FIELD(info.szDetailName, m_pVesInfo->szDevType);
    SafeStrCopy(info.szDeviceName, sizeof(info.szDeviceName), nic.szName, 16);
    info.wWebPort = static_cast<WORD>(m_pHttpsInfo->nPort & 0xFFFF);
    info.wVideoInCount = m_pSysInfo->byVideoCaptureNum;
    info.wAlarmInCount = m_pSysInfo->byAlarmInNum;
    info.wAlarmOutCount = m_pSysInfo->byAlarmOutNum;
    COPY_FIELD(info.szModelName, m_pVesInfo->szModel);

    const std::string ipText = FIELD_TEXT(info.szIpAddr);
    if (!IsValidMac(FIELD_TEXT(info.szMacAddr).c_str())) {
        ShowError(Tr(L"MAC Error"), L"Error", false);
        return;
    }
    if (ipText == "0.0.0.0") {
        ShowError(Tr(L"IP Error"), L"Error", false);
        return;
    }
    if (IsAccessType(typeText)) {
        std::wstring text = Tr(L"Failed to add device:");
        text += Utf8ToWide(ipText.c_str());
        text += Tr(L", please try to use other tool in Package Center.");
        ShowError(text, L"Error", false);
        return;
    }
    device->bP2P = p2p ? 1 : 0;
    device->bManual = 1;
    std::shared_ptr<CMainFrameEventImp> frame = m_wpMainFrame.lock();
    if (std::shared_ptr<CDeviceListUILogic> model = frame ? frame->GetDeviceListUILogic() : nullptr)
        model->SortAddDevice(device);
}

void CLoginDevEventImp::GetLoginAccount(std::string& user, std::string& password) const
{
    user = m_strUser;
    password = m_strPassword;
}
