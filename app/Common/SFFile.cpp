#include "Common/SFFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace SF_SOFT_BASE {

struct CSFFile::Impl {
    int fd = -1;
};

CSFFile::CSFFile() : m_pImpl(new Impl) {}

CSFFile::~CSFFile() { Close(); }

int CSFFile::Open(const char* path, uint32_t access, uint32_t /*share*/, uint32_t disposition, uint32_t /*flags*/)
{
    if (!path)
        return 0;
    int mode = O_RDONLY;
    if ((access & SF_GENERIC_READ) && (access & SF_GENERIC_WRITE))
        mode = O_RDWR;
    else if (access & SF_GENERIC_WRITE)
        mode = O_WRONLY;
    switch (disposition) {
    case SF_CREATE_NEW:
        mode |= O_CREAT | O_EXCL;
        break;
    case SF_CREATE_ALWAYS:
        mode |= O_CREAT | O_TRUNC;
        break;
    case SF_OPEN_ALWAYS:
        mode |= O_CREAT;
        break;
    case SF_TRUNCATE_EXISTING:
        mode |= O_TRUNC;
        break;
    default:
        break;
    }
    const int fd = ::open(path, mode | O_CLOEXEC, 0644);
    if (fd < 0)
        return 0;
    m_pImpl->fd = fd;
    return 1;
}

int CSFFile::Close()
{
    if (!m_pImpl)
        return 0;
    if (m_pImpl->fd < 0)
        return -1;
    const int rc = ::close(m_pImpl->fd);
    m_pImpl->fd = -1;
    return rc == 0 ? 1 : 0;
}

int CSFFile::Read(void* buffer, uint32_t count)
{
    if (m_pImpl->fd < 0 || !buffer)
        return 0;
    char* out = static_cast<char*>(buffer);
    uint32_t total = 0;
    while (total < count) {
        const ssize_t n = ::read(m_pImpl->fd, out + total, count - total);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return 0;
        if (n == 0)
            break;
        total += static_cast<uint32_t>(n);
    }
    if (total < count)
        out[total] = 0;
    return static_cast<int>(total);
}

int CSFFile::Seek(int32_t low, int32_t high, uint32_t method)
{
    int64_t distance = (int64_t(high) << 32) | uint32_t(low);
    int whence = SEEK_SET;
    if (method == SF_FILE_CURRENT) {
        whence = SEEK_CUR;
    } else if (method == SF_FILE_END) {
        whence = SEEK_END;
        distance = -distance;
    }
    if (m_pImpl->fd >= 0)
        ::lseek(m_pImpl->fd, distance, whence);
    return 1;
}

int CSFFile::SeekToEnd(uint32_t* high, uint32_t* low)
{
    int64_t end = 0;
    if (m_pImpl->fd >= 0) {
        end = ::lseek(m_pImpl->fd, 0, SEEK_END);
        if (end < 0)
            end = 0;
    }
    if (high)
        *high = uint32_t(uint64_t(end) >> 32);
    if (low)
        *low = uint32_t(uint64_t(end) & 0xFFFFFFFFu);
    return 1;
}

} // namespace SF_SOFT_BASE
