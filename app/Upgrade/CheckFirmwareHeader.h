// The check of a firmware file's first eight bytes against the known signatures, made when the
// user picks a file and again right before a batch starts with it.
#pragma once

#include <string>

enum class FirmwareCheck {
    Accepted,
    OpenFailed,   // "Failed to open file."
    TooShort,     // "Not BIOS upgrade file." (shorter than 8 bytes)
    NotFirmware   // "Not BIOS upgrade file." (no signature matches)
};

// The verdict on the file at a UTF-8 path; the file is closed again before it returns.
FirmwareCheck CheckFirmwareFile(const std::string& path);
// The verdict on a header of eight bytes.
bool IsFirmwareSignature(const unsigned char header[8]);
// Checks the file and shows the refusal in a message box over parent; true when accepted.
bool CheckFirmwareHeader(const wchar_t* path, void* parent);
