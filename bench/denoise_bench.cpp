// Side-by-side quality and speed of the denoise engine and OpenCV's colour
// non-local means on the same noisy frames.
//
//   denoise_bench [--size WxH] [--image path] [--sigmas 5,10,20] [--no-opencv]
//
// A clean I420 frame (the synthetic scene, or a picture) gets seeded Gaussian
// noise (sigma on Y, sigma / 2 on U and V); both denoisers run on it and the
// PSNR gain in Y and in U/V against the clean frame is printed with the wall time.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>

#include <QImage>
#include <QString>

#include "../tests/pixelengine/DenoiseTestFrames.h"
#include "denoise/DenoiseEngine.h"

namespace {
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

// I420 frame <-> contiguous OpenCV I420 buffer (h * 3 / 2 rows of w bytes).
cv::Mat toMat(DenoiseTestFrame& f)
{
    const int w = f.width(), h = f.height();
    cv::Mat m(h * 3 / 2, w, CV_8UC1);
    std::memcpy(m.data, f.y.data(), size_t(w) * h);
    std::memcpy(m.data + size_t(w) * h, f.u.data(), size_t(w / 2) * (h / 2));
    std::memcpy(m.data + size_t(w) * h + size_t(w / 2) * (h / 2), f.v.data(), size_t(w / 2) * (h / 2));
    return m;
}

void fromMat(const cv::Mat& m, DenoiseTestFrame& f)
{
    const int w = f.width(), h = f.height();
    std::memcpy(f.y.data(), m.data, size_t(w) * h);
    std::memcpy(f.u.data(), m.data + size_t(w) * h, size_t(w / 2) * (h / 2));
    std::memcpy(f.v.data(), m.data + size_t(w) * h + size_t(w / 2) * (h / 2), size_t(w / 2) * (h / 2));
}

void printRow(const char* name, double ms, DenoiseTestFrame& out, DenoiseTestFrame& clean, double y0, double c0)
{
    const int w = clean.width(), h = clean.height();
    const double y = denoisePsnr(out, clean, 0, w, h), c = denoisePsnr(out, clean, 1, w, h);
    std::printf("  %-34s %8.0f ms   Y %+6.2f dB (%5.2f)   U/V %+6.2f dB (%5.2f)\n", name, ms, y - y0, y, c - c0, c);
}
}

int main(int argc, char** argv)
{
    int w = 4000, h = 3000;
    std::string image;
    std::vector<double> sigmas = {5, 10, 20};
    bool opencv = true;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--size" && i + 1 < argc) {
            std::sscanf(argv[++i], "%dx%d", &w, &h);
        } else if (a == "--image" && i + 1 < argc) {
            image = argv[++i];
        } else if (a == "--sigmas" && i + 1 < argc) {
            sigmas.clear();
            for (char* s = std::strtok(argv[++i], ","); s; s = std::strtok(nullptr, ","))
                sigmas.push_back(std::atof(s));
        } else if (a == "--no-opencv") {
            opencv = false;
        }
    }
    cv::Mat picture;
    if (!image.empty()) {
        const QImage loaded = QImage(QString::fromStdString(image)).convertToFormat(QImage::Format_RGB888);
        if (!loaded.isNull()) {
            const cv::Mat rgb(loaded.height(), loaded.width(), CV_8UC3, const_cast<uchar*>(loaded.constBits()),
                              size_t(loaded.bytesPerLine()));
            cv::cvtColor(rgb, picture, cv::COLOR_RGB2BGR);
        }
        if (picture.empty()) {
            std::fprintf(stderr, "cannot read %s\n", image.c_str());
            return 1;
        }
        w = picture.cols & ~1;
        h = picture.rows & ~1;
        picture = picture(cv::Rect(0, 0, w, h)).clone();
    }
    w &= ~1;
    h &= ~1;
    DenoiseTestFrame clean(0x601, w, h);
    if (picture.empty()) {
        denoiseFillScene(clean);
    } else {
        cv::Mat i420;
        cv::cvtColor(picture, i420, cv::COLOR_BGR2YUV_I420);
        fromMat(i420, clean);
    }
    std::printf("frame %d x %d (%.1f MP), %s, %d OpenCV threads\n", w, h, w * double(h) / 1e6,
                picture.empty() ? "synthetic scene" : image.c_str(), cv::getNumThreads());

    DenoiseEngine* engine = nullptr;
    if (DenoiseCreate(&engine) != 0) {
        std::fprintf(stderr, "DenoiseCreate failed\n");
        return 1;
    }
    DenoiseSetMode(engine, 0);
    DenoiseSetLuminanceChrominance(engine, 0);
    DenoiseSetLuminanceFactor(engine, 0);

    for (double sigma : sigmas) {
        DenoiseTestFrame noisy(clean);
        denoiseAddNoise(noisy, sigma, 12345);
        const double y0 = denoisePsnr(noisy, clean, 0, w, h), c0 = denoisePsnr(noisy, clean, 1, w, h);
        std::printf("\nsigma %.0f (Y), %.1f (U/V): noisy Y %.2f dB, U/V %.2f dB\n", sigma, sigma / 2, y0, c0);

        auto t = Clock::now();
        DenoiseSetNoiseProfile(engine, nullptr);
        int rc = DenoiseEstimateNoise(engine, &noisy.frame, nullptr);
        std::printf("  %-34s %8.0f ms   (rc %d)\n", "DenoiseEstimateNoise", msSince(t), rc);
        for (int luminance : {50, 100}) {
            DenoiseTestFrame out(0x601, w, h);
            DenoiseSetLuminance(engine, luminance);
            DenoiseSetChrominance(engine, 50);
            t = Clock::now();
            rc = DenoiseProcess(engine, &noisy.frame, &out.frame, nullptr, nullptr);
            const double ms = msSince(t);
            char name[64];
            std::snprintf(name, sizeof name, "ours lum %d chr 50%s", luminance, rc ? " FAILED" : "");
            printRow(name, ms, out, clean, y0, c0);
        }
        if (!opencv)
            continue;
        cv::Mat bgr;
        cv::cvtColor(toMat(noisy), bgr, cv::COLOR_YUV2BGR_I420);
        {
            DenoiseTestFrame out(0x601, w, h);
            cv::Mat back;
            cv::cvtColor(bgr, back, cv::COLOR_BGR2YUV_I420);
            fromMat(back, out);
            printRow("OpenCV colour round trip only", 0, out, clean, y0, c0);
        }
        for (float hLuma : {5.0f, 10.0f}) {
            DenoiseTestFrame out(0x601, w, h);
            cv::Mat den, back;
            t = Clock::now();
            cv::fastNlMeansDenoisingColored(bgr, den, hLuma, hLuma, 7, 21);
            const double ms = msSince(t);
            cv::cvtColor(den, back, cv::COLOR_BGR2YUV_I420);
            fromMat(back, out);
            char name[64];
            std::snprintf(name, sizeof name, "OpenCV NLM colour h %.0f", double(hLuma));
            printRow(name, ms, out, clean, y0, c0);
        }
    }

    // Estimation alone at 24 MP.
    {
        const int w2 = 6000, h2 = 4000;
        DenoiseTestFrame big(0x601, w2, h2);
        denoiseFillScene(big);
        denoiseAddNoise(big, 10, 7);
        auto t = Clock::now();
        const int rc = DenoiseEstimateNoise(engine, &big.frame, nullptr);
        std::printf("\nDenoiseEstimateNoise at %d x %d (24 MP): %.0f ms (rc %d)\n", w2, h2, msSince(t), rc);
    }
    DenoiseDestroy(engine);
    return 0;
}
