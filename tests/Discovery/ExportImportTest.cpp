// Export of checked rows to a workbook and import back, through the device page's operations.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "Common/AppSettings.h"
#include "Excel/WorkbookLibs.h"
#include "os/RuntimeLib.h"
#include "RecordingPeers.h"

namespace {

struct PageFixture {
    std::shared_ptr<RecordingPeers> peers = std::make_shared<RecordingPeers>();
    std::shared_ptr<CDeviceListUILogic> model =
        std::make_shared<CDeviceListUILogic>(std::weak_ptr<CMainFrameEventImp>());
    std::shared_ptr<CSearchDevEventImp> page =
        std::make_shared<CSearchDevEventImp>(std::weak_ptr<CMainFrameEventImp>());

    PageFixture()
    {
        model->SetPeers(peers);
        model->Init();
        page->SetPeers(peers);
        peers->logic = model;
        peers->page = page;
        page->Create();
    }
};

} // namespace

TEST(ExportImport, RoundTripThroughThePage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::wstring chosen = QDir(dir.path()).filePath("devices").toStdWString();

    PageFixture source;
    ASSERT_NE(nullptr, source.page->GetListCtrl());
    DevicePtr a = MakeDevice("10.0.0.2", "aa:bb:cc:00:00:01", "IPC", 2);
    COPY_TEXT(a->stNetInfo.szSerialNumber, "SN0001");
    COPY_TEXT(a->stNetInfo.szSoftVersion, "2.800.0.1");
    COPY_TEXT(a->stNetInfo.szNetMask, "255.255.255.0");
    COPY_TEXT(a->stNetInfo.szGatewayAddr, "10.0.0.1");
    DevicePtr b = MakeDevice("10.0.0.3", "aa:bb:cc:00:00:02", "NVR", 1);
    source.model->Task_InsertDevice(a);
    source.model->Task_InsertDevice(b);
    ASSERT_EQ(2, source.page->GetListCtrl()->GetItemCount());

    // Nothing checked: nothing is written.
    source.peers->chosenFile = chosen;
    source.page->OnExport();
    EXPECT_EQ(L"Please select devices to export.", source.peers->messages.back());

    for (int row = 0; row < 2; ++row)
        source.page->GetListCtrl()->SetCheck(row, 1);
    source.page->OnExport();
    EXPECT_EQ(L"Export device list succeed!", source.peers->messages.back());
    const QString written = QString::fromStdWString(chosen) + ".xls";
    ASSERT_TRUE(QFile::exists(written));

    PageFixture target;
    target.peers->chosenFile = written.toStdWString();
    target.page->OnImport();
    EXPECT_EQ(L"Import device list completed.", target.peers->messages.back());
    EXPECT_FALSE(target.model->IsImporting());
    ASSERT_EQ(2u, target.model->GetDeviceList().size());
    const DEVICE_NET_INFO_EX& first = target.model->GetDeviceList()[0]->stNetInfo;
    EXPECT_STREQ("10.0.0.2", first.szIpAddr);
    EXPECT_EQ(4, first.nIpVersion);
    EXPECT_EQ(37777, first.nPort);
    EXPECT_STREQ("SN0001", first.szSerialNumber);
    EXPECT_STREQ("2.800.0.1", first.szSoftVersion);
    EXPECT_STREQ("255.255.255.0", first.szNetMask);
    EXPECT_STREQ("IPC-VX1230", first.szModelName);
    EXPECT_EQ(2, first.byInitState);
    EXPECT_EQ(1, target.model->GetDeviceList()[1]->stNetInfo.byInitState);
    EXPECT_EQ(2, target.page->GetListCtrl()->GetItemCount());
}

TEST(ExportImport, UnreadableWorkbookIsReportedAsFailure)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("broken.xlsx");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a workbook");
    file.close();

    PageFixture f;
    f.peers->chosenFile = path.toStdWString();
    f.page->OnImport();
    ASSERT_FALSE(f.peers->messages.empty());
    EXPECT_EQ(0u, f.peers->messages.back().find(L"Import device list failed!"));
    EXPECT_TRUE(f.model->GetDeviceList().empty());
    EXPECT_FALSE(f.model->IsImporting());
}

TEST(ExportImport, MissingWorkbookLibraryIsNamedByThePage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString stored = QDir(dir.path()).filePath("stored.xlsx");
    const QString legacy = QDir(dir.path()).filePath("legacy.xls");
    QFile file(legacy);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, '\0'));
    file.close();

    PageFixture source;
    source.model->Task_InsertDevice(MakeDevice("10.0.0.2", "aa:bb:cc:00:00:01", "IPC", 2));
    source.page->GetListCtrl()->SetCheck(0, 1);
    source.peers->chosenFile = stored.toStdWString();
    os::RuntimeLib& writer = XlsxWriterRuntimeLib();
    const std::string writerName = writer.Soname();
    writer.SetSoname("libvx-no-such-xlsxwriter.so.4");
    source.page->OnExport();
    writer.SetSoname(writerName);
    EXPECT_EQ(L"Export device list failed!\nThe workbook library could not be loaded: "
              L"libvx-no-such-xlsxwriter.so.4: cannot open shared object file: No such file or directory",
              source.peers->messages.back());
    EXPECT_FALSE(QFile::exists(stored));
    source.page->OnExport();
    EXPECT_EQ(L"Export device list succeed!", source.peers->messages.back());

    struct {
        os::RuntimeLib& lib;
        const char* missing;
        QString path;
    } cases[] = {
        {ZipRuntimeLib(), "libvx-no-such-zip.so.4", stored},
        {FreeXlRuntimeLib(), "libvx-no-such-freexl.so.1", legacy},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.missing);
        const std::string real = c.lib.Soname();
        c.lib.SetSoname(c.missing);
        PageFixture target;
        target.peers->chosenFile = c.path.toStdWString();
        target.page->OnImport();
        c.lib.SetSoname(real);
        ASSERT_FALSE(target.peers->messages.empty());
        EXPECT_EQ(L"Import device list failed!\nThe workbook library could not be loaded: " +
                      QString(c.missing).toStdWString() + L": cannot open shared object file: No such file or directory",
                  target.peers->messages.back());
        EXPECT_TRUE(target.model->GetDeviceList().empty());
        EXPECT_FALSE(target.model->IsImporting());
    }
}
