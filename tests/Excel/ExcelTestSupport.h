// Temporary folders and a Python with openpyxl for the workbook tests.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

class CTempDir {
public:
    CTempDir()
    {
        char tmpl[] = "/tmp/excel-test-XXXXXX";
        const char* made = ::mkdtemp(tmpl);
        m_path = made ? made : "";
    }
    ~CTempDir()
    {
        if (!m_path.empty())
            std::system(("rm -rf '" + m_path + "'").c_str());
    }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void WriteFile(const std::string& path, const std::string& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << data;
}

// The first Python 3 that has openpyxl; empty when there is none.
inline std::string PythonWithOpenpyxl()
{
    for (const char* candidate : {"/usr/bin/python3", "python3"}) {
        std::string cmd = std::string(candidate) + " -c 'import openpyxl' >/dev/null 2>&1";
        if (std::system(cmd.c_str()) == 0)
            return candidate;
    }
    return std::string();
}

// Runs a Python script with arguments; returns its standard output, sets *status to its exit code.
inline std::string RunPython(const std::string& python, const std::string& script, const std::string& args, int* status)
{
    char tmpl[] = "/tmp/excel-test-script-XXXXXX";
    int fd = ::mkstemp(tmpl);
    if (fd < 0) {
        *status = -1;
        return std::string();
    }
    ::close(fd);
    WriteFile(tmpl, script);
    std::string out;
    FILE* p = ::popen((python + " " + tmpl + " " + args).c_str(), "r");
    if (p) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        int rc = ::pclose(p);
        *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    } else {
        *status = -1;
    }
    ::unlink(tmpl);
    return out;
}
