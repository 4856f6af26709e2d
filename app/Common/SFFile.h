// One file handle: open, read, seek and size, with the values of the Windows file calls.
#pragma once

#include <cstdint>
#include <memory>

namespace SF_SOFT_BASE {

enum : uint32_t {
    SF_GENERIC_READ = 0x80000000u,
    SF_GENERIC_WRITE = 0x40000000u,
    SF_FILE_SHARE_READ = 1,
    SF_FILE_SHARE_WRITE = 2,
    SF_CREATE_NEW = 1,
    SF_CREATE_ALWAYS = 2,
    SF_OPEN_EXISTING = 3,
    SF_OPEN_ALWAYS = 4,
    SF_TRUNCATE_EXISTING = 5,
    SF_FILE_ATTRIBUTE_NORMAL = 0x80,
    SF_FILE_BEGIN = 0,
    SF_FILE_CURRENT = 1,
    SF_FILE_END = 2,
};

class CSFFile {
public:
    CSFFile();
    virtual ~CSFFile();
    CSFFile(const CSFFile&) = delete;
    CSFFile& operator=(const CSFFile&) = delete;

    // 1 and the new handle (an open one is replaced), or 0 and the previous state.
    int Open(const char* path, uint32_t access, uint32_t share, uint32_t disposition, uint32_t flags);
    // The close result (1), -1 when no file was open.
    int Close();
    // Bytes read, 0 on failure. A NUL follows the bytes read when it fits within `count`.
    int Read(void* buffer, uint32_t count);
    // With SF_FILE_END the distance is negated: Seek(n, 0, SF_FILE_END) is n bytes before the end.
    int Seek(int32_t low, int32_t high, uint32_t method);
    // Moves to the end; the end position (the size) in two halves.
    int SeekToEnd(uint32_t* high, uint32_t* low);

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

} // namespace SF_SOFT_BASE
