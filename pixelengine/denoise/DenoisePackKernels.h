#pragma once
// Moving samples between the caller's frame layouts and the engine's
// separate working planes. The last argument picks the direction:
// 0 packs the planes into the interleaved buffer, 1 unpacks it.
// Pitches are in bytes; widths count samples of the first plane. Nothing is
// touched beyond 2 * width bytes of a 4:2:2 row or width * 3 of a 4:4:4 row.
#include <cstddef>
#include <cstdint>

enum DenoisePackDirection : int { DENOISE_PACK = 0, DENOISE_UNPACK = 1 };

// Three planes <-> 3-byte samples; only for unsigned byte planes (0x10).
void DenoisePackPlanes3(uint32_t layoutCode, uint8_t* p0, ptrdiff_t pitch0, uint8_t* p1, ptrdiff_t pitch1,
                        uint8_t* p2, ptrdiff_t pitch2, uint8_t* packed, ptrdiff_t packedPitch, int width, int rows,
                        int direction);
// 8-byte groups of one plane <-> the first 8 bytes of each 16-byte group.
void DenoisePackGroups8(uint8_t* plane, ptrdiff_t planePitch, uint8_t* packed, ptrdiff_t packedPitch, int width,
                        int rows, int direction);
// Byte pairs of one plane <-> bytes 0 and 2 of each 4-byte group, exchanged.
void DenoisePackPairsSwapped(uint8_t* plane, ptrdiff_t planePitch, uint8_t* packed, ptrdiff_t packedPitch,
                             int width, int rows, int direction);
// 16-bit samples of one plane <-> the first 16-bit slot of each 32-bit group.
void DenoisePackPairs16(uint8_t* plane, ptrdiff_t planePitch, uint8_t* packed, ptrdiff_t packedPitch, int width,
                        int rows, int direction);
// 8 luma + 4 + 4 chroma samples <-> one 16-byte group.
void DenoisePackLumaChroma(uint8_t* y, ptrdiff_t pitchY, uint8_t* u, ptrdiff_t pitchU, uint8_t* v,
                           ptrdiff_t pitchV, uint8_t* packed, ptrdiff_t packedPitch, int width, int rows,
                           int direction);
// 4:2:0 planes <-> groups Y0 C1 Y1 C2, two luma rows a pass: packing writes
// the chroma pair into both rows, unpacking takes that of the upper row.
void DenoisePackQuad(uint8_t* y, ptrdiff_t pitchY, uint8_t* c1, ptrdiff_t pitchC1, uint8_t* c2, ptrdiff_t pitchC2,
                     uint8_t* packed, ptrdiff_t packedPitch, int width, int rows, int direction);
// 4:2:2 planes <-> groups C1 Y0 C2 Y1, one row a pass.
void DenoisePackQuadAlt(uint8_t* y, ptrdiff_t pitchY, uint8_t* c1, ptrdiff_t pitchC1, uint8_t* c2,
                        ptrdiff_t pitchC2, uint8_t* packed, ptrdiff_t packedPitch, int width, int rows,
                        int direction);
// 4:2:2 planes <-> groups Y0 C1 Y1 C2, one row a pass.
void DenoisePackQuadWide(uint8_t* y, ptrdiff_t pitchY, uint8_t* c1, ptrdiff_t pitchC1, uint8_t* c2,
                         ptrdiff_t pitchC2, uint8_t* packed, ptrdiff_t packedPitch, int width, int rows,
                         int direction);
// Two planes <-> byte pairs (first plane in the even bytes).
void DenoisePackInterleaved2(uint8_t* a, ptrdiff_t pitchA, uint8_t* b, ptrdiff_t pitchB, uint8_t* packed,
                             ptrdiff_t packedPitch, int width, int rows, int direction);
// One plane <-> every n-th sample of the interleaved buffer from sample s, for
// the layout's sample size (1 or 2 bytes); -701 for any other size.
int DenoisePackStrided(uint32_t layout, uint8_t* plane, ptrdiff_t planePitch, uint8_t* packed,
                       ptrdiff_t packedPitch, int width, int rows, int n, int s, int direction);
void DenoisePackStrided2(uint8_t* plane, ptrdiff_t planePitch, uint8_t* packed, ptrdiff_t packedPitch, int width,
                         int rows, int direction);
