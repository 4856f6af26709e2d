// Workbooks on files: reads Office Open XML and BIFF, writes Office Open XML.
#pragma once

#include <memory>
#include <vector>

#include "Excel/WorkbookBackend.h"

class CFileWorkbookBackend : public IWorkbookBackend {
public:
    CWorkbook* Open(const std::string& path, EWorkbookError* error, std::string* message) override;
    CWorkbook* Add() override;
    bool SaveAs(CWorkbook* workbook, const std::string& path, EWorkbookError* error, std::string* message) override;
    void CloseWorkbook(CWorkbook* workbook) override;

private:
    std::vector<std::unique_ptr<CWorkbook>> m_workbooks;
};
