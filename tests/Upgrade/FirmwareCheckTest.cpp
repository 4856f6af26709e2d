// The firmware file check of the program and the check the emulated device makes of the same
// files, as a table of files written by the firmware maker.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>

#include "UpgradeSupport.h"
#include "Upgrade/CheckFirmwareHeader.h"
#include "devsim/DeviceFirmware.h"

namespace {

using devsim::FirmwareReceiver;

// What the device decides after receiving the whole file in 64 KiB pieces.
FirmwareReceiver::Verdict DeviceVerdict(const std::string& path, const std::string& model, bool* refusedEarly)
{
    std::ifstream in(path, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    FirmwareReceiver rx;
    rx.Begin(int64_t(data.size()));
    *refusedEarly = false;
    for (size_t at = 0; at < data.size(); at += 65536)
        if (rx.Piece(data.substr(at, 65536), model) != 0) {
            *refusedEarly = true;
            break;
        }
    return rx.Final();
}

TEST(FirmwareCheck, FilesOfTheMakerAsTheProgramAndTheDeviceSeeThem)
{
    fwmake::ImageOptions good;
    good.family = "IPC-VX";
    good.version = "3.100.0000000.2.R";
    good.payloadSize = 200000;
    struct Case {
        const char* name;
        std::function<void(fwmake::ImageOptions&)> change;
        FirmwareCheck program;
        FirmwareReceiver::Verdict device;
        bool refusedEarly;
    } cases[] = {
        {"good", [](fwmake::ImageOptions&) {}, FirmwareCheck::Accepted, FirmwareReceiver::Verdict::Good, false},
        {"truncated inside the payload", [](fwmake::ImageOptions& o) { o.truncateTo = 100000; },
         FirmwareCheck::Accepted, FirmwareReceiver::Verdict::Bad, true},
        {"truncated inside the header", [](fwmake::ImageOptions& o) { o.truncateTo = 60; }, FirmwareCheck::Accepted,
         FirmwareReceiver::Verdict::Bad, false},
        {"truncated below eight bytes", [](fwmake::ImageOptions& o) { o.truncateTo = 7; },
         FirmwareCheck::TooShort, FirmwareReceiver::Verdict::Foreign, false},
        {"payload changed after its checksum", [](fwmake::ImageOptions& o) { o.corruptPayload = true; },
         FirmwareCheck::Accepted, FirmwareReceiver::Verdict::Bad, false},
        {"wrong magic", [](fwmake::ImageOptions& o) { o.magic = "XX"; }, FirmwareCheck::NotFirmware,
         FirmwareReceiver::Verdict::Foreign, false},
        {"wrong family", [](fwmake::ImageOptions& o) { o.family = "NVR-VX"; }, FirmwareCheck::Accepted,
         FirmwareReceiver::Verdict::Bad, true},
        {"empty", [](fwmake::ImageOptions& o) { o.truncateTo = 0; }, FirmwareCheck::TooShort,
         FirmwareReceiver::Verdict::Foreign, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fwmake::ImageOptions opt = good;
        c.change(opt);
        const std::string path = upgradetest::MakeFirmware(std::string("check-") + c.name + ".bin", opt);
        EXPECT_EQ(CheckFirmwareFile(path), c.program);
        bool early = false;
        EXPECT_EQ(DeviceVerdict(path, "IPC-VX2431", &early), c.device);
        EXPECT_EQ(early, c.refusedEarly);
    }
    EXPECT_EQ(CheckFirmwareFile("/nonexistent/firmware.bin"), FirmwareCheck::OpenFailed);
    EXPECT_EQ(CheckFirmwareFile(QDir::tempPath().toStdString()), FirmwareCheck::OpenFailed) << "a folder";
}

TEST(FirmwareCheck, KnownSignaturesOfTheFirstEightBytes)
{
    struct {
        std::string bytes;
        FirmwareCheck expected;
    } cases[] = {
        {std::string("PK\0\0\0\0\0", 7), FirmwareCheck::TooShort},
        {std::string("PK\0\0\0\0\0\0", 8), FirmwareCheck::Accepted},
        {"ZRanything", FirmwareCheck::Accepted},
        {"\xC0\x80xxxxxx", FirmwareCheck::Accepted},
        {std::string("U\0xxxxxx", 8), FirmwareCheck::Accepted},
        {"UAxxxxxx", FirmwareCheck::Accepted},
        {"U\xFFxxxxxx", FirmwareCheck::Accepted},
        {"URxxxxxx", FirmwareCheck::NotFirmware},
        {"UKxxxxxx", FirmwareCheck::NotFirmware},
        {"U\x80xxxxxx", FirmwareCheck::NotFirmware},
        {"ZXxxxxxx", FirmwareCheck::NotFirmware},
        {"PAxxxxxx", FirmwareCheck::NotFirmware},
        {"ZXxxRFID", FirmwareCheck::Accepted},
        {std::string("\0\0\0\0RFID", 8), FirmwareCheck::Accepted},
        {std::string(8, '\0'), FirmwareCheck::NotFirmware},
    };
    QTemporaryDir dir;
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        const std::string path = dir.path().toStdString() + "/sig" + std::to_string(n++) + ".bin";
        std::ofstream(path, std::ios::binary) << c.bytes;
        EXPECT_EQ(CheckFirmwareFile(path), c.expected);
    }
}

} // namespace
