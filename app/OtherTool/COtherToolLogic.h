// Worker half of the add-on tool page: examines and installs tool packages on the device loop and
// posts each result back to the page on the GUI loop. Reads no page state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "OtherTool/ToolPackage.h"

class COtherToolEventImp;

// What an installation needs, fixed on the GUI thread before it is handed over.
struct ToolInstallPlace {
    std::string appDir;     // application folder
    std::string staging;    // appDir + "/App"
    std::string langFile;   // "Lang_1.xml" or "Lang_0.xml"
    std::string manual;     // translated "Operation Manual.pdf"
    int language = 0;
};

struct ToolExamineResult {
    othertool::Refusal refusal;
    othertool::ToolEntry entry;
    uint64_t number = 0;
};

struct ToolInstallResult {
    bool success = false;
    bool defaultImages = false;
    othertool::Refusal refusal;
};

class COtherToolLogic : public std::enable_shared_from_this<COtherToolLogic> {
public:
    explicit COtherToolLogic(std::weak_ptr<COtherToolEventImp> page) : m_wpPage(std::move(page)) {}

    // Loop 3: checks the package, unpacks its Config/AppInfo.xml alone and reads it.
    void Task_ExamineApp(std::string package, ToolInstallPlace place);
    // Loop 3: unpacks the whole package into the staging folder and copies the files of tool
    // `record`; hands `back` (the new record, or an upgrade's previous one) to the page.
    void Task_StartInstallApp(int index, std::string package, othertool::ToolEntry record, othertool::ToolEntry back,
                              ToolInstallPlace place);

    static ToolExamineResult ExamineApp(const std::string& package, const ToolInstallPlace& place);
    static ToolInstallResult InstallApp(const std::string& package, const othertool::ToolEntry& record,
                                        const ToolInstallPlace& place);
    // Deletes a tool's four installed files (failures ignored); skin images stay.
    static void DeleteAppFiles(const std::string& name, const ToolInstallPlace& place);

private:
    std::weak_ptr<COtherToolEventImp> m_wpPage;
};
