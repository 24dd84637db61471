#pragma once
#include <libraw/libraw_datastream.h>

class QIODevice;

// LibRaw input over a random-access QIODevice, read on demand: opening a file
// and taking its embedded preview touch only the few blocks they need.
// Reads are clamped to the size the device had when the stream was made.
class DeviceDatastream : public LibRaw_abstract_datastream
{
public:
    explicit DeviceDatastream(QIODevice* device);

    int valid() override;
    int read(void* ptr, size_t size, size_t count) override;
    int seek(INT64 offset, int whence) override;
    INT64 tell() override;
    INT64 size() override;
    int get_char() override;
    char* gets(char* buffer, int size) override;
    int scanf_one(const char* format, void* value) override;
    int eof() override;
    void* make_jas_stream() override;

private:
    bool fill(); // refills the look-ahead block at the current position

    QIODevice* m_device;
    INT64 m_size = 0;
    INT64 m_pos = 0;
    // Small look-ahead so byte-wise parsing does not call the device per byte.
    char m_block[4096];
    INT64 m_blockStart = 0;
    INT64 m_blockLength = 0;
};
