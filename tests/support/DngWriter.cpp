#include "DngWriter.h"

#include <QBuffer>
#include <QFile>
#include <QVector>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

enum TiffType : quint16 { Byte = 1, Ascii = 2, Short = 3, Long = 4, Rational = 5, SRational = 10 };

struct Entry
{
    quint16 tag;
    quint16 type;
    quint32 count;
    QByteArray data; // little-endian values
};

template <typename T>
void put(QByteArray& out, T v)
{
    char b[sizeof(T)];
    qToLittleEndian(v, b);
    out.append(b, sizeof(T));
}

template <typename T>
Entry numbers(quint16 tag, quint16 type, std::initializer_list<T> list)
{
    Entry e{tag, type, quint32(list.size()), {}};
    for (T v : list)
        put(e.data, v);
    return e;
}

Entry shorts(quint16 tag, std::initializer_list<quint16> list) { return numbers(tag, Short, list); }
Entry longs(quint16 tag, std::initializer_list<quint32> list) { return numbers(tag, Long, list); }
Entry bytes(quint16 tag, std::initializer_list<quint8> list) { return numbers(tag, Byte, list); }

Entry ascii(quint16 tag, const QByteArray& text)
{
    Entry e{tag, Ascii, quint32(text.size() + 1), text};
    e.data.append('\0');
    return e;
}

template <typename Values>
Entry rationals(quint16 tag, quint16 type, const Values& values)
{
    Entry e{tag, type, quint32(std::size(values)), {}};
    for (double v : values) {
        put<quint32>(e.data, quint32(qint32(qRound(v * 1e6))));
        put<quint32>(e.data, 1000000);
    }
    return e;
}

// XYZ (D65) to camera RGB for a camera that sees `cameraFromSrgb` of linear
// sRGB: that matrix times the standard XYZ to linear sRGB matrix.
std::array<double, 9> xyzToCamera(const std::array<double, 9>& cameraFromSrgb)
{
    static constexpr double srgbFromXyz[9] = {3.2404542, -1.5371385, -0.4985314, -0.9692660, 1.8760108,
                                              0.0415560, 0.0556434,  -0.2040259, 1.0572252};
    std::array<double, 9> out{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                out[std::size_t(i * 3 + j)] += cameraFromSrgb[std::size_t(i * 3 + k)] * srgbFromXyz[k * 3 + j];
    return out;
}

class TiffBuilder
{
public:
    TiffBuilder()
    {
        out.append("II", 2);
        put<quint16>(out, 42);
        put<quint32>(out, 0); // patched by setFirstIfd
    }

    quint32 appendBlock(const QByteArray& block)
    {
        align();
        const quint32 offset = quint32(out.size());
        out.append(block);
        return offset;
    }

    quint32 writeIfd(QVector<Entry> entries)
    {
        std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
        align();
        const quint32 offset = quint32(out.size());
        quint32 external = offset + 2 + 12 * quint32(entries.size()) + 4;
        QByteArray tail;
        put<quint16>(out, quint16(entries.size()));
        for (const Entry& e : entries) {
            put<quint16>(out, e.tag);
            put<quint16>(out, e.type);
            put<quint32>(out, e.count);
            if (e.data.size() <= 4) {
                QByteArray inlineValue = e.data;
                inlineValue.append(QByteArray(4 - inlineValue.size(), '\0'));
                out.append(inlineValue);
            } else {
                put<quint32>(out, external + quint32(tail.size()));
                tail.append(e.data);
                if (tail.size() % 2)
                    tail.append('\0');
            }
        }
        put<quint32>(out, 0);
        out.append(tail);
        return offset;
    }

    void setFirstIfd(quint32 offset) { qToLittleEndian(offset, out.data() + 4); }

    QByteArray out;

private:
    void align()
    {
        while (out.size() % 4)
            out.append('\0');
    }
};

QByteArray bayerSamples(const QImage& scene)
{
    // Qt widens 8-bit samples to 16 bits as v * 257.
    const QImage rgb = scene.convertToFormat(QImage::Format_RGBX64);
    QByteArray data;
    data.resize(qsizetype(rgb.width()) * rgb.height() * 2);
    char* p = data.data();
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgba64*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x, p += 2) {
            quint16 v;
            if ((y & 1) == 0 && (x & 1) == 0)
                v = row[x].red();
            else if ((y & 1) == 1 && (x & 1) == 1)
                v = row[x].blue();
            else
                v = row[x].green();
            qToLittleEndian(v, p);
        }
    }
    return data;
}

QByteArray previewPixels(const QImage& image, bool grey)
{
    QByteArray data;
    if (grey) {
        const QImage g = image.convertToFormat(QImage::Format_Grayscale8);
        for (int y = 0; y < g.height(); ++y)
            data.append(reinterpret_cast<const char*>(g.constScanLine(y)), g.width());
    } else {
        const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
        for (int y = 0; y < rgb.height(); ++y)
            data.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), qsizetype(rgb.width()) * 3);
    }
    return data;
}

} // namespace

QByteArray DngWriter::build(const DngSpec& recipe)
{
    if (recipe.scene.isNull() || recipe.orientation < 1 || recipe.orientation > 8)
        return {};
    const bool hasPreview = recipe.preview != DngSpec::Preview::None && !recipe.previewImage.isNull();
    const int width = recipe.scene.width();
    const int height = recipe.scene.height();

    TiffBuilder tiff;
    const QByteArray rawData = bayerSamples(recipe.scene);
    const quint32 rawOffset = tiff.appendBlock(rawData);

    QVector<Entry> rawIfd = {
        longs(254, {0}),
        longs(256, {quint32(width)}),
        longs(257, {quint32(height)}),
        shorts(258, {16}),
        shorts(259, {1}),
        shorts(262, {32803}),
        longs(273, {rawOffset}),
        shorts(277, {1}),
        longs(278, {quint32(height)}),
        longs(279, {quint32(rawData.size())}),
        shorts(284, {1}),
        shorts(33421, {2, 2}),
        bytes(33422, {0, 1, 1, 2}),
        longs(50714, {0}),
        longs(50717, {quint32(recipe.whiteLevel)}),
    };

    QVector<Entry> mainTags = {
        ascii(271, "Vantrel"),
        ascii(272, "Synthetic DNG"),
        shorts(274, {quint16(recipe.orientation)}),
        bytes(50706, {1, 4, 0, 0}),
        bytes(50707, {1, 1, 0, 0}),
        ascii(50708, "Vantrel Synthetic"),
        rationals(50721, SRational, xyzToCamera(recipe.cameraFromSrgb)),
        rationals(50728, Rational, recipe.asShotNeutral),
        shorts(50778, {21}),
    };

    quint32 first;
    if (!hasPreview) {
        mainTags += rawIfd;
        first = tiff.writeIfd(mainTags);
    } else {
        QByteArray previewData;
        QVector<Entry> previewTags = {
            longs(254, {1}),
            longs(256, {quint32(recipe.previewImage.width())}),
            longs(257, {quint32(recipe.previewImage.height())}),
            shorts(284, {1}),
        };
        const bool jpeg = recipe.preview == DngSpec::Preview::Jpeg;
        const bool grey = jpeg ? recipe.previewImage.isGrayscale() : recipe.preview == DngSpec::Preview::Grey;
        if (jpeg) {
            QBuffer buffer(&previewData);
            buffer.open(QIODevice::WriteOnly);
            const QImage source = recipe.previewImage.convertToFormat(grey ? QImage::Format_Grayscale8
                                                                           : QImage::Format_RGB32);
            if (!source.save(&buffer, "JPEG", recipe.jpegQuality))
                return {};
        } else {
            previewData = previewPixels(recipe.previewImage, grey);
        }
        // Bits, compression (7 JPEG, 1 none), photometric (1 grey, 2 RGB, 6 YCbCr), samples.
        previewTags += grey ? shorts(258, {8}) : shorts(258, {8, 8, 8});
        previewTags += shorts(259, {quint16(jpeg ? 7 : 1)});
        previewTags += shorts(262, {quint16(grey ? 1 : jpeg ? 6 : 2)});
        previewTags += shorts(277, {quint16(grey ? 1 : 3)});
        const quint32 previewOffset = tiff.appendBlock(previewData);
        previewTags += longs(273, {previewOffset});
        previewTags += longs(278, {quint32(recipe.previewImage.height())});
        previewTags += longs(279, {quint32(previewData.size())});
        const quint32 rawIfdOffset = tiff.writeIfd(rawIfd);
        previewTags += longs(330, {rawIfdOffset});
        previewTags += mainTags;
        first = tiff.writeIfd(previewTags);
    }
    tiff.setFirstIfd(first);
    return tiff.out;
}

bool DngWriter::write(const QString& path, const DngSpec& recipe)
{
    const QByteArray data = build(recipe);
    if (data.isEmpty())
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray DngWriter::plainTiff(const QImage& image, int tile, const QByteArray& make)
{
    if (image.isNull() || tile < 0 || tile % 16)
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int width = rgb.width();
    const int height = rgb.height();
    TiffBuilder tiff;
    QVector<Entry> tags = {
        longs(256, {quint32(width)}), longs(257, {quint32(height)}), shorts(258, {8, 8, 8}),
        shorts(259, {1}),             shorts(262, {2}),              shorts(277, {3}),
        shorts(284, {1}),
    };
    if (!make.isEmpty())
        tags += ascii(271, make);
    // One block per tile (edge tiles padded), or the whole picture as one strip.
    const int tw = tile ? tile : width;
    const int th = tile ? tile : height;
    Entry offsets{quint16(tile ? 324 : 273), Long, 0, {}};
    Entry counts{quint16(tile ? 325 : 279), Long, 0, {}};
    for (int ty = 0; ty < height; ty += th) {
        for (int tx = 0; tx < width; tx += tw) {
            QByteArray block(qsizetype(tw) * th * 3, '\0');
            for (int y = 0; y < th && ty + y < height; ++y) {
                const int n = std::min(tw, width - tx);
                std::memcpy(block.data() + qsizetype(y) * tw * 3, rgb.constScanLine(ty + y) + tx * 3, size_t(n) * 3);
            }
            put<quint32>(offsets.data, tiff.appendBlock(block));
            put<quint32>(counts.data, quint32(block.size()));
            ++offsets.count;
            ++counts.count;
        }
    }
    tags += offsets;
    tags += counts;
    if (tile)
        tags += {longs(322, {quint32(tile)}), longs(323, {quint32(tile)})};
    else
        tags += longs(278, {quint32(height)});
    tiff.setFirstIfd(tiff.writeIfd(tags));
    return tiff.out;
}

QImage DngWriter::quadrantScene(int width, int height)
{
    QImage scene(width, height, QImage::Format_RGB32);
    const int hw = width / 2;
    const int hh = height / 2;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(scene.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (y < hh)
                row[x] = x < hw ? qRgb(200, 10, 10) : qRgb(10, 200, 10);
            else
                row[x] = x < hw ? qRgb(10, 10, 200) : qRgb(200, 200, 200);
        }
    }
    return scene;
}
