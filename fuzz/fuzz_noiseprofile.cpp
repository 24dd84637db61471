// Serialised noise profile of the denoiser over arbitrary bytes: the reader on
// an exact-size buffer, the engine's loader on its fixed-size buffer, the
// writer's round trip, and a small denoise pass driven by an accepted profile.
#include "DenoiseTestFrames.h"
#include "PixelEngine.h"
#include "denoise/DenoiseEngine.h"
#include "denoise/DenoiseRecords.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

DenoiseEngine* g_engine = nullptr;
DenoiseTestFrame* g_source = nullptr;

bool sameProfile(const DenoiseProfile& a, const DenoiseProfile& b)
{
    if (a.count != b.count)
        return false;
    for (uint32_t c = 0; c < a.count; ++c) {
        if (a.levels[c] != b.levels[c])
            return false;
        for (uint32_t l = 0; l < a.levels[c]; ++l) {
            const DenoiseProfileEntry& x = a.entries[c][l];
            const DenoiseProfileEntry& y = b.entries[c][l];
            if (x.bits != y.bits || x.fractionBits != y.fractionBits
                || std::memcmp(x.table, y.table, size_t(1) << x.bits) != 0)
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    DenoiseCreate(&g_engine);
    g_source = new DenoiseTestFrame(IQYUV_FORMAT_I420, 40, 36);
    denoiseFillScene(*g_source);
    denoiseAddNoise(*g_source, 8.0, 7);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > DENOISE_PROFILE_BYTES + 64)
        return 0;
    // Exact-size copy: any read past the end hits the redzone.
    const std::vector<uint8_t> bytes(data, data + size);
    const uint8_t* p = bytes.empty() ? nullptr : bytes.data();

    DenoiseProfile profile;
    profile.count = 77; // must survive a refused read unchanged
    const int rc = DenoiseProfileDeserialize(&profile, p, size);
    if (rc != 0 && rc != -2)
        __builtin_trap();
    if (rc != 0) {
        if (profile.count != 77)
            __builtin_trap();
    } else {
        // What was read writes back to the same leading bytes and reads again
        // to the same profile.
        const size_t written = DenoiseProfileSerializedSize(profile);
        std::vector<uint8_t> out(written ? written : 1);
        if (written == 0 || written > size
            || DenoiseProfileSerialize(profile, out.data(), out.size()) != int(written)
            || std::memcmp(out.data(), p, written) != 0)
            __builtin_trap();
        DenoiseProfile again;
        if (DenoiseProfileDeserialize(&again, out.data(), out.size()) != 0 || !sameProfile(profile, again))
            __builtin_trap();
    }

    // The engine reads a whole NoiseProfile; the tail past the input is zero.
    NoiseProfile fixed{};
    if (p)
        std::memcpy(fixed.bytes, p, std::min(size, sizeof(fixed.bytes)));
    const int loaded = DenoiseSetNoiseProfile(g_engine, &fixed);
    if (rc == 0 && loaded != 0)
        __builtin_trap();
    if (loaded != 0)
        return 0;

    // An accepted profile drives a denoise pass; modes cover the stage kinds.
    static const int modes[] = {0, 3, 5, 7, 16, 17, 19};
    const int mode = modes[(size + (size ? data[size - 1] : 0)) % (sizeof(modes) / sizeof(modes[0]))];
    DenoiseSetMode(g_engine, mode);
    DenoiseTestFrame target(IQYUV_FORMAT_I420, g_source->width(), g_source->height());
    const int processed = DenoiseProcess(g_engine, &g_source->frame, &target.frame, nullptr, nullptr);
    if (processed != 0 && processed != PE_ERR_NOMEM)
        __builtin_trap();
    DenoiseSetNoiseProfile(g_engine, nullptr);
    return 0;
}
