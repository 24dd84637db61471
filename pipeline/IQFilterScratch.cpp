#include "IQFilterScratch.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr uintptr_t kHugePage = uintptr_t(2) << 20;
// Rows of the byte matrix behind a slot; keeps every size inside an int.
constexpr int kSlotRowBytes = 1 << 16;

} // namespace

cv::Mat IQFilterScratch::plane(int slot, int rows, int cols, int type)
{
    CV_Assert(slot >= 0 && rows >= 0 && cols >= 0);
    const size_t bytes = size_t(rows) * size_t(cols) * CV_ELEM_SIZE(type);
    if (size_t(slot) >= m_slots.size())
        m_slots.resize(size_t(slot) + 1);
    cv::Mat &memory = m_slots[size_t(slot)];
    if (memory.total() < bytes) {
        memory.release();
        const size_t slotRows = (bytes + kSlotRowBytes - 1) / kSlotRowBytes;
        CV_Assert(slotRows <= size_t(INT32_MAX));
        memory.create(int(slotRows), kSlotRowBytes, CV_8UC1);
        IQAdviseHugePages(memory.data, memory.total());
    }
    return cv::Mat(rows, cols, type, memory.data);
}

void IQFilterScratch::release()
{
    m_slots.clear();
}

size_t IQFilterScratch::bytesHeld() const
{
    size_t total = 0;
    for (const cv::Mat &m : m_slots)
        total += m.total();
    return total;
}

cv::Mat IQWorkPlane(IQFilterScratch *scratch, int slot, cv::Size size, int type)
{
    if (scratch)
        return scratch->plane(slot, size.height, size.width, type);
    return cv::Mat(size, type);
}

void IQAdviseHugePages(void *data, size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kHugePage - 1);
    if (data && end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

void IQTouchPages(void *data, size_t bytes)
{
    if (!data || bytes == 0)
        return;
    constexpr size_t kBand = size_t(4) << 20;
    const int bands = int((bytes + kBand - 1) / kBand);
    auto *base = static_cast<uint8_t *>(data);
    cv::parallel_for_(cv::Range(0, bands), [&](const cv::Range &r) {
        const size_t from = size_t(r.start) * kBand;
        const size_t to = std::min(bytes, size_t(r.end) * kBand);
        std::memset(base + from, 0, to - from);
    });
}
