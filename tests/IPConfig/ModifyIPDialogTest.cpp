// The "IP Address Modify" dialog of the device page: its refusals, its modes, and what it hands
// over to the batch.
#include <gtest/gtest.h>

#include <QTest>

#include "IpTestSupport.h"
#include "ShellTestSupport.h"

#include "IPConfig/CModifyIPFileDlg.h"
#include "IPConfig/CModifyIPUILogic.h"
#include "Main/CSearchDevEventImp.h"
#include "Widgets/SFIPAddressCtrl.h"
#include "Widgets/SFStatic.h"

#include <QRadioButton>

using iptest::ModalReader;

namespace {

void Put(CSFIPAddressCtrl* field, const std::string& text)
{
    field->ClearAddress();
    if (text.empty())
        return;
    int a, b, c, d;
    ASSERT_EQ(4, std::sscanf(text.c_str(), "%d.%d.%d.%d", &a, &b, &c, &d));
    field->SetAddress(BYTE(a), BYTE(b), BYTE(c), BYTE(d));
}

std::wstring Text(CSFStatic* label)
{
    wchar_t buf[256] = {};
    label->GetStaticText(buf, 256);
    return buf;
}

void Click(CSFRadioBox* radio)
{
    auto* w = dynamic_cast<QRadioButton*>(radio);
    ASSERT_NE(w, nullptr);
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
}

struct Dialog {
    std::shared_ptr<CMainFrameEventImp> frame = shelltest::MakeMainWindow();
    std::shared_ptr<CSearchDevEventImp> page = frame->GetSearchDevPage();
    std::shared_ptr<CModifyIPFileDlg> dlg = page->GetModifyIPFileDlg();
    std::shared_ptr<CModifyIPUILogic> logic = page->GetModifyIPUILogic();
};

} // namespace

TEST(ModifyIPDialog, OkRefusesAPlanThatDoesNotFitItsSubnet)
{
    Dialog d;
    ASSERT_TRUE(d.dlg && d.dlg->GetDialog());
    const std::wstring kInvalid = L"The IP address, the gateway or the mask is not valid!";
    const std::wstring kMismatch = L"The IP address, the gateway or the mask is not match!";
    struct Case {
        const char *ip, *mask, *gateway;
        int count, same;
        std::wstring message; // empty: accepted
    } cases[] = {
        {"192.0.2.200", "255.255.255.0", "192.0.2.1", 55, 0, L""},
        // .255 is the broadcast address: 55 hosts from .200, not 56.
        {"192.0.2.200", "255.255.255.0", "192.0.2.1", 56, 0, L"This network segment can only set up 55 devices"},
        {"192.0.2.200", "255.255.255.0", "192.0.2.1", 500, 1, L""},
        {"10.1.255.250", "255.255.0.0", "10.1.0.1", 5, 0, L""},
        {"10.1.255.250", "255.255.0.0", "10.1.0.1", 6, 0, L"This network segment can only set up 5 devices"},
        {"10.1.254.255", "255.255.0.0", "10.1.0.1", 2, 0, L""},
        {"192.0.2.255", "255.255.255.0", "192.0.2.1", 1, 1, kMismatch},
        {"192.0.2.0", "255.255.255.0", "192.0.2.1", 1, 0, kMismatch},
        {"192.0.2.10", "255.255.255.255", "192.0.2.1", 1, 0, kMismatch},
        {"192.0.2.10", "255.255.255.0", "192.0.3.1", 1, 0, kMismatch},
        {"192.0.2.10", "0.0.0.0", "10.9.9.9", 1, 0, L""},
        {"192.0.2.10", "255.255.255.0", "", 1, 0, kInvalid},
        {"", "255.255.255.0", "192.0.2.1", 1, 0, kInvalid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ip) + "/" + c.mask + " gw " + c.gateway + " x" + std::to_string(c.count));
        Put(d.dlg->GetAddressField(), c.ip);
        Put(d.dlg->GetMaskField(), c.mask);
        Put(d.dlg->GetGatewayField(), c.gateway);
        d.dlg->GetSameIpBox()->SetCheck(c.same);
        d.dlg->SetDeviceCount(c.count);
        d.dlg->SetSingleDeviceMode(0);
        d.logic->SetModifyParam("0.0.0.0", "", "", 0, 0);
        ModalReader reader;
        d.dlg->OnBtnOK();
        const auto shown = reader.Texts();
        if (c.message.empty()) {
            EXPECT_TRUE(shown.empty());
            EXPECT_EQ(d.logic->GetStartIp(), c.ip);
            EXPECT_EQ(d.logic->GetMask(), c.mask);
            EXPECT_EQ(d.logic->GetGateway(), c.gateway);
            EXPECT_EQ(d.logic->GetSameIp(), c.same);
            EXPECT_EQ(d.logic->GetDhcp(), 0);
        } else {
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0], c.message);
            EXPECT_EQ(d.logic->GetStartIp(), "0.0.0.0") << "nothing handed over";
        }
    }
}

TEST(ModifyIPDialog, ModesLabelsAndKeys)
{
    Dialog d;
    // A click on the checked Static radio switches to DHCP; OK then needs no address at all.
    Click(d.dlg->GetStaticRadio());
    EXPECT_EQ(d.dlg->GetStaticRadio()->GetCheck(), 0);
    EXPECT_EQ(d.dlg->GetDhcpRadio()->GetCheck(), 1);
    d.dlg->GetAddressField()->ClearAddress();
    {
        ModalReader reader;
        d.dlg->OnDlgKeyDown(0, 13);
        EXPECT_TRUE(reader.Texts().empty());
    }
    EXPECT_EQ(d.logic->GetDhcp(), 1);
    // And back: the checked DHCP radio returns to Static, where Enter checks the fields again.
    Click(d.dlg->GetDhcpRadio());
    EXPECT_EQ(d.dlg->GetStaticRadio()->GetCheck(), 1);
    {
        ModalReader reader;
        d.dlg->OnDlgKeyDown(0, 13);
        EXPECT_EQ(reader.Texts(), std::vector<std::wstring>{L"The IP address, the gateway or the mask is not valid!"});
    }
    d.dlg->SetDeviceCount(3);
    auto* window = dynamic_cast<QWidget*>(d.dlg->GetDialog());
    window->show();
    iptest::Shot("VX_IPCONFIG_SHOTS", window, "dialog-batch-ip");
    // Single-device mode: "Target IP", no "Same IP"; a batch shows them again.
    d.dlg->SetSingleDeviceMode(1);
    iptest::Shot("VX_IPCONFIG_SHOTS", window, "dialog-single-ip");
    window->hide();
    EXPECT_EQ(Text(d.dlg->GetAddressLabel()), L"Target IP");
    EXPECT_FALSE(dynamic_cast<QWidget*>(d.dlg->GetSameIpBox())->isVisibleTo(dynamic_cast<QWidget*>(d.dlg->GetSameIpBox())->parentWidget()));
    d.dlg->SetSingleDeviceMode(0);
    EXPECT_EQ(Text(d.dlg->GetAddressLabel()), L"Start IP");
    d.dlg->SetDeviceCount(17);
    EXPECT_EQ(Text(d.dlg->GetCountValue()), L"17");
    // Escape empties the three fields.
    Put(d.dlg->GetAddressField(), "192.0.2.9");
    Put(d.dlg->GetMaskField(), "255.255.255.0");
    d.dlg->OnDlgKeyDown(0, 27);
    BYTE a, b, c, e;
    EXPECT_EQ(d.dlg->GetAddressField()->GetAddress(a, b, c, e), 4);
    EXPECT_EQ(d.dlg->GetMaskField()->GetAddress(a, b, c, e), 4);
}
