// The request and authorisation files, the service stand-in's container opener, and the
// failures of the file way: too many devices, a failed export, no description at all.
#include "PageTestSupport.h"
#include "SysConfigTestSupport.h"

#include <QFile>
#include <QWidget>

#include <fstream>

#include "Common/AppSettings.h"
#include "Common/CryptoLib.h"
#include "Common/ResetFileCrypt.h"
#include "SysConfig/CFindPasswordXmlDlg.h"
#include "SysConfig/CResetInfoXml.h"
#include "SysConfig/CSysTabEventImp.h"
#include "Widgets/SFDialog.h"
#include "os/RuntimeLib.h"
#include "resetsvc/ResetService.h"

namespace {

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

TEST(ResetFiles, AuthorisationFileShapesAndReading)
{
    struct {
        const char* what;
        const char* xml;
        int format;
        bool read;
        CResetInfoXml::CodeMap codes;
    } cases[] = {
        {"three codes", "<rstinfo><version>1</version><create>2030-01-02T03:04:05</create><devicelist>"
                        "<device SN=\"A1\"><code>1</code><code>2</code><code>3</code></device></devicelist></rstinfo>",
         1, true, {{"A1", {"1", "2", "3"}}}},
        {"no version", "<rstinfo><create>x</create><devicelist><device SN=\"A\"><code>1</code></device>"
                       "</devicelist></rstinfo>",
         1, false, {}},
        {"first device without code", "<rstinfo><version/><create>x</create><devicelist><device SN=\"A\"/>"
                                      "<device SN=\"B\"><code>1</code></device></devicelist></rstinfo>",
         0, true, {{"A", {}}, {"B", {"1"}}}},
        {"first SN wins, any child counts, empty code kept",
         "<rstinfo><version/><create>x</create><devicelist><device SN=\"A\"><code>1</code><x>2</x><code/></device>"
         "<device SN=\"A\"><code>9</code></device></devicelist></rstinfo>",
         1, true, {{"A", {"1", "2", ""}}}},
        {"device without SN first", "<rstinfo><version/><create>x</create><devicelist><device><code>7</code>"
                                    "</device><device SN=\"B\"><code>1</code></device></devicelist></rstinfo>",
         1, true, {{"", {}}, {"B", {"1"}}}},
        {"not xml", "garbage <<<", 0, false, {}},
        {"too deep", "<a><a><a><a><a><a><a><a><a><a><a><a><a><a><a><a><a><a><a><a></a></a></a></a></a></a></a></a>"
                     "</a></a></a></a></a></a></a></a></a></a></a></a>",
         0, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CResetInfoXml reader("");
        reader.LoadText(c.xml);
        EXPECT_EQ(reader.CheckFormat(), c.format);
        CResetInfoXml::CodeMap codes;
        std::string create;
        EXPECT_EQ(reader.ReadResetInfo(codes, create), c.read);
        if (c.read) {
            EXPECT_EQ(codes, c.codes);
        }
    }
}

TEST(ResetFiles, RequestDocumentAndItsLimit)
{
    pagetest::EnsurePageEnvironment();
    const std::string path = pagetest::TempPath("request-doc.xml");
    RESET_REQUEST_INFO info;
    info.ip = "10.1.2.3";
    info.mac = "aa:bb:cc:dd:ee:ff";
    CResetInfoXml writer("");
    ASSERT_EQ(writer.WriteResetRequest(&info, path), 0);
    EXPECT_NE(Slurp(path).find("<devicelist />"), std::string::npos);
    info.device = {"a&b<c", "second"};
    info.count = 2;
    ASSERT_EQ(writer.WriteResetRequest(&info, path), 0);
    const std::string doc = Slurp(path);
    EXPECT_EQ(doc.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>", 0), 0u);
    EXPECT_NE(doc.find("<device>a&amp;b&lt;c</device>"), std::string::npos);
    resetsvc::Request back;
    std::string error;
    ASSERT_TRUE(resetsvc::ParseRequest(doc, back, error)) << error;
    EXPECT_EQ(back.descriptions, (std::vector<std::string>{"a&b<c", "second"}));
    EXPECT_EQ(back.ip, "10.1.2.3");
    // A record naming more devices than a request holds is refused, never written past.
    info.device.assign(257, "d");
    info.count = 257;
    EXPECT_EQ(writer.WriteResetRequest(&info, path), -1);
    EXPECT_EQ(writer.WriteResetRequest(&info, "/nonexistent-dir/x.xml"), -1);
}

TEST(ResetFiles, ServiceOpensOnlyRequestsSealedForItsKey)
{
    pagetest::EnsurePageEnvironment();
    const std::string plain = pagetest::TempPath("sealed.xml");
    std::ofstream(plain) << "<rstinfo><version>1</version><devicelist><device>RST1:SN9:aa:bb:cc:dd:ee:ff:4:mail@x"
                            "</device></devicelist></rstinfo>";
    ASSERT_EQ(EncryptResetFile(plain.c_str(), plain.c_str(), (pagetest::AppDir() + "/public.pem").c_str(),
                               "17022202", 1),
              RESET_FILE_OK);
    const std::string sealed = Slurp(plain);
    std::string xml, error;
    ASSERT_TRUE(resetsvc::OpenRequest(sealed, VX_RESETSVC_PRIVATE_KEY, xml, error)) << error;
    resetsvc::Request req;
    ASSERT_TRUE(resetsvc::ParseRequest(xml, req, error));
    ASSERT_EQ(req.descriptions.size(), 1u);
    resetsvc::Description d;
    ASSERT_TRUE(resetsvc::ParseDescription(req.descriptions[0], d));
    EXPECT_EQ(d.serial, "SN9");
    EXPECT_EQ(d.mac, "aa:bb:cc:dd:ee:ff");
    EXPECT_EQ(d.number, 4u);
    EXPECT_EQ(d.contact, "mail@x");

    const std::string other = pagetest::TempPath("other.pem");
    ASSERT_TRUE(pagetest::RunProgram("openssl", {"genpkey", "-algorithm", "RSA", "-pkeyopt", "rsa_keygen_bits:2048",
                                                 "-out", QString::fromStdString(other)}));
    struct {
        const char* what;
        std::string container;
        std::string key;
    } bad[] = {
        {"another key", sealed, other},
        {"cut short", sealed.substr(0, sealed.size() - 16), VX_RESETSVC_PRIVATE_KEY},
        {"not a request", std::string(400, 'x'), VX_RESETSVC_PRIVATE_KEY},
        {"empty", "", VX_RESETSVC_PRIVATE_KEY},
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b.what);
        EXPECT_FALSE(resetsvc::OpenRequest(b.container, b.key, xml, error));
        EXPECT_FALSE(error.empty());
    }
    for (const char* text : {"RST1:", "RST1:SN:aa:bb:cc:dd:ee:ff:x:c", "XYZ", "RST1:SN:aa:bb:4:c"})
        EXPECT_TRUE(resetsvc::SecurityCodeFor(text, "s").empty()) << text;
}

TEST(ResetFiles, MoreThanARequestHoldsIsRefusedBeforeCollecting)
{
    pagetest::PageRig rig;
    std::vector<devsim::DeviceState> states(257);
    for (size_t i = 0; i < states.size(); ++i) {
        states[i].type = "IPC";
        states[i].ip = "10.9." + std::to_string(i / 200) + "." + std::to_string(i % 200 + 1);
        states[i].serial = "S" + std::to_string(i);
    }
    rig.SetDevices(states);
    rig.File();
    for (const auto& s : states)
        rig.Check(s.ip);
    pagetest::ModalDriver driver;
    rig.page->GetTabPage()->OnPasswordReset();
    EXPECT_EQ(driver.Texts(), std::vector<std::wstring>{L"At most 256 devices can be reset with one request file."});
    EXPECT_FALSE(rig.page->IsConfiguring());
}

TEST(ResetFiles, FailedExportOrNoDescriptionKeepsTheExportStep)
{
    systest::ExternalFleet fleet;
    pagetest::EnsurePageEnvironment();
    ASSERT_TRUE(fleet.Start(3, [](size_t i, devsim::DeviceState& s) {
        s.type = "IPC";
        if (i > 0)
            s.failOps[50] = 0x80000001; // no description from these
    }));
    systest::Discover(fleet);
    std::vector<devsim::DeviceState> states;
    for (size_t i = 0; i < fleet.Size(); ++i)
        states.push_back(fleet.Device(i));
    pagetest::PageRig rig;
    rig.SetDevices(states);
    rig.File();
    auto xml = rig.page->GetFindPasswordXmlDlg();
    QWidget* wizard = dynamic_cast<QWidget*>(xml->GetDialog());

    struct {
        const char* what;
        std::vector<size_t> checked;
        bool hideKey;
        bool noLibrary;
        std::vector<std::wstring> texts;
    } cases[] = {
        {"no description", {1, 2}, false, false, {L"All of 2 devices, 0 devices get description succeed."}},
        {"encryption fails", {0, 1, 2}, true, false, {L"Export File Failed."}},
        {"no cryptographic library", {0, 1, 2}, false, true,
         {L"Export File Failed.\nThe cryptographic library could not be loaded: libvx-no-such-crypto.so.3: cannot "
          L"open shared object file: No such file or directory"}},
    };
    const std::string cryptoName = CryptoRuntimeLib().Soname();
    const QString key = QString::fromStdString(pagetest::AppDir() + "/public.pem");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (size_t i = 0; i < 3; ++i)
            rig.Check(fleet.Device(i).ip, 0);
        for (size_t i : c.checked)
            rig.Check(fleet.Device(i).ip);
        if (c.hideKey) {
            ASSERT_TRUE(QFile::rename(key, key + ".away"));
        }
        CryptoRuntimeLib().SetSoname(c.noLibrary ? "libvx-no-such-crypto.so.3" : cryptoName);
        CAppSettings::PasswordResetXmlFlag = false;
        pagetest::ModalDriver driver;
        int stepAfter = -1;
        bool exported = false;
        driver.On(wizard, [&] {
            if (!exported && xml->GetStep() == 1) {
                exported = true;
                xml->PathEdit()->SetWindowTextW(QString::fromStdString(pagetest::TempPath("fail.xml")).toStdWString().c_str());
                xml->OnNext();
            } else if (exported && !xml->IsExportingBoxShown()) {
                stepAfter = xml->GetStep();
                xml->OnClose();
            }
        });
        rig.page->GetTabPage()->OnPasswordReset();
        if (c.hideKey) {
            ASSERT_TRUE(QFile::rename(key + ".away", key));
        }
        CryptoRuntimeLib().SetSoname(cryptoName);
        EXPECT_EQ(driver.Texts(), c.texts);
        EXPECT_EQ(stepAfter, 1);
        EXPECT_FALSE(CAppSettings::PasswordResetXmlFlag);
        EXPECT_FALSE(rig.page->IsConfiguring());
    }
}
