// Template file texts and a temporary folder for the template storage tests.
#pragma once

#include <QTemporaryDir>
#include <string>

namespace tplfiles {

// A complete template as the editors write it, root `root`, lines joined by `eol`. The FileManage
// line carries `fileManage` and the times 8:30:0 to 18:45:15.
std::string Template(const std::string& root = "IPC", const std::string& eol = "\r\n", int fileManage = 2);
// The text without the line that opens `section` (and its Channel and closing lines).
std::string WithoutSection(std::string text, const std::string& section);
// Replaces the first occurrence of `from` by `to`.
std::string Replace(std::string text, const std::string& from, const std::string& to);

class Folder {
public:
    // Writes text into the folder under name; returns the path.
    std::string Write(const std::string& name, const std::string& text) const;
    std::string Path(const std::string& name) const;

private:
    QTemporaryDir m_dir;
};

} // namespace tplfiles
