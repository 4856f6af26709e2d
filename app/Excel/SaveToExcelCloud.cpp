// Cloud-upgrade information workbook: one device of its own or one device behind a recorder per
// row, columns A to Y, the header in row 1.
#include "Excel/SaveToExcel.h"

#include <QDateTime>
#include <QDebug>
#include <QString>

#include <cstdio>
#include <cstring>

#include "CloudUpgrade/CloudUpgradeRecords.h"
#include "Common/StrHelpers.h"
#include "Excel/CellText.h"

namespace {

using excelcell::CopyCellText;
using excelcell::FieldText;
using excelcell::TrUtf8;

enum CloudColumn {
    kType = 1, kDetailType, kDeviceName, kIp, kPort, kRemoteFlag, kHigherMac, kDeviceId, kVendor, kDevClass,
    kSerial, kLanguage, kVideoStandard, kSn, kSwVersion, kBuildTime, kHasNewVersion, kNewVersion,
    kDownloadStatus, kMac, kProgramName, kCheckResult, kUsername, kPassword, kXml,
    kCloudColumns = kXml,
    kLastFitted = kUsername,  // A to W are fitted; X and Y keep their width
};

const wchar_t* const kCloudTitles[kCloudColumns] = {
    L"Type", L"DetailType", L"DeviceName", L"IP", L"Port", L"RemoteFlag", L"HigherMac", L"DeviceID", L"Vendor",
    L"DevClass", L"Serial", L"Language", L"VideoStandard", L"SN", L"SWVersion", L"BuildTime", L"HasNewVersion",
    L"NewVersion", L"DownLoadStatus", L"Mac", L"ProgramName", L"CheckResult", L"Username", L"Password", L"xml",
};

const char kEmptyXml[] = "<root></root>";
const int kDownloaded = 3;

// A password of at most 63 bytes as two lower-case digits per byte.
std::string PasswordHex(const std::string& password)
{
    char plain[64] = {};
    SafeStrCopy(plain, sizeof(plain), password.c_str());
    char hex[128] = {};
    BytesToHex(plain, hex);
    return hex;
}

// Back from column X: at most 63 bytes, up to the first zero byte.
std::string PasswordFromHex(std::string hex)
{
    if (hex.size() > 126)
        hex.resize(126);
    unsigned char bytes[64] = {};
    HexToBytes(hex, bytes);
    return std::string(reinterpret_cast<const char*>(bytes), strnlen(reinterpret_cast<const char*>(bytes), 63));
}

std::string BuildTimeText(const NET_TIME_EX& t)
{
    char text[64] = {};
    std::snprintf(text, sizeof(text), "%d-%02d-%02d_%02d:%02d:%02d", static_cast<int>(t.dwYear),
                  static_cast<int>(t.dwMonth), static_cast<int>(t.dwDay), static_cast<int>(t.dwHour),
                  static_cast<int>(t.dwMinute), static_cast<int>(t.dwSecond));
    return text;
}

// "yyyy-MM-dd_hh:mm:ss"; a text that does not match leaves every value 0.
NET_TIME_EX ParseBuildTime(const std::string& text)
{
    NET_TIME_EX t;
    std::memset(&t, 0, sizeof(t));
    const QDateTime when = QDateTime::fromString(QString::fromStdString(text), QStringLiteral("yyyy-MM-dd_hh:mm:ss"));
    if (!when.isValid())
        return t;
    t.dwYear = static_cast<DWORD>(when.date().year());
    t.dwMonth = static_cast<DWORD>(when.date().month());
    t.dwDay = static_cast<DWORD>(when.date().day());
    t.dwHour = static_cast<DWORD>(when.time().hour());
    t.dwMinute = static_cast<DWORD>(when.time().minute());
    t.dwSecond = static_cast<DWORD>(when.time().second());
    return t;
}

// True for a nonzero number, TRUE, or a text other than "", "0" and "false" (any case).
bool CellFlag(const CCellValue& cell)
{
    switch (cell.GetKind()) {
    case CCellValue::Number:
        return cell.GetNumber() != 0;
    case CCellValue::Bool:
        return cell.AsInt() != 0;
    case CCellValue::Text: {
        const QString text = QString::fromStdString(cell.GetText());
        return !text.isEmpty() && text != QLatin1String("0") && text.compare(QLatin1String("false"), Qt::CaseInsensitive) != 0;
    }
    case CCellValue::Empty:
        break;
    }
    return false;
}

}  // namespace

int CSaveToExcel::NextFreeRow() const
{
    int first = 1, count = 1;
    m_pworksheet->UsedRange(&first, &count);
    return first + count;
}

bool CSaveToExcel::WriteCloudInfoHeader()
{
    if (!m_pworkbook || !m_pworksheets)
        return false;
    m_pworksheet = m_pworkbook->ActiveSheet();
    qDebug("m_pworksheet: %p", static_cast<void*>(m_pworksheet));
    if (!m_pworksheet)
        return true;
    for (int column = 1; column <= kCloudColumns; ++column)
        m_pworksheet->SetCell(1, column, CCellValue::FromText(TrUtf8(kCloudTitles[column - 1])));
    m_pworksheet->AutoFit(1, kLastFitted);
    return true;
}

bool CSaveToExcel::WriteCloudInfoRow(const DEVICE_NET_INFO_EX* pInfo, const CLOUDCHECK* pCheck, int nDownloadState,
                                     const char* szProgramName, bool bCheckResult, std::string strUser,
                                     std::string strPassword)
{
    if (!m_pworksheet || !pInfo || !pCheck)
        return false;
    CWorksheet& sheet = *m_pworksheet;
    const int row = NextFreeRow();
    auto text = [&](int column, const std::string& value) { sheet.SetCell(row, column, CCellValue::FromText(value)); };
    auto number = [&](int column, int value) { sheet.SetCell(row, column, CCellValue::FromNumber(value)); };
    const NET_IN_CLOUD_UPGRADER_CHECK& in = pCheck->stuIn;
    const NET_OUT_CLOUD_UPGRADER_CHECK& out = pCheck->stuOut;

    text(kType, FieldText(pInfo->szTypeName));
    text(kDetailType, FieldText(pInfo->szDetailName));
    text(kDeviceName, FieldText(pInfo->szDeviceName));
    text(kIp, FieldText(pInfo->szIpAddr));
    text(kPort, std::to_string(pInfo->nPort));
    number(kRemoteFlag, 0);
    text(kHigherMac, std::string());
    text(kDeviceId, std::string());
    number(kVendor, in.nVendor);
    text(kDevClass, FieldText(in.szClass));
    text(kSerial, FieldText(in.szSN));
    text(kLanguage, FieldText(in.szLanguage));
    number(kVideoStandard, in.nStandard);
    text(kSn, FieldText(in.szSerialNo));
    text(kSwVersion, FieldText(in.szSoftwareVersion));
    text(kBuildTime, BuildTimeText(in.stuBuildTime));
    number(kHasNewVersion, out.bHasNewVersion != 0 ? 1 : 0);
    text(kNewVersion, FieldText(out.szNewVersion));
    number(kDownloadStatus, nDownloadState);
    text(kMac, FieldText(pInfo->szMacAddr));
    text(kProgramName, QString::fromUtf8(szProgramName ? szProgramName : "").toStdString());
    number(kCheckResult, bCheckResult ? 1 : 0);
    text(kUsername, QString::fromStdString(strUser).toStdString());
    text(kPassword, PasswordHex(strPassword));
    text(kXml, kEmptyXml);
    sheet.AutoFit(1, kLastFitted);
    return true;
}

bool CSaveToExcel::WriteRemoteCloudInfoRow(const strudevice* pDevice, std::string strRecorderMac)
{
    if (!m_pworksheet || !pDevice)
        return false;
    CWorksheet& sheet = *m_pworksheet;
    const int row = NextFreeRow();
    auto text = [&](int column, const std::string& value) { sheet.SetCell(row, column, CCellValue::FromText(value)); };
    auto number = [&](int column, int value) { sheet.SetCell(row, column, CCellValue::FromNumber(value)); };
    const strudevice& d = *pDevice;

    text(kType, FieldText(d.szType));
    text(kDetailType, FieldText(d.szDetailType));
    text(kDeviceName, std::string());
    number(kIp, d.nIndex);
    text(kPort, std::to_string(d.nPort));
    number(kRemoteFlag, 1);
    text(kHigherMac, QString::fromStdString(strRecorderMac).toStdString());
    text(kDeviceId, FieldText(d.szDeviceID));
    number(kVendor, d.nVendor);
    text(kDevClass, FieldText(d.szType));
    text(kSerial, FieldText(d.szDetailType));
    text(kLanguage, FieldText(d.szLanguage));
    text(kVideoStandard, FieldText(d.szVideoStandard));
    text(kSn, FieldText(d.szSerialNo));
    text(kSwVersion, FieldText(d.szVersion));
    text(kBuildTime, FieldText(d.szBuildTime));
    number(kHasNewVersion, d.byHasNewVersion != 0 ? 1 : 0);
    text(kNewVersion, FieldText(d.szNewVersion));
    number(kDownloadStatus, d.nDownloadState);
    text(kMac, FieldText(d.szMac));
    if (d.nDownloadState == kDownloaded)
        text(kProgramName, FieldText(d.szFileName));
    number(kCheckResult, d.byCheckResult != 0 ? 1 : 0);
    text(kXml, kEmptyXml);
    sheet.AutoFit(1, kLastFitted);
    return true;
}

bool CSaveToExcel::ImportCloudInfo(std::vector<DEVICE_INFO>* pDevices, std::map<std::string, CLOUDCHECK>* pChecks,
                                   std::map<std::string, std::vector<strudevice>>* pRemotes)
{
    if (!pDevices || !pChecks || !pRemotes || !m_pworkbook)
        return false;
    int first = 1, last = 1;
    if (!OpenSheetRows(&first, &last))
        return false;

    const CWorksheet& sheet = *m_pworksheet;
    for (int row = first + 1; row <= last; ++row) {
        auto cell = [&](int column) { return sheet.GetCell(row, column); };
        auto text = [&](int column) { return cell(column).AsText(); };
        auto number = [&](int column) { return cell(column).AsInt(); };
        auto flag = [&](int column) { return CellFlag(cell(column)); };

        if (flag(kRemoteFlag)) {
            strudevice remote;
            CopyCellText(remote.szType, text(kType), 63);
            CopyCellText(remote.szDetailType, text(kDetailType), 63);
            CopyCellText(remote.szIP, text(kIp), 15);
            remote.nPort = number(kPort);
            std::string key = text(kHigherMac);
            CopyCellText(remote.szDeviceID, text(kDeviceId), 127);
            remote.nVendor = number(kVendor);
            CopyCellText(remote.szLanguage, text(kLanguage), 63);
            CopyCellText(remote.szVideoStandard, text(kVideoStandard), 63);
            CopyCellText(remote.szSerialNo, text(kSn), 63);
            CopyCellText(remote.szVersion, text(kSwVersion), 63);
            CopyCellText(remote.szBuildTime, text(kBuildTime), 63);
            remote.byHasNewVersion = flag(kHasNewVersion) ? 1 : 0;
            CopyCellText(remote.szNewVersion, text(kNewVersion), 63);
            remote.nDownloadState = number(kDownloadStatus);
            CopyCellText(remote.szFileName, text(kProgramName), 1023);
            remote.byCheckResult = flag(kCheckResult) ? 1 : 0;
            CopyCellText(remote.szXml, text(kXml), 1023);
            if (remote.byCheckResult) {
                StrToUpper(key);
                (*pRemotes)[key].push_back(remote);
            }
            continue;
        }

        DEVICE_NET_INFO_EX net;
        std::memset(&net, 0, sizeof(net));
        CLOUDCHECK check;
        std::memset(&check, 0, sizeof(check));
        CopyCellText(net.szTypeName, text(kType), 31);
        CopyCellText(net.szDetailName, text(kDetailType), 31);
        CopyCellText(net.szDeviceName, text(kDeviceName), 31);
        CopyCellText(net.szIpAddr, text(kIp), 63);
        net.nPort = number(kPort);
        check.stuIn.nVendor = number(kVendor);
        CopyCellText(check.stuIn.szClass, text(kDevClass), 63);
        CopyCellText(check.stuIn.szSN, text(kSerial), 63);
        CopyCellText(check.stuIn.szLanguage, text(kLanguage), 63);
        check.stuIn.nStandard = number(kVideoStandard);
        CopyCellText(check.stuIn.szSerialNo, text(kSn), 63);
        CopyCellText(net.szSerialNumber, text(kSn), 47);
        CopyCellText(check.stuIn.szSoftwareVersion, text(kSwVersion), 63);
        CopyCellText(net.szSoftVersion, text(kSwVersion), 63);
        check.stuIn.stuBuildTime = ParseBuildTime(text(kBuildTime));

        DEVICE_INFO info;
        std::memset(&info, 0, sizeof(info));
        info.bHasNewVersion = flag(kHasNewVersion) ? 1 : 0;
        CopyCellText(info.szNewVersion, text(kNewVersion), 63);
        info.nDownloadState = number(kDownloadStatus);
        CopyCellText(net.szMacAddr, text(kMac), 39);
        CopyCellText(info.szFileName, text(kProgramName), 1023);
        info.bCheckResult = flag(kCheckResult) ? 1 : 0;
        CopyCellText(info.szUser, text(kUsername), 31);
        CopyCellText(info.szXml, text(kXml), 1023);
        CopyCellText(info.szPassword, PasswordFromHex(text(kPassword)), 63);
        std::memcpy(&info.stNetInfo, &net, sizeof(net));
        pDevices->push_back(info);

        check.stuOut.bHasNewVersion = info.bHasNewVersion;
        SafeStrCopy(check.stuOut.szNewVersion, sizeof(check.stuOut.szNewVersion), info.szNewVersion);
        if (info.bCheckResult) {
            std::string key(net.szMacAddr);
            StrToUpper(key);
            (*pChecks)[key] = check;
        }
    }
    m_strLastError.clear();
    return true;
}
