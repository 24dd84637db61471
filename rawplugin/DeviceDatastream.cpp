#include "DeviceDatastream.h"

#include <QIODevice>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

DeviceDatastream::DeviceDatastream(QIODevice* device)
    : m_device(device)
{
    if (m_device && m_device->isOpen() && !m_device->isSequential())
        m_size = m_device->size();
}

int DeviceDatastream::valid()
{
    return m_device && m_device->isOpen() && !m_device->isSequential() && m_size > 0;
}

bool DeviceDatastream::fill()
{
    m_blockStart = m_pos;
    m_blockLength = 0;
    if (m_pos >= m_size || !m_device->seek(m_pos))
        return false;
    const qint64 want = std::min<INT64>(INT64(sizeof m_block), m_size - m_pos);
    const qint64 got = m_device->read(m_block, want);
    m_blockLength = got > 0 ? got : 0;
    return m_blockLength > 0;
}

int DeviceDatastream::read(void* ptr, size_t size, size_t count)
{
    if (!ptr || size == 0 || count == 0 || m_pos >= m_size)
        return 0;
    if (count > std::numeric_limits<size_t>::max() / size)
        return 0;
    const INT64 wanted = INT64(std::min<size_t>(size * count, size_t(m_size - m_pos)));
    auto* out = static_cast<char*>(ptr);
    INT64 done = 0;
    // Serve what the look-ahead block holds, then go to the device for the rest.
    if (m_pos >= m_blockStart && m_pos < m_blockStart + m_blockLength) {
        const INT64 n = std::min(wanted, m_blockStart + m_blockLength - m_pos);
        std::memcpy(out, m_block + (m_pos - m_blockStart), size_t(n));
        done = n;
    }
    if (done < wanted && m_device->seek(m_pos + done)) {
        const qint64 got = m_device->read(out + done, wanted - done);
        if (got > 0)
            done += got;
    }
    m_pos += done;
    return int(std::min<INT64>((done + INT64(size) - 1) / INT64(size), std::numeric_limits<int>::max()));
}

int DeviceDatastream::seek(INT64 offset, int whence)
{
    INT64 base = 0;
    switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = m_pos; break;
    case SEEK_END: base = m_size; break;
    default: return -1;
    }
    // Clamp like LibRaw's own buffer stream; hostile offsets must not wrap.
    INT64 target;
    if (offset > 0 && base > std::numeric_limits<INT64>::max() - offset)
        target = m_size;
    else if (offset < 0 && base < std::numeric_limits<INT64>::min() - offset)
        target = 0;
    else
        target = base + offset;
    m_pos = std::clamp<INT64>(target, 0, m_size);
    return 0;
}

INT64 DeviceDatastream::tell()
{
    return m_pos;
}

INT64 DeviceDatastream::size()
{
    return m_size;
}

int DeviceDatastream::get_char()
{
    if (m_pos >= m_size)
        return -1;
    if (m_pos < m_blockStart || m_pos >= m_blockStart + m_blockLength) {
        if (!fill())
            return -1;
    }
    return static_cast<unsigned char>(m_block[m_pos++ - m_blockStart]);
}

char* DeviceDatastream::gets(char* buffer, int size)
{
    if (!buffer || size <= 0)
        return nullptr;
    int n = 0;
    while (n < size - 1) {
        const int c = get_char();
        if (c < 0)
            break;
        buffer[n++] = char(c);
        if (c == '\n')
            break;
    }
    buffer[n] = '\0';
    return n > 0 ? buffer : nullptr;
}

int DeviceDatastream::scanf_one(const char* format, void* value)
{
    if (m_pos >= m_size)
        return 0;
    // Numbers only: a bounded, terminated window is enough.
    char window[32];
    const INT64 start = m_pos;
    int n = 0;
    while (n < int(sizeof window) - 1) {
        const int c = get_char();
        if (c < 0)
            break;
        window[n++] = char(c);
    }
    window[n] = '\0';
    m_pos = start;
    const int result = std::sscanf(window, format, value);
    if (result > 0) {
        int skipped = 0;
        while (m_pos < m_size) {
            ++m_pos;
            ++skipped;
            const INT64 at = m_pos - start;
            const char c = at < n ? window[at] : '\0';
            if (c == 0 || c == ' ' || c == '\t' || c == '\n' || skipped > 24)
                break;
        }
    }
    return result;
}

int DeviceDatastream::eof()
{
    return m_pos >= m_size;
}

void* DeviceDatastream::make_jas_stream()
{
    return nullptr;
}
