// Password reset end to end through the page and its dialogs, against an external devsim fleet
// and the reset service stand-in: by request and authorisation files for five devices, and by
// QR code for one.
#include "PageTestSupport.h"
#include "SysConfigTestSupport.h"

#include <QImage>
#include <QWidget>
#include <QPainter>

#include "Common/AppSettings.h"
#include "SysConfig/CConfigUILogic.h"
#include "SysConfig/CFindPasswordDlg.h"
#include "SysConfig/CFindPasswordXmlDlg.h"
#include "SysConfig/CSysTabEventImp.h"
#include "SysConfig/CSysTreeEventImp.h"
#include "SysConfig/QrEncodeLib.h"
#include "SysConfig/SysConfigUi.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFTreeCtrl.h"
#include "devsdk/DevSdk.h"
#include "os/RuntimeLib.h"

namespace {

QWidget* WidgetOf(CSFDialog* d) { return dynamic_cast<QWidget*>(d); }

bool LoginWith(const std::string& ip, const char* password)
{
    LONG h = systest::Login(ip, password);
    if (h)
        SdkLogout(h);
    return h != 0;
}

class PageResetTest : public ::testing::Test {
protected:
    void Start(size_t count, const std::function<void(size_t, devsim::DeviceState&)>& script)
    {
        pagetest::EnsurePageEnvironment();
        ASSERT_TRUE(fleet.Start(count, [&](size_t i, devsim::DeviceState& s) {
            s.type = "IPC";
            s.users = {devsim::User{"admin", "admin123", 1, false, 0, 0}};
            if (script)
                script(i, s);
        }));
        systest::Discover(fleet);
        std::vector<devsim::DeviceState> states;
        for (size_t i = 0; i < fleet.Size(); ++i)
            states.push_back(fleet.Device(i));
        rig = std::make_unique<pagetest::PageRig>();
        rig->SetDevices(states);
        rig->File();
    }
    // Runs a reset through the file wizard: at step 2 the authorisation file made by make()
    // from the request is imported. Returns the results of the devices.
    void RunFileWizard(bool fromContinue, const std::function<std::string(const std::string&)>& make,
                       const char* newPassword)
    {
        auto page = rig->page;
        auto xml = page->GetFindPasswordXmlDlg();
        pagetest::ModalDriver driver;
        bool exported = false;
        driver.On(WidgetOf(xml->GetDialog()), [&] {
            if (xml->GetStep() == 1 && !xml->IsExportingBoxShown()) {
                sysui::ChooseFile = [&](int mode, const std::wstring&, void*) {
                    EXPECT_EQ(mode, 0);
                    return QString::fromStdString(pagetest::AppDir()).toStdWString();
                };
                xml->OnBrowse();
                request = pagetest::TempPath("ExportFile.xml");
                xml->OnNext();
            } else if (xml->GetStep() == 2 && !xml->IsExportingBoxShown() && xml->GetFilePath().empty()) {
                exported = true;
                const std::string result = make(request);
                sysui::ChooseFile = [&](int mode, const std::wstring& filter, void*) {
                    EXPECT_EQ(mode, 1);
                    EXPECT_EQ(filter, L"*.xml");
                    return QString::fromStdString(result).toStdWString();
                };
                xml->OnBrowse();
                xml->OnNext();
            } else if (xml->GetStep() == 3) {
                EXPECT_EQ(pagetest::CutTexts(WidgetOf(xml->GetDialog())), std::vector<std::string>{});
                pagetest::Shot(WidgetOf(xml->GetDialog()), "dialog-file-password");
                xml->Passwords().newEdit->SetWindowTextW(QString(newPassword).toStdWString().c_str());
                xml->Passwords().confirmEdit->SetWindowTextW(QString(newPassword).toStdWString().c_str());
                xml->OnNext();
            }
        });
        if (fromContinue)
            page->GetTabPage()->OnContinueXmlReset();
        else
            page->GetTabPage()->OnPasswordReset();
        texts = driver.Texts();
        if (!fromContinue) {
            EXPECT_TRUE(exported);
        }
        ASSERT_TRUE(systest::PumpUntil([&] { return !page->IsConfiguring(); }));
    }
    int Result(const std::string& ip) const
    {
        const auto& infos = rig->page->GetConfigUILogic()->GetConfigInfo();
        for (const auto& i : infos)
            if (i->ip == ip)
                return i->result;
        return -1;
    }
    std::string MakeResult(const std::string& requestPath, const std::vector<std::string>& extra)
    {
        const std::string out = pagetest::TempPath("result-" + std::to_string(++files) + ".xml");
        QStringList args{"--key", VX_RESETSVC_PRIVATE_KEY, "--in", QString::fromStdString(requestPath), "--out",
                         QString::fromStdString(out)};
        for (const std::string& e : extra)
            args << QString::fromStdString(e);
        std::string err;
        EXPECT_TRUE(pagetest::RunProgram(VX_RESETSVC_PROGRAM, args, nullptr, &err)) << err;
        return out;
    }

    systest::ExternalFleet fleet;
    std::unique_ptr<pagetest::PageRig> rig;
    std::string request;
    std::vector<std::wstring> texts;
    int files = 0;
};

} // namespace

TEST_F(PageResetTest, FiveDevicesByRequestAndAuthorisationFile)
{
    Start(6, nullptr);
    std::vector<std::string> chosen;
    for (size_t i = 0; i < 5; ++i) {
        chosen.push_back(fleet.Device(i).ip);
        rig->Check(fleet.Device(i).ip);
    }
    CAppSettings::PasswordResetXmlFlag = false;

    // A stale file (four days old) first: the run reports the codes invalid.
    RunFileWizard(false, [&](const std::string& req) { return MakeResult(req, {"--age-days", "4"}); }, "Newpass#123");
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), L"All of 5 devices, 5 devices get description succeed.");
    for (const std::string& ip : chosen) {
        SCOPED_TRACE(ip);
        EXPECT_EQ(Result(ip), SYSCONFIG_ERR_CODE_INVALID);
        EXPECT_EQ(systest::ResultWords(8, Result(ip)), L"Security Code is invalid");
        EXPECT_TRUE(LoginWith(ip, "admin123"));
    }

    // The sealed request opens with openssl and our private key: five descriptions, one per device.
    std::string plain, err;
    ASSERT_TRUE(pagetest::RunProgram(VX_OPEN_REQUEST_SCRIPT, {QString::fromStdString(request), VX_RESETSVC_PRIVATE_KEY},
                                     &plain, &err))
        << err;
    EXPECT_NE(plain.find("<rstinfo>"), std::string::npos);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(plain.find("RST1:" + fleet.Device(i).serial + ":") != std::string::npos, i < 5) << i;

    // A file made with another factory secret: the devices refuse its codes.
    const std::string sealed = request;
    RunFileWizard(true, [&](const std::string&) { return MakeResult(sealed, {"--secret", "not-ours"}); },
                  "Newpass#123");
    for (const std::string& ip : chosen) {
        EXPECT_EQ(Result(ip), SYSCONFIG_ERR_SECURITY_CODE) << ip;
        EXPECT_EQ(systest::ResultWords(8, Result(ip)), L"Security code error");
    }

    // The service's answer to the request resets all five; the sixth device is untouched.
    RunFileWizard(true, [&](const std::string&) { return MakeResult(sealed, {}); }, "Newpass#123");
    for (const std::string& ip : chosen) {
        SCOPED_TRACE(ip);
        EXPECT_EQ(Result(ip), SYSCONFIG_ERR_SUCCESS);
        EXPECT_TRUE(LoginWith(ip, "Newpass#123"));
    }
    EXPECT_TRUE(LoginWith(fleet.Device(5).ip, "admin123"));
    EXPECT_FALSE(CAppSettings::PasswordResetXmlFlag);
}

TEST_F(PageResetTest, OneDeviceByQrCode)
{
    Start(1, [](size_t, devsim::DeviceState& s) {
        s.resetWay = 1;
        s.reservedPhone = "13800001111";
    });
    const devsim::DeviceState& dev = fleet.Device(0);
    rig->Check(dev.ip);
    auto page = rig->page;
    auto qr = page->GetFindPasswordDlg();
    pagetest::ModalDriver driver;
    std::string decoded;
    bool checked = false;
    driver.On(WidgetOf(qr->GetDialog()), [&] {
        if (checked || !qr->IsQrShown())
            return;
        checked = true;
        // No quiet zone in the image: pad it before decoding.
        QImage image(QString::fromStdString(qr->QrPath()));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width() % 4, 0);
        QImage padded(image.width() + 64, image.height() + 64, QImage::Format_RGB32);
        padded.fill(Qt::white);
        QPainter(&padded).drawImage(32, 32, image);
        const QString png = QString::fromStdString(pagetest::TempPath("qr.png"));
        ASSERT_TRUE(padded.save(png));
        std::string err;
        ASSERT_TRUE(pagetest::RunProgram("zbarimg", {"--raw", "-q", png}, &decoded, &err)) << err;
        while (!decoded.empty() && (decoded.back() == '\n' || decoded.back() == '\r'))
            decoded.pop_back();
        std::string code;
        ASSERT_TRUE(pagetest::RunProgram(VX_RESETSVC_PROGRAM, {"--qr", QString::fromStdString(decoded)}, &code));
        while (!code.empty() && code.back() == '\n')
            code.pop_back();
        qr->CodeEdit()->SetWindowTextW(QString::fromStdString(code).toStdWString().c_str());
        qr->Passwords().newEdit->SetWindowTextW(L"Qrcode#456");
        qr->Passwords().confirmEdit->SetWindowTextW(L"Qrcode#456");
        qr->OnOK();
    });
    page->GetTabPage()->OnPasswordReset();
    EXPECT_TRUE(driver.Texts().empty()) << QString::fromStdWString(driver.Texts().front()).toStdString();
    EXPECT_EQ(decoded.rfind("RST1:" + dev.serial + ":" + dev.mac + ":", 0), 0u) << decoded;
    EXPECT_NE(decoded.find(":13800001111"), std::string::npos);
    ASSERT_TRUE(systest::PumpUntil([&] { return !page->IsConfiguring(); }));
    EXPECT_EQ(page->GetConfigUILogic()->GetDeviceResult(0), SYSCONFIG_ERR_SUCCESS);
    EXPECT_TRUE(LoginWith(dev.ip, "Qrcode#456"));
    EXPECT_FALSE(LoginWith(dev.ip, "admin123"));
}

TEST_F(PageResetTest, MissingQrCodeLibraryIsNamedAndChangesNothing)
{
    Start(1, [](size_t, devsim::DeviceState& s) {
        s.resetWay = 1;
        s.reservedPhone = "13800001111";
    });
    const devsim::DeviceState& dev = fleet.Device(0);
    rig->Check(dev.ip);
    auto page = rig->page;
    auto qr = page->GetFindPasswordDlg();
    os::RuntimeLib& lib = QrEncodeRuntimeLib();
    const std::string real = lib.Soname();
    lib.SetSoname("libvx-no-such-qrencode.so.4");
    pagetest::ModalDriver driver;
    bool closed = false;
    driver.On(WidgetOf(qr->GetDialog()), [&] {
        if (closed || driver.Texts().empty())
            return;
        closed = true;
        EXPECT_FALSE(qr->IsQrShown());
        qr->OnClose();
    });
    page->GetTabPage()->OnPasswordReset();
    lib.SetSoname(real);
    EXPECT_TRUE(closed);
    EXPECT_EQ(driver.Texts(), std::vector<std::wstring>{L"Generate QR code failed.\nThe QR code library could not be "
                                                        L"loaded: libvx-no-such-qrencode.so.4: cannot open shared "
                                                        L"object file: No such file or directory"});
    ASSERT_TRUE(systest::PumpUntil([&] { return !page->IsConfiguring(); }));
    EXPECT_TRUE(LoginWith(dev.ip, "admin123"));
}
