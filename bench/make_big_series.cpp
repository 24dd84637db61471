// make_big_series OUTDIR IN1 IN2 ... [--size WxH] [--quality Q]
// Makes a large bracketed series for the benchmarks out of a small real one:
// each photo is enlarged (bicubic) to the given size (default 7360 x 4912,
// a 36 MP sensor), shifted by a few pixels per frame as a hand-held bracket
// is, given sensor-like noise and written as a JPEG (default quality 95)
// named big_<n>.jpg in OUTDIR.
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    std::string outDir;
    std::vector<std::string> inputs;
    cv::Size size(7360, 4912);
    int quality = 95;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--size") && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%dx%d", &size.width, &size.height) != 2)
                return 2;
        } else if (!std::strcmp(argv[i], "--quality") && i + 1 < argc) {
            quality = std::atoi(argv[++i]);
        } else if (outDir.empty()) {
            outDir = argv[i];
        } else {
            inputs.push_back(argv[i]);
        }
    }
    if (outDir.empty() || inputs.empty() || size.width < 64 || size.height < 64) {
        std::fprintf(stderr, "usage: make_big_series OUTDIR IN1 IN2 ... [--size WxH] [--quality Q]\n");
        return 2;
    }
    cv::RNG rng(1234);
    for (size_t n = 0; n < inputs.size(); ++n) {
        QImage photo(QString::fromStdString(inputs[n]));
        if (photo.isNull()) {
            std::fprintf(stderr, "cannot read %s\n", inputs[n].c_str());
            return 1;
        }
        // Enlarge a little beyond the target so every shifted crop stays inside.
        const int margin = 16;
        photo = photo.convertToFormat(QImage::Format_RGB888);
        const cv::Mat in(photo.height(), photo.width(), CV_8UC3, photo.bits(), size_t(photo.bytesPerLine()));
        cv::Mat big;
        cv::resize(in, big, cv::Size(size.width + 2 * margin, size.height + 2 * margin), 0, 0, cv::INTER_CUBIC);
        const int dx = int(n) * 3 - 3, dy = 2 - int(n) * 2;
        cv::Mat frame = big(cv::Rect(margin + dx, margin + dy, size.width, size.height)).clone();
        cv::Mat noise(frame.size(), CV_16SC3);
        rng.fill(noise, cv::RNG::NORMAL, 0, 2.5);
        cv::Mat wide;
        frame.convertTo(wide, CV_16SC3);
        wide += noise;
        wide.convertTo(frame, CV_8UC3);
        const std::string out = outDir + "/big_" + std::to_string(n + 1) + ".jpg";
        const QImage written(frame.data, frame.cols, frame.rows, int(frame.step), QImage::Format_RGB888);
        if (!written.save(QString::fromStdString(out), "JPEG", quality)) {
            std::fprintf(stderr, "cannot write %s\n", out.c_str());
            return 1;
        }
        std::printf("%s\n", out.c_str());
    }
    return 0;
}
