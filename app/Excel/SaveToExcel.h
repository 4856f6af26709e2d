// Writes and reads device-list workbooks. One object serves one workbook from Open (or Create)
// to Close, on the GUI thread.
#pragma once

#include <QObject>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Common/DeviceInfo.h"
#include "Excel/WorkbookBackend.h"

struct CLOUDCHECK;
struct strudevice;

class CSaveToExcel : public QObject {
    Q_OBJECT

public:
    CSaveToExcel();
    ~CSaveToExcel() override;

    // Reads the workbook stored at the path. True when it was read. Otherwise (no file, an
    // unreadable or damaged file) a new empty workbook takes its place, LastError() says why,
    // and ReadDeviceList refuses to import it.
    bool Open(std::string path);
    // Starts a new empty workbook for an export to the path; nothing at the path is touched
    // before SaveAs. Always true.
    bool Create(std::string path);
    // Stores the workbook under the path. The previous file there is replaced only once the new
    // one is complete; on failure it is left as it was.
    bool SaveAs(std::string path);
    // Closes the workbook without storing it. Always true.
    bool Close();

    bool SetSheetName(std::string key, std::string name);
    // Makes the sheet registered under the key current. False for an unknown key or name.
    bool SelectSheet(std::string key);

    // Row 1 of the active sheet: the translated column titles. False without a workbook.
    bool WriteDeviceHeader();
    // Appends one device below the last used row. False before WriteDeviceHeader found a sheet.
    bool WriteDeviceRow(const DEVICE_NET_INFO_EX* pInfo);
    // Appends one record per row under the header of the active sheet (the first used row).
    // False, with the list unchanged, when the workbook was not read from a file or holds more
    // rows than a device list can.
    bool ReadDeviceList(std::vector<DEVICE_INFO>* pList);

    // Cloud-upgrade information: row 1 of the active sheet, 25 translated titles in A to Y.
    // False without a workbook; true with nothing written when there is no sheet.
    bool WriteCloudInfoHeader();
    // Appends a device of its own below the last used row. False before WriteCloudInfoHeader
    // found a sheet. The password goes into column X as hexadecimal digits.
    bool WriteCloudInfoRow(const DEVICE_NET_INFO_EX* pInfo, const CLOUDCHECK* pCheck, int nDownloadState,
                           const char* szProgramName, bool bCheckResult, std::string strUser, std::string strPassword);
    // Appends a device behind the recorder of the given MAC.
    bool WriteRemoteCloudInfoRow(const strudevice* pDevice, std::string strRecorderMac);
    // Reads every row under the header of the active sheet: local rows into the device list (and,
    // when their check result is set, the check map by upper-case MAC), remote rows with a check
    // result into the remote map by upper-case recorder MAC. Appends only. False, with nothing
    // changed, when the workbook was not read from a file or holds too many rows.
    bool ImportCloudInfo(std::vector<DEVICE_INFO>* pDevices, std::map<std::string, CLOUDCHECK>* pChecks,
                         std::map<std::string, std::vector<strudevice>>* pRemotes);

    // Why the last Open, SaveAs or ReadDeviceList failed; empty after a success.
    const std::string& LastError() const { return m_strLastError; }

private:
    void StartWorkbook();
    int NextFreeRow() const;
    // Makes the active sheet of a workbook read from its file current and gives its used rows
    // (the first holds the headings); false, with LastError set, when it cannot be read.
    bool OpenSheetRows(int* first, int* last);

    std::unique_ptr<IWorkbookBackend> m_pexcel;  // made by the first Open, deleted by Close
    IWorkbookBackend* m_pworkbooks = nullptr;    // the application's workbooks (m_pexcel itself)
    CWorkbook* m_pworkbook = nullptr;            // the workbook in use
    CWorksheets* m_pworksheets = nullptr;        // its sheets
    CWorksheet* m_pworksheet = nullptr;          // the current sheet
    std::map<std::string, std::string> m_mapsheetname;
    std::string m_strfilename;                   // path of the last Open or Create
    bool m_bReadFromFile = false;                // m_pworkbook came from m_strfilename
    std::string m_strLastError;
};

// Eight characters for a byte, bit 0 first: '1' for a set bit, '0' for a clear one.
std::string ByteToBitString(unsigned char byte);
