// The spreadsheet application that CSaveToExcel drives: opens, adds, stores and closes workbooks.
#pragma once

#include <memory>
#include <string>

#include "Excel/Workbook.h"

// Why a workbook could not be opened or stored.
enum class EWorkbookError {
    None,
    NotFound,     // nothing at the path
    Unreadable,   // the file exists but cannot be read (permissions, a folder, an I/O error)
    NotWorkbook,  // the content is no workbook format we know
    Corrupt,      // a known format, but damaged
    WriteFailed,  // storing failed; the file at the path is unchanged
    NoLibrary,    // the workbook library for the format could not be loaded; the message names it
};

class IWorkbookBackend {
public:
    virtual ~IWorkbookBackend() = default;

    // Reads the workbook stored at `path`, whatever its extension says (Office Open XML or
    // legacy BIFF). Null on failure, with the reason in `error` and a text for people in `message`.
    virtual CWorkbook* Open(const std::string& path, EWorkbookError* error, std::string* message) = 0;
    // A new workbook with one empty sheet.
    virtual CWorkbook* Add() = 0;
    // Stores the workbook under `path` as Office Open XML. The new file replaces the old one in
    // one step: on failure whatever was at the path is left as it was.
    virtual bool SaveAs(CWorkbook* workbook, const std::string& path, EWorkbookError* error, std::string* message) = 0;
    // Forgets the workbook without storing it.
    virtual void CloseWorkbook(CWorkbook* workbook) = 0;
};

// The backend on files.
std::unique_ptr<IWorkbookBackend> CreateWorkbookBackend();
