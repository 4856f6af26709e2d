// The offline export and import through the real 7z program, in temporary folders.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <sys/stat.h>

#include "CloudUpgrade/CloudOffline.h"
#include "OfflineTestSupport.h"

using namespace cloudoffline;

namespace {

class CloudOfflineArchiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_send = m_dir.path().toStdString() + "/send";
        m_receive = m_dir.path().toStdString() + "/receive";
        QDir().mkpath(QString::fromStdString(m_send));
        QDir().mkpath(QString::fromStdString(m_receive));
        m_archive = m_dir.path().toStdString() + "/out.7z";
        if (QStandardPaths::findExecutable(QStringLiteral("7z")).isEmpty())
            GTEST_SKIP() << "the 7z program is needed (package p7zip-full)";
    }
    void TearDown() override { SetArchiverForTest(std::string()); }

    // Entry names of the archive, in order.
    QStringList Entries(const std::string& archive)
    {
        QProcess p;
        p.start(QStringLiteral("7z"), {QStringLiteral("l"), QStringLiteral("-slt"), QString::fromStdString(archive)});
        p.waitForFinished(30000);
        QStringList names;
        for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1String("Path = ")) && !line.endsWith(QLatin1String(".7z")))
                names << line.mid(7).trimmed();
        return names;
    }

    QTemporaryDir m_dir;
    std::string m_send, m_receive, m_archive;
};

} // namespace

TEST(CloudOfflinePathTest, ArchivePathGetsItsExtensionAndALimit)
{
    std::string path;
    EXPECT_TRUE(MakeArchivePath(L"/tmp/devices", &path));
    EXPECT_EQ(path, "/tmp/devices.7z");
    EXPECT_TRUE(MakeArchivePath(L"/tmp/devices.7z.bak", &path));
    EXPECT_EQ(path, "/tmp/devices.7z.bak");
    EXPECT_FALSE(MakeArchivePath(L"/tmp/" + std::wstring(200, L'a'), &path));
}

TEST_F(CloudOfflineArchiveTest, ExportedArchiveImportsOnAnotherWorkstation)
{
    WriteAll(m_send + "/fw-a.bin", std::string(4096, 'A'));
    DEVICE_INFO a = MakeDevice("192.168.1.10", "aa:bb:cc:00:00:01", "Gate,North");
    a.nDownloadState = 3;
    std::strcpy(a.szFileName, "fw-a.bin");
    DEVICE_INFO gone = MakeDevice("192.168.1.11", "aa:bb:cc:00:00:02");
    gone.nDownloadState = 3;
    std::strcpy(gone.szFileName, "deleted.bin");
    DEVICE_INFO unchecked = MakeDevice("192.168.1.12", "aa:bb:cc:00:00:03");
    DEVICE_INFO recorder = MakeDevice("192.168.1.20", "aa:bb:cc:00:00:20");

    CloudCheckMap checks;
    checks["AA:BB:CC:00:00:01"] = MakeCheck("2.900");
    RemoteDeviceMap remotes;
    remotes["AA:BB:CC:00:00:20"] = {MakeRemote("00:00:00:00:00:21", 0), MakeRemote("00:00:00:00:00:22", 1)};

    std::vector<ExportRow> rows = {
        {true, 0, "aa:bb:cc:00:00:01", &a},
        {true, 0, "AA:BB:CC:00:00:02", &gone},
        {false, 0, "aa:bb:cc:00:00:03", &unchecked},
        {false, 0, "aa:bb:cc:00:00:20", &recorder},
        {true, 4, "00:00:00:00:00:21", nullptr},
        {true, 4, "00:00:00:00:00:22", nullptr},
        {true, 4, "00:00:00:00:00:99", nullptr},  // no such remote device: no row
    };
    const ExportResult result = ExportDeviceInfo(m_send, m_archive, rows, checks, remotes);
    ASSERT_EQ(result.status, ExportStatus::Ok) << QString::fromStdWString(ExportMessage(result)).toStdString();
    EXPECT_EQ(result.nRows, 5) << "two devices, the recorder once, two remote devices";
    EXPECT_EQ(gone.nDownloadState, 0) << "a missing firmware file is no download";
    EXPECT_STREQ(gone.szFileName, "");
    EXPECT_EQ(Entries(m_archive), (QStringList{QStringLiteral("fw-a.bin"), QStringLiteral("CloudUpgradeTemplate.csv")}));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(TemplatePath(m_send)))) << "the template stays";

    const ExtractResult extracted = ExtractOfflineArchive(m_archive, m_receive);
    ASSERT_EQ(extracted.status, ExtractStatus::Ok) << QString::fromStdWString(ExtractMessage(extracted)).toStdString();
    EXPECT_EQ(ReadAll(m_receive + "/fw-a.bin"), std::string(4096, 'A'));

    CloudCheckMap gotChecks;
    RemoteDeviceMap gotRemotes;
    const cloudtemplate::ReadResult read = cloudtemplate::ReadTemplateFile(TemplatePath(m_receive), "admin", "pw",
                                                                           &gotChecks, &gotRemotes);
    ASSERT_EQ(read.status, cloudtemplate::ReadStatus::Ok);
    ASSERT_EQ(read.devices.size(), 3u);
    EXPECT_STREQ(read.devices[0].stNetInfo.szDeviceName, "Gate,North");
    EXPECT_STREQ(read.devices[0].szFileName, "fw-a.bin");
    EXPECT_EQ(read.devices[0].nDownloadState, 3);
    EXPECT_EQ(read.devices[1].nDownloadState, 0);
    EXPECT_STREQ(read.devices[2].stNetInfo.szIpAddr, "192.168.1.20");
    EXPECT_STREQ(gotChecks["AA:BB:CC:00:00:01"].stuOut.szNewVersion, "2.900");
    ASSERT_EQ(gotRemotes["AA:BB:CC:00:00:20"].size(), 2u);
    EXPECT_EQ(read.skippedRows, 0u);
}

TEST_F(CloudOfflineArchiveTest, FirmwareThatCannotBePackedFailsTheExportByName)
{
    WriteAll(m_send + "/fw.bin", "data");
    DEVICE_INFO a = MakeDevice("192.168.1.10", "aa:bb:cc:00:00:01");
    a.nDownloadState = 3;
    std::strcpy(a.szFileName, "fw.bin");
    std::vector<ExportRow> rows = {{true, 0, "aa:bb:cc:00:00:01", &a}};
    // An archiver that packs the template but refuses the firmware file.
    const std::string fake = m_dir.path().toStdString() + "/7z";
    WriteAll(fake, "#!/bin/sh\ncase \"$4\" in *.csv) exec 7z \"$@\";; esac\n"
                   "echo \"ERROR: $4 : cannot read\"; exit 2\n");
    ::chmod(fake.c_str(), 0755);
    SetArchiverForTest(fake);
    const ExportResult result = ExportDeviceInfo(m_send, m_archive, rows, {}, {});
    EXPECT_EQ(result.status, ExportStatus::Failed);
    ASSERT_EQ(result.failedFiles, std::vector<std::string>{"fw.bin"});
    const QString text = QString::fromStdWString(ExportMessage(result));
    EXPECT_TRUE(text.startsWith(QLatin1String("Export device list failed!"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String("fw.bin"))) << text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(m_archive)));
}

TEST_F(CloudOfflineArchiveTest, ExportRefusalsNameTheirCause)
{
    DEVICE_INFO a = MakeDevice("192.168.1.10", "aa:bb:cc:00:00:01");
    std::vector<ExportRow> rows = {{true, 0, "aa:bb:cc:00:00:01", &a}};

    ExportResult r = ExportDeviceInfo(m_send + "/missing", m_archive, rows, {}, {});
    EXPECT_EQ(r.status, ExportStatus::DownloadPathMissing);
    EXPECT_EQ(ExportMessage(r), L"Download Path is not exist.");

    QDir().mkpath(QString::fromStdString(TemplatePath(m_send) + "/inside"));  // a folder in the template's place
    r = ExportDeviceInfo(m_send, m_archive, rows, {}, {});
    EXPECT_EQ(r.status, ExportStatus::FileInUse);
    EXPECT_TRUE(QString::fromStdWString(ExportMessage(r)).startsWith(
        QLatin1String("Export failed, maybe the file is being used by another process.")));
    QDir(QString::fromStdString(TemplatePath(m_send))).removeRecursively();

    SetArchiverForTest(m_dir.path().toStdString() + "/no-such-7z");
    r = ExportDeviceInfo(m_send, m_archive, rows, {}, {});
    EXPECT_EQ(r.status, ExportStatus::Failed);
    EXPECT_EQ(r.archiver.status, ArchiverStatus::Missing);
    EXPECT_TRUE(QString::fromStdWString(ExportMessage(r)).contains(QLatin1String("p7zip-full")));
}

TEST_F(CloudOfflineArchiveTest, ArchiveWithoutTemplateLeavesTheOldOneAndSaysSo)
{
    WriteAll(TemplatePath(m_receive), "old");
    WriteAll(m_send + "/only.bin", "x");
    ASSERT_TRUE(AddFileTo7z(m_archive, m_send + "/only.bin"));
    const ExtractResult r = ExtractOfflineArchive(m_archive, m_receive);
    EXPECT_EQ(r.status, ExtractStatus::NoTemplate);
    EXPECT_EQ(ReadAll(TemplatePath(m_receive)), "old");
    EXPECT_TRUE(QString::fromStdWString(ExtractMessage(r)).startsWith(
        QLatin1String("File is not exist.maybe insufficient download path space.")));

    EXPECT_EQ(ExtractOfflineArchive(m_dir.path().toStdString() + "/none.7z", m_receive).status,
              ExtractStatus::ArchiveMissing);
    EXPECT_EQ(ExtractOfflineArchive(m_archive, m_receive + "/missing").status, ExtractStatus::DownloadPathMissing);
}

TEST_F(CloudOfflineArchiveTest, OnlyPlainFilesAtTheTopOfTheArchiveReachTheFolder)
{
    // An archive with a folder entry and the template: the folder's content stays out.
    QDir().mkpath(QString::fromStdString(m_send + "/sub"));
    WriteAll(m_send + "/sub/evil.bin", "x");
    WriteAll(TemplatePath(m_send), Header());
    ASSERT_TRUE(AddFileTo7z(m_archive, m_send + "/sub"));
    ASSERT_TRUE(AddFileTo7z(m_archive, TemplatePath(m_send)));
    const ExtractResult r = ExtractOfflineArchive(m_archive, m_receive);
    ASSERT_EQ(r.status, ExtractStatus::Ok);
    EXPECT_EQ(r.nFiles, 1u);
    EXPECT_EQ(r.skipped, std::vector<std::string>{"sub"});
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(m_receive + "/sub")));
    EXPECT_EQ(QDir(QString::fromStdString(m_receive)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("CloudUpgradeTemplate.csv")})
        << "the unpacking folder is gone";
}

TEST_F(CloudOfflineArchiveTest, ArchiveLargerThanTheFreeSpaceIsNotUnpacked)
{
    WriteAll(m_send + "/fw.bin", "x");
    ASSERT_TRUE(AddFileTo7z(m_archive, m_send + "/fw.bin"));
    // An archiver whose listing claims a vast file, and that fails the test if asked to unpack.
    const std::string fake = m_dir.path().toStdString() + "/7z";
    WriteAll(fake, "#!/bin/sh\nif [ \"$1\" = l ]; then printf 'Path = fw.bin\\nSize = 1000000000000000\\n'; exit 0; fi\n"
                   "exit 9\n");
    ::chmod(fake.c_str(), 0755);
    SetArchiverForTest(fake);
    const ExtractResult r = ExtractOfflineArchive(m_archive, m_receive);
    EXPECT_EQ(r.status, ExtractStatus::TooLarge);
    EXPECT_EQ(r.totals.bytes, 1000000000000000u);
    EXPECT_TRUE(QString::fromStdWString(ExtractMessage(r)).startsWith(QLatin1String("The archive unpacks to 953674317 MB")))
        << QString::fromStdWString(ExtractMessage(r)).toStdString();
    EXPECT_TRUE(QDir(QString::fromStdString(m_receive)).isEmpty());

    WriteAll(m_dir.path().toStdString() + "/junk.7z", "not an archive");
    SetArchiverForTest(std::string());
    const ExtractResult junk = ExtractOfflineArchive(m_dir.path().toStdString() + "/junk.7z", m_receive);
    EXPECT_EQ(junk.status, ExtractStatus::NoTemplate);
    EXPECT_EQ(junk.archiver.status, ArchiverStatus::Failed);
    EXPECT_TRUE(QString::fromStdWString(ExtractMessage(junk)).contains(QLatin1String("The archiver 7z failed")));
}

TEST(CloudOfflineMergeTest, ImportedRecordUpdatesTheStoredDeviceOfTheSameMac)
{
    DEVICE_INFO stored = MakeDevice("10.0.0.1", "aa:bb:cc:00:00:01");
    DEVICE_INFO imported = MakeDevice("10.0.0.9", "AA:BB:CC:00:00:01");
    std::strcpy(imported.stNetInfo.szSoftVersion, "9.9");
    imported.stNetInfo.nPort = 1234;
    imported.nDownloadState = 3;
    std::strcpy(imported.szFileName, "fw.bin");
    std::strcpy(imported.szUser, "u");
    EXPECT_TRUE(IsSameImportedDevice(stored, imported));
    MergeImportedDevice(stored, imported);
    EXPECT_STREQ(stored.stNetInfo.szIpAddr, "10.0.0.1");
    EXPECT_STREQ(stored.stNetInfo.szSoftVersion, "9.9");
    EXPECT_EQ(stored.stNetInfo.nPort, 1234);
    EXPECT_STREQ(stored.szFileName, "fw.bin");
    EXPECT_STREQ(stored.szUser, "u");
    imported.stNetInfo.nIpVersion = 6;
    EXPECT_FALSE(IsSameImportedDevice(stored, imported));
}

TEST(CloudOfflineMessageTest, ReadFailuresAndNotesAreWorded)
{
    cloudtemplate::ReadResult r;
    r.status = cloudtemplate::ReadStatus::TemplateError;
    EXPECT_EQ(ReadFailureMessage(r, "/x.csv"), L"Import device list failed,maybe template error.");
    r.status = cloudtemplate::ReadStatus::CannotOpen;
    r.reason = "Permission denied";
    EXPECT_EQ(ReadFailureMessage(r, "/x.csv"), L"Cannot read /x.csv: Permission denied");
    r.status = cloudtemplate::ReadStatus::Ok;
    EXPECT_EQ(ReadFailureMessage(r, "/x.csv"), L"");
    r.skippedRows = 2;
    r.refusedFiles = 1;
    EXPECT_EQ(ReadNotes(r), L"2 rows of the file were incomplete and were left out.\n"
                            L"1 firmware file names pointed outside the download folder and were ignored.");
}
