// What a device checks of a firmware image while it arrives (PROTOCOL.md, "Firmware transfer").
// Images with the header of fwmake/FirmwareImage.h are checked for the device's model family as
// soon as the header is in, for their sizes, and for the payload checksum once complete. Other
// images keep the older rule: one of the known signatures, version from "VERSION=<text>".
#pragma once

#include <cstdint>
#include <string>

#include "devsdk/DevSdkErrors.h"
#include "devsim/FirmwareCrc.h"
#include "fwmake/FirmwareImage.h"

namespace devsim {

class FirmwareReceiver {
public:
    // A new transfer of total bytes.
    void Begin(int64_t total)
    {
        *this = FirmwareReceiver();
        total_ = total;
    }

    // The next piece; 0 while the image is acceptable so far, else the error the device answers.
    uint32_t Piece(const std::string& bin, const std::string& model)
    {
        if (head_.size() < fwmake::kHeaderSize)
            head_ += bin.substr(0, fwmake::kHeaderSize - head_.size());
        const char* payload = bin.data();
        size_t n = bin.size();
        if (!headerRead_ && head_.size() >= fwmake::kHeaderSize) {
            headerRead_ = true;
            fwmake::HeaderStatus st = fwmake::ParseHeader(head_.data(), head_.size(), header_);
            if (st == fwmake::HeaderStatus::Damaged)
                return refused_ = SDK_RETURN_DATA_ERROR;
            container_ = st == fwmake::HeaderStatus::Valid;
            if (container_) {
                if (header_.family != fwmake::FamilyOfModel(model))
                    return refused_ = SDK_ERROR;
                if (int64_t(fwmake::kHeaderSize) + header_.payloadSize != total_)
                    return refused_ = SDK_RETURN_DATA_ERROR;
            }
            // The payload part of this piece.
            size_t skip = fwmake::kHeaderSize - (got_ < int64_t(fwmake::kHeaderSize) ? size_t(got_) : fwmake::kHeaderSize);
            skip = skip > n ? n : skip;
            payload += skip;
            n -= skip;
        } else if (!headerRead_) {
            n = 0;
        }
        if (container_ && n)
            crc_ = FirmwareCrc32(crc_, payload, n);
        got_ += int64_t(bin.size());
        return refused_;
    }

    // After the last piece: a good image of this format, a bad one, or an image of another format
    // (judged by the older rule).
    enum class Verdict { Good, Bad, Foreign };
    Verdict Final() const
    {
        if (refused_)
            return Verdict::Bad;
        if (!headerRead_) {
            fwmake::ImageHeader h;
            return fwmake::ParseHeader(head_.data(), head_.size(), h) == fwmake::HeaderStatus::Foreign ? Verdict::Foreign
                                                                                                     : Verdict::Bad;
        }
        if (!container_)
            return Verdict::Foreign;
        return got_ == total_ && crc_ == header_.payloadCrc ? Verdict::Good : Verdict::Bad;
    }
    const std::string& Version() const { return header_.version; }

private:
    int64_t total_ = 0;
    int64_t got_ = 0;
    std::string head_;
    bool headerRead_ = false;
    bool container_ = false;
    uint32_t refused_ = 0;
    uint32_t crc_ = 0;
    fwmake::ImageHeader header_;
};

} // namespace devsim
