#pragma once
// Fast non-local means for 8-bit pictures, byte for byte the result of
// OpenCV's fastNlMeansDenoising / fastNlMeansDenoisingColored (integer sums
// of squared differences over the template window, a fixed-point weight
// table over the binned average distance, weights below 0.001 dropped,
// rounded weighted mean, reflected borders), computed tile by tile on
// OpenCV's thread pool with SIMD kernels (SSE2, AVX2 or AVX-512, picked at
// run time).
//
// Settings that the kernels cannot reproduce exactly (search windows below
// 17 pixels, templates above 33 or search windows above 65 pixels, or
// strengths whose weights never fall to zero) are handed to OpenCV itself.
#include <opencv2/core.hpp>

class IQFilterScratch;

// src: CV_8UC3 in B,G,R order. It goes to 8-bit Lab; the lightness plane is
// filtered with h and the a,b planes together with hColor; the result goes
// back to B,G,R. dst may be src. With a scratch, the Lab copy of the picture
// lives in its slot 0 instead of fresh memory.
void IQNonLocalMeansColored(cv::InputArray src, cv::OutputArray dst, float h, float hColor,
                            int templateWindowSize, int searchWindowSize, IQFilterScratch *scratch = nullptr);

// src: CV_8UC1, or CV_8UC2 filtered as one plane whose distances add up over
// both channels. dst may be src.
void IQNonLocalMeansPlane(cv::InputArray src, cv::OutputArray dst, float h, int templateWindowSize,
                          int searchWindowSize);

// The tile kernel. Auto takes the widest one that the processor runs (or the
// one that the environment variable VANTREL_NLM_KERNEL, "sse2" or "avx2",
// narrows it to); forcing a kernel makes it the widest one allowed (tests
// use this to check every path). IQNonLocalMeansKernel() names the kernel
// now in use.
enum class IQNlmKernel { Auto, Sse2, Avx2, Avx512 };
void IQNonLocalMeansForceKernel(IQNlmKernel kernel);
IQNlmKernel IQNonLocalMeansKernel();
