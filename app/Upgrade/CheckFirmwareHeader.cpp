// Firmware file check; see the header.
#include "Upgrade/CheckFirmwareHeader.h"

#include <QFile>
#include <QString>

#include <cstring>

#include "Common/Translate.h"

bool IsFirmwareSignature(const unsigned char header[8])
{
    // Byte 1 counts only as the second byte of a two-byte signature.
    const unsigned char second = header[1] == 'R' || header[1] == 'K' || header[1] == 0x80 ? header[1] : 0;
    char t[3] = {static_cast<char>(header[0]), static_cast<char>(second), 0};
    if (std::strcmp(t, "ZR") == 0 || std::strcmp(t, "PK") == 0 || std::strcmp(t, "U") == 0)
        return true;
    if (header[0] == 0xC0 && header[1] == 0x80)
        return true;
    return header[4] == 0x52 && header[5] == 0x46 && header[6] == 0x49 && header[7] == 0x44;
}

FirmwareCheck CheckFirmwareFile(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (path.empty() || !file.open(QIODevice::ReadOnly))
        return FirmwareCheck::OpenFailed;
    if (file.size() < 8)
        return FirmwareCheck::TooShort;
    unsigned char header[16] = {};
    file.read(reinterpret_cast<char*>(header), 8);
    file.close();
    return IsFirmwareSignature(header) ? FirmwareCheck::Accepted : FirmwareCheck::NotFirmware;
}

bool CheckFirmwareHeader(const wchar_t* path, void* parent)
{
    const FirmwareCheck result = CheckFirmwareFile(path ? QString::fromWCharArray(path).toStdString() : std::string());
    if (result == FirmwareCheck::Accepted)
        return true;
    const wchar_t* text = result == FirmwareCheck::OpenFailed ? L"Failed to open file." : L"Not BIOS upgrade file.";
    std::wstring message = Tr(text);
    ShowMessageBox(message.c_str(), Tr(L"Error"), parent, 0);
    return false;
}
