// The cloud upgrade page's offline export and import offscreen: Save packs the ticked rows into a
// 7z archive, Get rebuilds a page from it, and a damaged archive or a missing archiver is told.
#include "CloudPageSupport.h"

#include <QAbstractButton>
#include <QFile>
#include <QProcess>

#include <cstring>

#include "CloudUpgrade/CloudOffline.h"
#include "Common/AppSettings.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CMainFrameEventImp.h"

using namespace cloudpage;
using Page = CCloudUpgradeEventImp;

namespace {

std::wstring g_chosen;

int Chooser(void*, wchar_t* buf, int capacity, int, const wchar_t*, const wchar_t*, const wchar_t*, DWORD,
            const wchar_t*, void*)
{
    if (g_chosen.empty())
        return 0;
    std::wcsncpy(buf, g_chosen.c_str(), static_cast<size_t>(capacity));
    return 1;
}

bool Contains(const std::vector<std::wstring>& seen, const std::wstring& text)
{
    for (const std::wstring& s : seen)
        if (s.find(text) != std::wstring::npos)
            return true;
    return false;
}

std::string Listing(const std::string& archive)
{
    QProcess p;
    p.start("7z", {"l", QString::fromStdString(archive)});
    p.waitForFinished(30000);
    return p.readAllStandardOutput().toStdString();
}

} // namespace

class CloudOfflinePage : public CloudPage {
protected:
    void SetUp() override
    {
        CloudPage::SetUp();
        Page::SetFileChooserForTest(Chooser);
        for (int i = 0; i < 3; ++i)
            devices.push_back(Record("127.93.40." + std::to_string(i + 1), "IPC", i + 1));
        AddFound(devices);
        page->SetSingleCheck(1);
        Result(devices[0], 1, 0, Answer(true, "2.9", "http://127.0.0.1:9/fw/IPC_2.9.bin"));
        Result(devices[1], 1, 0);
        Result(devices[2], 1, 0, Answer(true, "2.9", "http://127.0.0.1:9/fw/IPC_2.9.bin"));
        // The third device's firmware is downloaded.
        DEVICE_INFO& third = page->GetDeviceVector()[2];
        third.nDownloadState = 3;
        third.bHasNewVersion = 1;
        std::strcpy(third.szNewVersion, "2.9");
        std::strcpy(third.szFileName, "IPC_2.9.bin");
        QFile fw(folder.path() + "/IPC_2.9.bin");
        ASSERT_TRUE(fw.open(QIODevice::WriteOnly));
        fw.write("firmware");
        fw.close();
    }
    void TearDown() override
    {
        Page::SetFileChooserForTest(nullptr);
        cloudoffline::SetArchiverForTest(std::string());
        EXPECT_TRUE(shelltest::WaitUntil([&] { return !page->IsChecking(); }, 30000));
        EXPECT_TRUE(shelltest::DrainSdkLoop(2));
    }
    void Press(int id)
    {
        auto* b = dynamic_cast<QAbstractButton*>(page->GetButton(id));
        ASSERT_NE(b, nullptr);
        b->click();
    }
    // Presses the button and answers dialogs until one shows the text.
    std::vector<std::wstring> PressUntil(int id, const std::wstring& text)
    {
        DialogTexts dialogs;
        Press(id);
        EXPECT_TRUE(shelltest::WaitUntil([&] { return Contains(dialogs.Seen(), text); }, 30000)) << id;
        return dialogs.Seen();
    }
    bool Importing() { return main->GetDeviceListUILogic()->IsImporting(); }
    std::string Export()
    {
        TickAll();
        g_chosen = (archives.path() + "/offline").toStdWString();
        PressUntil(Page::ID_SAVE, L"Export device list succeed!");
        return (archives.path() + "/offline.7z").toStdString();
    }
    std::vector<DEVICE_INFO> devices;
    QTemporaryDir archives;
};

TEST_F(CloudOfflinePage, ExportPacksTemplateAndFirmwareOfTickedRows)
{
    const std::string archive = Export();
    const std::string listing = Listing(archive);
    EXPECT_NE(listing.find("CloudUpgradeTemplate.csv"), std::string::npos) << listing;
    EXPECT_NE(listing.find("IPC_2.9.bin"), std::string::npos) << listing;
    QFile csv(folder.path() + "/CloudUpgradeTemplate.csv");
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    EXPECT_EQ(lines.size(), 5);  // header, three rows, the end
    EXPECT_TRUE(lines[3].contains("3C:EF:65:AA:00:03")) << lines[3].toStdString();
}

TEST_F(CloudOfflinePage, ExportRefusals)
{
    {
        DialogTexts dialogs;
        Press(Page::ID_SAVE);
        ASSERT_TRUE(shelltest::WaitUntil([&] { return Contains(dialogs.Seen(), L"Please select devices to export."); }));
    }
    TickAll();
    g_chosen = L"/tmp/" + std::wstring(220, L'x');
    PressUntil(Page::ID_SAVE, L"Exporting path is too long.");
    cloudoffline::SetArchiverForTest((folder.path() + "/no-such-7z").toStdString());
    g_chosen = (archives.path() + "/offline.7z").toStdWString();
    const auto seen = PressUntil(Page::ID_SAVE, L"Export device list failed!");
    EXPECT_TRUE(Contains(seen, L"The archiver 7z was not found.")) << seen.back().size();
    EXPECT_FALSE(QFile::exists(archives.path() + "/offline.7z"));
}

TEST_F(CloudOfflinePage, ImportRebuildsPageFromArchive)
{
    const std::string archive = Export();
    page->ClearDeviceList();
    QFile::remove(folder.path() + "/CloudUpgradeTemplate.csv");
    QFile::remove(folder.path() + "/IPC_2.9.bin");
    ASSERT_EQ(list->GetItemCount(), 0);

    g_chosen = QString::fromStdString(archive).toStdWString();
    PressUntil(Page::ID_GET, L"Import device list completed.");
    EXPECT_FALSE(Importing());
    EXPECT_TRUE(QFile::exists(folder.path() + "/IPC_2.9.bin"));
    ASSERT_EQ(list->GetItemCount(), 3);
    ASSERT_EQ(page->GetDeviceVector().size(), 3u);
    int finished = 0;
    for (int row = 0; row < 3; ++row) {
        if (Cell(row, Page::COL_IP) != L"127.93.40.3") {
            // Not downloaded: the imported device is checked again (nothing answers here).
            const std::wstring state = Cell(row, Page::COL_CHECKSTATE);
            EXPECT_TRUE(state == L"checking..." || state == L"check failed") << row;
            continue;
        }
        EXPECT_EQ(Cell(row, Page::COL_CHECKSTATE), L"2.9");
        EXPECT_EQ(Cell(row, Page::COL_DOWNLOAD), L"finish");
        EXPECT_TRUE(Shown(row, Page::ID_UPGRADE));
        ++finished;
    }
    EXPECT_EQ(finished, 1);
    for (const DEVICE_INFO& d : page->GetDeviceVector())
        if (std::string(d.stNetInfo.szIpAddr) == "127.93.40.3") {
            EXPECT_EQ(d.nDownloadState, 3);
            EXPECT_STREQ(d.szFileName, "IPC_2.9.bin");
        }
}

TEST_F(CloudOfflinePage, ImportFailuresAreToldAndClearTheFlag)
{
    // A damaged archive keeps the page as it was.
    QFile bad(archives.path() + "/bad.7z");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("7z\xbc\xaf\x27\x1c garbage");
    bad.close();
    g_chosen = (archives.path() + "/bad.7z").toStdWString();
    PressUntil(Page::ID_GET, L"File is not exist.maybe insufficient download path space.");
    EXPECT_FALSE(Importing());
    EXPECT_EQ(list->GetItemCount(), 3);

    g_chosen = (archives.path() + "/none").toStdWString();
    PressUntil(Page::ID_GET, L"File is not exist.");
    EXPECT_FALSE(Importing());

    g_chosen = (archives.path() + "/bad.7z").toStdWString();
    cloudoffline::SetArchiverForTest((folder.path() + "/no-such-7z").toStdString());
    PressUntil(Page::ID_GET, L"The archiver 7z was not found.");
    EXPECT_FALSE(Importing());

    g_chosen.clear();  // cancelled
    Press(Page::ID_GET);
    EXPECT_FALSE(Importing());
    EXPECT_EQ(list->GetItemCount(), 3);
}

TEST_F(CloudOfflinePage, ImportOfAWrongTemplateKeepsThePage)
{
    // A header of 25 titles, packed as an export would be.
    QTemporaryDir other;
    QFile csv(other.path() + "/CloudUpgradeTemplate.csv");
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    std::string header;
    for (int i = 0; i < 25; ++i)
        header += "T" + std::to_string(i) + ",";
    csv.write((header + "\r\n").c_str());
    csv.close();
    const std::string archive = (archives.path() + "/wrong.7z").toStdString();
    ASSERT_TRUE(cloudoffline::AddFileTo7z(archive, csv.fileName().toStdString()));

    g_chosen = QString::fromStdString(archive).toStdWString();
    PressUntil(Page::ID_GET, L"Import device list failed,maybe template error.");
    EXPECT_FALSE(Importing());
    EXPECT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(page->GetDeviceVector().size(), 3u);
}
