// The archiver runner with small shell programs in its place.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sys/stat.h>

#include <fstream>

#include "Common/Archiver.h"

namespace {

std::string Script(const QTemporaryDir& dir, const std::string& name, const std::string& body, mode_t mode = 0755)
{
    const std::string path = dir.path().toStdString() + "/" + name;
    std::ofstream(path) << "#!/bin/sh\n" << body;
    ::chmod(path.c_str(), mode);
    return path;
}

} // namespace

TEST(Archiver, OutcomesOfARun)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        const char* what;
        std::string body;
        bool keepOutput;
        size_t maxOutput;
        archiver::Status status;
        std::string detail;
        std::string output;
    };
    const Case cases[] = {
        {"listing kept", "echo one; echo two\n", true, 100, archiver::Status::Ok, "", "one\ntwo\n"},
        {"error line from stderr", "echo 'ERROR: banner'; echo 'noise' >&2; echo 'ERROR: x : bad' >&2; exit 2\n",
         true, 100, archiver::Status::Failed, "ERROR: x : bad", "ERROR: banner\n"},
        {"error line merged", "echo banner; echo 'ERROR: y : bad\nmore'; exit 2\n", false, 0,
         archiver::Status::Failed, "ERROR: y : bad", ""},
        {"first line without ERROR", "echo 'Can not open' >&2; echo second >&2; exit 2\n", true, 100,
         archiver::Status::Failed, "Can not open", ""},
        {"silent exit code", "exit 7\n", true, 100, archiver::Status::Failed, "exit code 7", ""},
        {"end of input on stdin", "if read line; then exit 5; fi\n", true, 100, archiver::Status::Ok, "", ""},
        {"output past the limit", "head -c 5000 /dev/zero\n", true, 1000, archiver::Status::Overflow, "", ""},
        {"endless output", "yes\n", true, 1 << 16, archiver::Status::Overflow, "", ""},
        {"unbounded without output", "head -c 100000 /dev/zero; exit 0\n", false, 0, archiver::Status::Ok, "", ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string program = Script(dir, "p" + std::to_string(n++), c.body);
        std::string output;
        const archiver::Result r = archiver::Run(program, {}, 20000, c.keepOutput ? &output : nullptr, c.maxOutput);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.detail, c.detail);
        if (c.status != archiver::Status::Overflow) {
            EXPECT_EQ(output, c.output);
        }
    }
}

TEST(Archiver, TimeLimitAndStartFailure)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const archiver::Result slow = archiver::Run(Script(dir, "slow", "exec sleep 30\n"), {}, 300, nullptr, 0);
    EXPECT_EQ(slow.status, archiver::Status::Timeout);
    EXPECT_EQ(slow.detail, "0");

    const archiver::Result none = archiver::Run(dir.path().toStdString() + "/none", {}, 5000, nullptr, 0);
    EXPECT_EQ(none.status, archiver::Status::Failed);
    EXPECT_FALSE(none.detail.empty());
}

TEST(Archiver, FoundBesideTheProgramWhenExecutable)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string app = dir.path().toStdString();
    const std::string beside = Script(dir, "7z", "exit 0\n", 0644);
    EXPECT_NE(archiver::Find(app), beside);
    ::chmod(beside.c_str(), 0755);
    EXPECT_EQ(archiver::Find(app), beside);
    EXPECT_NE(archiver::Find(std::string()), beside);
}
