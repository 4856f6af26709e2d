// Worker half of the add-on tool page; see the header.
#include "OtherTool/COtherToolLogic.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "Common/SFTask.h"
#include "Main/ShellPost.h"
#include "OtherTool/COtherToolEventImp.h"
#include "OtherTool/ToolProcess.h"

using namespace othertool;

namespace {

enum { kUnpackMs = 300000, kExamineMs = 60000 };

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The four installed files of tool `name`, relative to the application (or staging) folder.
std::vector<std::string> ToolFiles(const std::string& name, const ToolInstallPlace& place)
{
    return {"/Config/" + name + "_config.xml", "/Lang/" + name + "_" + place.langFile, "/" + name + ".exe",
            "/Manual/" + name + "_" + place.manual};
}

bool ReadSmallFile(const std::string& path, std::string* text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text->clear();
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        text->append(buf, static_cast<size_t>(in.gcount()));
        if (text->size() > (16u << 20))
            break;
    }
    return true;
}

} // namespace

ToolExamineResult COtherToolLogic::ExamineApp(const std::string& package, const ToolInstallPlace& place)
{
    ToolExamineResult result;
    if (!FileExists(package)) {
        result.refusal = {Problem::FileMissing, package};
        return result;
    }
    // Files left by an earlier run must not mix with this package's.
    if (!ResetFolder(place.staging)) {
        result.refusal = {Problem::StagingFailed, place.staging};
        return result;
    }
    result.refusal = CheckPackage(place.appDir, package);
    if (!result.refusal) {
        result.refusal = RunArchiver(place.appDir,
                                     {"e", package, "-o" + place.staging, "Config/AppInfo.xml", "-r", "-y", "-aos"},
                                     kExamineMs, nullptr);
    }
    const std::string info = place.staging + "/AppInfo.xml";
    if (!result.refusal) {
        std::string text;
        if (!FileExists(info) || !ReadSmallFile(info, &text))
            result.refusal = {Problem::NoAppInfo, ""};
        else
            result.refusal = ReadAppInfo(text, place.language, &result.entry, &result.number);
    }
    QFile::remove(Q(info));
    return result;
}

ToolInstallResult COtherToolLogic::InstallApp(const std::string& package, const ToolEntry& record,
                                              const ToolInstallPlace& place)
{
    ToolInstallResult result;
    const std::string& n = record.name;
    auto fail = [&](Refusal r) {
        result.refusal = r;
        DeleteDirectory(place.staging, place.appDir);
        return result;
    };
    if (!ResetFolder(place.staging))
        return fail({Problem::StagingFailed, place.staging});
    // The package may have changed since it was examined.
    if (Refusal r = CheckPackage(place.appDir, package))
        return fail(r);
    if (Refusal r = RunArchiver(place.appDir, {"x", package, "-o" + place.staging, "-r", "-y", "-aos"}, kUnpackMs,
                                nullptr))
        return fail(r);
    if (Refusal r = CheckUnpacked(place.staging))
        return fail(r);

    // Every file is in the package before any installed file is touched, and each is copied beside
    // its place first: a failed upgrade leaves the installed version whole.
    const std::vector<std::string> files = ToolFiles(n, place);
    if (!FileExists(place.staging + "/" + n + ".exe"))
        return fail({Problem::MissingInPackage, n + ".exe"});
    for (const std::string& f : files) {
        if (!FileExists(place.staging + f))
            return fail({Problem::MissingInPackage, f.substr(1)});
    }
    std::vector<std::string> copied;
    for (const std::string& f : files) {
        const QString target = Q(place.appDir + f);
        const QString temp = target + QStringLiteral(".new");
        QFile::remove(temp);
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(Q(place.staging + f), temp)) {
            for (const std::string& c : copied)
                QFile::remove(Q(place.appDir + c) + QStringLiteral(".new"));
            QFile::remove(temp);
            return fail({Problem::CopyFailed, f.substr(1)});
        }
        copied.push_back(f);
    }
    for (const std::string& f : files) {
        const std::string temp = place.appDir + f + ".new";
        if (::rename(temp.c_str(), (place.appDir + f).c_str()) != 0) {
            for (const std::string& c : files)
                QFile::remove(Q(place.appDir + c) + QStringLiteral(".new"));
            return fail({Problem::CopyFailed, f.substr(1)});
        }
    }
    // The tool is a program of its own: it must be startable whatever the archive kept.
    const QString exe = Q(place.appDir + "/" + n + ".exe");
    QFile::setPermissions(exe, QFile::permissions(exe) | QFile::ExeOwner | QFile::ReadOwner | QFile::ExeGroup |
                                   QFile::ReadGroup);
    result.success = true;

    // Tile images: an image already in the skin folder is kept, never replaced by a package's.
    const int order[4] = {1, 0, 2, 3};
    for (int i : order) {
        const std::string& image = record.images[i];
        if (image.empty()) {
            result.defaultImages = true;
            break;
        }
        const std::string target = place.appDir + "/Skin/" + image;
        QDir().mkpath(Q(place.appDir + "/Skin"));
        QFile::copy(Q(place.staging + "/Skin/" + image), Q(target));
        if (!FileExists(target)) {
            result.defaultImages = true;
            break;
        }
    }
    DeleteDirectory(place.staging, place.appDir);
    return result;
}

void COtherToolLogic::DeleteAppFiles(const std::string& name, const ToolInstallPlace& place)
{
    if (!ValidToolName(name))
        return;
    for (const std::string& f : ToolFiles(name, place))
        QFile::remove(Q(place.appDir + f));
}

void COtherToolLogic::Task_ExamineApp(std::string package, ToolInstallPlace place)
{
    ToolExamineResult result = ExamineApp(package, place);
    std::shared_ptr<COtherToolEventImp> page = m_wpPage.lock();
    if (!page)
        return;
    ShellPostTask<COtherToolEventImp>(
        VeyraBase::ML_MAIN, page, [page, package, result] { page->Ret_ExamineApp(package, result); }, __FILE__,
        __LINE__, "&COtherToolEventImp::Ret_ExamineApp", "COtherToolLogic::Task_ExamineApp");
}

void COtherToolLogic::Task_StartInstallApp(int index, std::string package, ToolEntry record, ToolEntry back,
                                           ToolInstallPlace place)
{
    ToolInstallResult result = InstallApp(package, record, place);
    std::shared_ptr<COtherToolEventImp> page = m_wpPage.lock();
    if (!page)
        return;
    ShellPostTask<COtherToolEventImp>(
        VeyraBase::ML_MAIN, page, [page, index, back, result] { page->Ret_AppInstall(result, index, back); },
        __FILE__, __LINE__, "&COtherToolEventImp::Ret_AppInstall", "COtherToolLogic::Task_StartInstallApp");
}
