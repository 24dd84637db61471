#pragma once
// Packed 24-bit (B,G,R) and 32-bit (B,G,R,A) pixel buffers that the pixel
// engine works on in place. Rows of buffers made by create() are padded to a
// multiple of 4 bytes so a QImage of Format_BGR888 can wrap them.
#include <cstddef>
#include <cstdint>

class IQBGRData {
public:
    IQBGRData() = default;
    // Wraps caller-owned pixels; the caller keeps the memory.
    IQBGRData(uint8_t* data, uint32_t width, int32_t height, int32_t bytesPerLine);
    virtual ~IQBGRData();

    IQBGRData(const IQBGRData&) = delete;
    IQBGRData& operator=(const IQBGRData&) = delete;

    // Allocates an owning buffer of the given size (contents not cleared).
    // Returns null for non-positive or unaddressable sizes and when memory
    // runs out.
    static IQBGRData* create(int width, int height);

    // Deep copy that owns its pixels; null when memory runs out. The caller
    // deletes it through the virtual destructor.
    virtual IQBGRData* clone() const;

    // Padded row length of a 24-bit buffer, or 0 when it does not fit an int.
    static int32_t rowBytesFor(int width);
    size_t byteCount() const;

    uint8_t* data = nullptr;
    uint32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerLine = 0;
    bool ownsData = false;

protected:
    // Copies bytesPerLine * height bytes into a fresh malloc block of target.
    bool copyInto(IQBGRData& target) const;
};

class IQBGRAData : public IQBGRData {
public:
    IQBGRAData() = default;
    IQBGRAData(uint8_t* data, uint32_t width, int32_t height, int32_t bytesPerLine);
    ~IQBGRAData() override;

    static IQBGRAData* create(int width, int height);
    IQBGRAData* clone() const override;

    // Row length of a 32-bit buffer, or 0 when it does not fit an int.
    static int32_t rowBytesFor(int width);
};
