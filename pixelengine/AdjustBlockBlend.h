#pragma once
// Per-16x16-block blend weights of the radial blurs: the share of the
// filtered image in 1/256, growing with the block's distance from the centre.
#include <cstddef>
#include <cstdint>

class AdjustBlockWeights {
public:
    AdjustBlockWeights() = default;
    ~AdjustBlockWeights();
    AdjustBlockWeights(const AdjustBlockWeights&) = delete;
    AdjustBlockWeights& operator=(const AdjustBlockWeights&) = delete;

    // Allocates (width + 31) >> 4 by (height + 31) >> 4 entries; false when
    // memory runs out.
    bool allocate(int width, int height);

    // Fills every entry with weightOf(s), s the distance of the block's
    // top-left corner from the centre relative to the half diagonal.
    // Results are clamped to 0..256.
    template <typename F>
    void fill(F weightOf);

    const uint32_t* row(int y) const { return m_weights + static_cast<ptrdiff_t>(y >> 4) * m_columns; }
    // The raw entries, row by row, for tables that hold other per-block words.
    uint32_t* data() { return m_weights; }
    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    // Relative distance s of block (bx, by).
    double distance(int bx, int by) const;

private:
    int m_width = 0;
    int m_height = 0;
    int m_columns = 0;
    int m_rows = 0;
    uint32_t* m_weights = nullptr;
};

template <typename F>
void AdjustBlockWeights::fill(F weightOf)
{
    for (int by = 0; by < m_rows; ++by)
        for (int bx = 0; bx < m_columns; ++bx) {
            int w = weightOf(distance(bx, by));
            w = w < 0 ? 0 : (w > 256 ? 256 : w);
            m_weights[static_cast<ptrdiff_t>(by) * m_columns + bx] = static_cast<uint32_t>(w);
        }
}

// The weight of the pyramid and radial blurs for mix m (percent).
int AdjustBlurWeight(double s, int mix);

// dst = (src * (256 - w) + filtered * w) >> 8 for every byte of a row of
// width blue, green, red pixels; w from the pixel's block. dst may be src or
// filtered.
void AdjustBlendRow(const uint8_t* src, const uint8_t* filtered, uint8_t* dst, int width,
                    const uint32_t* weightRow);
