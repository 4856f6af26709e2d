#include "Excel/SaveToExcel.h"

#include <QString>

#include <cstring>

#include "Common/DevClass.h"
#include "Common/Translate.h"
#include "Excel/CellText.h"

namespace {

using excelcell::CopyCellText;
using excelcell::FieldText;
using excelcell::TrUtf8;

const wchar_t* const kDeviceColumns[10] = {
    L"Type", L"Model", L"IP", L"Port", L"MAC", L"Serial No.", L"Version", L"Subnet Mask", L"Gateway", L"Initial Status",
};

using excelcell::kMaxDeviceRows;

const char* ErrorText(EWorkbookError error)
{
    switch (error) {
    case EWorkbookError::NotFound:
        return "File not found";
    case EWorkbookError::Unreadable:
        return "File cannot be read";
    case EWorkbookError::NotWorkbook:
        return "File is not a workbook";
    case EWorkbookError::Corrupt:
        return "Workbook is damaged";
    case EWorkbookError::WriteFailed:
        return "Workbook cannot be stored";
    case EWorkbookError::NoLibrary:
        break;  // translated in Describe
    case EWorkbookError::None:
        break;
    }
    return "";
}

std::string Describe(EWorkbookError error, const std::string& detail)
{
    std::string text = error == EWorkbookError::NoLibrary ? TrUtf8(L"The workbook library could not be loaded")
                                                           : ErrorText(error);
    if (!detail.empty())
        text += ": " + detail;
    return text;
}

}  // namespace

CSaveToExcel::CSaveToExcel() : QObject(nullptr) {}

CSaveToExcel::~CSaveToExcel() = default;

void CSaveToExcel::StartWorkbook()
{
    if (!m_pexcel) {
        m_pexcel = CreateWorkbookBackend();
        m_pworkbooks = m_pexcel.get();
    }
}

bool CSaveToExcel::Open(std::string path)
{
    m_strfilename = path;
    StartWorkbook();
    EWorkbookError error = EWorkbookError::None;
    std::string detail;
    m_pworkbook = m_pworkbooks->Open(path, &error, &detail);
    m_bReadFromFile = m_pworkbook != nullptr;
    m_strLastError = m_bReadFromFile ? std::string() : Describe(error, detail);
    if (!m_pworkbook)
        m_pworkbook = m_pworkbooks->Add();
    m_pworksheets = &m_pworkbook->Worksheets();
    return m_bReadFromFile;
}

bool CSaveToExcel::Create(std::string path)
{
    m_strfilename = path;
    StartWorkbook();
    m_pworkbook = m_pworkbooks->Add();
    m_pworksheets = &m_pworkbook->Worksheets();
    m_bReadFromFile = false;
    m_strLastError.clear();
    return true;
}

bool CSaveToExcel::SaveAs(std::string path)
{
    if (!m_pexcel || !m_pworkbook) {
        m_strLastError = Describe(EWorkbookError::WriteFailed, "no workbook");
        return false;
    }
    EWorkbookError error = EWorkbookError::None;
    std::string detail;
    bool saved = m_pexcel->SaveAs(m_pworkbook, path, &error, &detail);
    m_strLastError = saved ? std::string() : Describe(error, detail);
    return saved;
}

bool CSaveToExcel::Close()
{
    if (m_pexcel && m_pworkbook)
        m_pexcel->CloseWorkbook(m_pworkbook);
    m_pexcel.reset();
    m_pworkbooks = nullptr;
    m_pworkbook = nullptr;
    m_pworksheets = nullptr;
    m_pworksheet = nullptr;
    m_bReadFromFile = false;
    return true;
}

bool CSaveToExcel::SetSheetName(std::string key, std::string name)
{
    m_mapsheetname[key] = name;
    return true;
}

bool CSaveToExcel::SelectSheet(std::string key)
{
    auto it = m_mapsheetname.find(key);
    if (!m_pworksheets || !m_pworkbook || it == m_mapsheetname.end())
        return false;
    const int count = m_pworksheets->Count();
    for (int i = 1; i <= count; ++i) {
        CWorksheet* sheet = m_pworksheets->Item(i);
        if (!sheet)
            return false;
        if (sheet->Name() == it->second) {
            m_pworksheet = sheet;
            return true;
        }
    }
    return false;
}

bool CSaveToExcel::WriteDeviceHeader()
{
    if (!m_pworksheets || !m_pworkbook)
        return false;
    m_pworksheet = m_pworkbook->ActiveSheet();
    if (!m_pworksheet)
        return true;
    for (int column = 1; column <= 10; ++column)
        m_pworksheet->SetCell(1, column, CCellValue::FromText(TrUtf8(kDeviceColumns[column - 1])));
    m_pworksheet->AutoFit(1, 9);
    return true;
}

bool CSaveToExcel::WriteDeviceRow(const DEVICE_NET_INFO_EX* pInfo)
{
    if (!m_pworksheet || !pInfo)
        return false;
    int first = 1, count = 1;
    m_pworksheet->UsedRange(&first, &count);
    const int row = first + count;  // the row below the last used one

    const std::string type = NormalizeDevType(FieldText(pInfo->szTypeName), FieldText(pInfo->szDetailName));
    const std::string status = TrUtf8(IsUninitializedStatus(pInfo->byInitState) ? L"Not initialized" : L"Initialized");
    const std::string cells[10] = {
        type,
        FieldText(pInfo->szDetailName),
        FieldText(pInfo->szIpAddr),
        std::to_string(pInfo->nPort),
        FieldText(pInfo->szMacAddr),
        FieldText(pInfo->szSerialNumber),
        FieldText(pInfo->szSoftVersion),
        FieldText(pInfo->szNetMask),
        FieldText(pInfo->szGatewayAddr),
        status,
    };
    for (int column = 1; column <= 10; ++column)
        m_pworksheet->SetCell(row, column, CCellValue::FromText(cells[column - 1]));
    m_pworksheet->AutoFit(1, 10);
    return true;
}

bool CSaveToExcel::OpenSheetRows(int* first, int* last)
{
    if (!m_bReadFromFile)
        return false;  // LastError() still tells why Open found nothing to read
    m_pworksheet = m_pworkbook->ActiveSheet();
    if (!m_pworksheet) {
        m_strLastError = "Workbook has no sheet";
        return false;
    }
    int count = 1;
    *first = 1;
    m_pworksheet->UsedRange(first, &count);
    *last = *first + count - 1;
    if (*last - *first > kMaxDeviceRows) {
        m_strLastError = "Workbook has more than " + std::to_string(kMaxDeviceRows) + " rows";
        return false;
    }
    return true;
}

bool CSaveToExcel::ReadDeviceList(std::vector<DEVICE_INFO>* pList)
{
    if (!pList || !m_pworkbook)
        return false;
    int first = 1, last = 1;
    if (!OpenSheetRows(&first, &last))
        return false;
    const std::string initialized = TrUtf8(L"Initialized");
    const std::string notInitialized = TrUtf8(L"Not initialized");

    for (int row = first + 1; row <= last; ++row) {
        auto text = [this, row](int column) {
            return QString::fromUtf8(m_pworksheet->GetCell(row, column).AsText().c_str()).toStdString();
        };
        DEVICE_NET_INFO_EX net;
        std::memset(&net, 0, sizeof(net));
        CopyCellText(net.szTypeName, text(1), 31);
        CopyCellText(net.szDetailName, text(2), 31);
        CopyCellText(net.szIpAddr, text(3), 15);
        net.nPort = m_pworksheet->GetCell(row, 4).AsInt();
        CopyCellText(net.szMacAddr, text(5), 39);
        CopyCellText(net.szSerialNumber, text(6), 47);
        CopyCellText(net.szSoftVersion, text(7), 127);
        CopyCellText(net.szNetMask, text(8), 63);
        CopyCellText(net.szGatewayAddr, text(9), 63);
        const std::string status = text(10);
        net.byInitState = status == initialized ? 2 : status == notInitialized ? 1 : 255;

        DEVICE_INFO info;
        std::memset(&info, 0, sizeof(info));
        std::memcpy(&info.stNetInfo, &net, sizeof(net));
        pList->push_back(info);
    }
    m_strLastError.clear();
    return true;
}

std::string ByteToBitString(unsigned char byte)
{
    std::string bits(8, '0');
    for (int i = 0; i < 8; ++i)
        if (byte & (1u << i))
            bits[static_cast<size_t>(i)] = '1';
    return bits;
}
