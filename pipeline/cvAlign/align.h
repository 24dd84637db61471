#pragma once
// Exposure alignment with median threshold bitmaps (MTB), against a chosen
// reference photo. Implements OpenCV's AlignMTB interface so it plugs into the
// same calls and persistence as the stock aligner.
#include <opencv2/core.hpp>
#include <opencv2/photo.hpp>

#include <string>
#include <vector>

namespace cv {

class AlignIndexMTBImpl : public AlignMTB
{
public:
    AlignIndexMTBImpl(int maxBits, int excludeRange, bool cut, int index);
    ~AlignIndexMTBImpl() override;

    void write(FileStorage &fs) const override;
    void read(const FileNode &fn) override;

    // Forwards to the two-argument form; times and response are not needed.
    void process(InputArrayOfArrays src, std::vector<Mat> &dst,
                 InputArray times, InputArray response) override;
    // Aligns every photo onto the reference (B,G,R pictures; a fourth channel
    // is ignored for the search). With cut the results are views into the
    // sources; without it a photo that needs no shift shares its pixels with
    // its source, as the reference always does.
    void process(InputArrayOfArrays src, std::vector<Mat> &dst) override;

    // The shift that moves img1 onto img0 (shiftMat(img1, out, shift)).
    Point calculateShift(InputArray img0, InputArray img1) override;
    void shiftMat(InputArray src, OutputArray dst, const Point shift) override;
    void computeBitmaps(InputArray img, OutputArray tb, OutputArray eb) override;

    int getMaxBits() const override { return max_bits; }
    void setMaxBits(int value) override { max_bits = value; }
    int getExcludeRange() const override { return exclude_range; }
    void setExcludeRange(int value) override { exclude_range = value; }
    bool getCut() const override { return cut; }
    void setCut(bool value) override { cut = value; }

    int referenceIndex() const { return index; }
    // Index of the coarsest pyramid level used for pictures of this size.
    // Coarsest levels narrower than 32 pixels hold only noise and make the
    // search run away, so the pyramid stops before them.
    int maxLevelFor(Size size) const;

protected:
    std::string name;
    int max_bits;
    int exclude_range;
    bool cut;
    int index;
};

Ptr<AlignIndexMTBImpl> createAlignIndexMTB(int maxBits, int excludeRange, bool cut, int index);

} // namespace cv
