// Writes the seed corpora of the fuzz targets: small DNGs of every preview
// kind and orientation, JPEG/EXIF blocks in both byte orders, noise profiles
// from the denoiser's writer, sample update feeds and single-instance frames.
#include "DenoiseTestFrames.h"
#include "DngWriter.h"
#include "FuzzBlockName.h"
#include "SingleInstanceProtocol.h"
#include "denoise/DenoiseEngine.h"
#include "denoise/DenoiseRecords.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <vector>

namespace {

bool save(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// Minimal TIFF/EXIF writer: directory 0 with Make, Model and Orientation,
// an EXIF directory (exposure, f-number, ISO) and a GPS directory.
class ExifBlock
{
public:
    explicit ExifBlock(bool le)
        : m_le(le)
    {
    }

    QByteArray build()
    {
        QByteArray t = QByteArray(m_le ? "II" : "MM") + u16(42) + u32(8);
        // Directory 0: 5 entries, values after it.
        const quint32 ifd0 = 8, ifd0Size = 2 + 5 * 12 + 4;
        const quint32 makeAt = ifd0 + ifd0Size, modelAt = makeAt + 8;
        const quint32 exifAt = modelAt + 10;
        const quint32 exifSize = 2 + 3 * 12 + 4;
        const quint32 exposureAt = exifAt + exifSize, fnumberAt = exposureAt + 8;
        const quint32 gpsAt = fnumberAt + 8;
        const quint32 gpsSize = 2 + 2 * 12 + 4;
        const quint32 latAt = gpsAt + gpsSize;
        t += u16(5) + entry(271, 2, 8, makeAt) + entry(272, 2, 10, modelAt) + entryShort(274, 1)
             + entry(34665, 4, 1, exifAt) + entry(34853, 4, 1, gpsAt) + u32(0);
        t += QByteArray("Vantrel\0", 8) + QByteArray("Test Cam\0\0", 10);
        t += u16(3) + entry(33434, 5, 1, exposureAt) + entry(33437, 5, 1, fnumberAt) + entryShort(34855, 100) + u32(0);
        t += u32(1) + u32(125) + u32(28) + u32(10);
        t += u16(2) + entry(1, 2, 2, m_le ? 0x4eu : 0x4e000000u) + entry(2, 5, 3, latAt) + u32(0);
        t += u32(48) + u32(1) + u32(51) + u32(1) + u32(295) + u32(10);
        return t;
    }

private:
    QByteArray u16(quint16 v) const
    {
        QByteArray b(2, '\0');
        b[m_le ? 0 : 1] = char(v & 0xff);
        b[m_le ? 1 : 0] = char(v >> 8);
        return b;
    }
    QByteArray u32(quint32 v) const
    {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[m_le ? i : 3 - i] = char((v >> (8 * i)) & 0xff);
        return b;
    }
    QByteArray entry(quint16 tag, quint16 type, quint32 count, quint32 value) const
    {
        return u16(tag) + u16(type) + u32(count) + u32(value);
    }
    QByteArray entryShort(quint16 tag, quint16 value) const
    {
        return u16(tag) + u16(3) + u32(1) + u16(value) + u16(0);
    }
    bool m_le;
};

QByteArray jpegWithExif(const QByteArray& tiff)
{
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray j("\xff\xd8", 2);
    const QByteArray xmp("http://ns.adobe.com/xap/1.0/\0<x/>", 33);
    j += QByteArray("\xff\xe1", 2) + char((xmp.size() + 2) >> 8) + char((xmp.size() + 2) & 0xff) + xmp;
    j += QByteArray("\xff\xe1", 2) + char((payload.size() + 2) >> 8) + char((payload.size() + 2) & 0xff) + payload;
    j += QByteArray("\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00\x12\x34\xff\xd9", 14);
    return j;
}

// Profiles the engine measured on noisy frames, and hand-made ones with
// every channel and level count and smaller tables.
int writeNoiseProfiles(const QDir& dir)
{
    int written = 0;
    DenoiseEngine* engine = nullptr;
    if (DenoiseCreate(&engine) != 0)
        return 0;
    const uint32_t formats[] = {IQYUV_FORMAT_I420, IQYUV_FORMAT_YUY2, IQYUV_FORMAT_NV21};
    for (uint32_t format : formats) {
        for (double sigma : {2.0, 12.0}) {
            DenoiseTestFrame frame(format, 64, 48);
            denoiseFillScene(frame);
            denoiseAddNoise(frame, sigma, 3);
            NoiseProfile bytes{};
            DenoiseProfile profile;
            if (DenoiseEstimateNoise(engine, &frame.frame, &bytes) != 0
                || DenoiseNoiseProfileRead(&bytes, &profile) != 0)
                continue;
            const QByteArray data(reinterpret_cast<const char*>(bytes.bytes),
                                  qsizetype(DenoiseProfileSerializedSize(profile)));
            written += save(dir.filePath(QStringLiteral("measured_%1_%2.bin").arg(format, 0, 16).arg(int(sigma))),
                            data);
        }
    }
    DenoiseDestroy(engine);

    for (int channels = 1; channels <= DENOISE_MAX_CHANNELS; ++channels) {
        for (int levels = 1; levels <= DENOISE_MAX_LEVELS; ++levels) {
            DenoiseProfile profile;
            DenoiseProfileSetup(&profile, channels, levels, levels);
            for (int c = 0; c < channels; ++c)
                for (int l = 0; l < levels; ++l) {
                    DenoiseProfileEntry& e = profile.entries[c][l];
                    e.bits = uint32_t((channels + levels + l) % 9);
                    e.fractionBits = uint32_t((c + l) % 9);
                    for (int i = 0; i < 256; ++i)
                        e.table[i] = uint8_t(i * (c + 1) + l * 17);
                }
            std::vector<uint8_t> bytes(DenoiseProfileSerializedSize(profile));
            const int n = DenoiseProfileSerialize(profile, bytes.data(), bytes.size());
            if (n <= 0)
                continue;
            written += save(dir.filePath(QStringLiteral("made_c%1_l%2.bin").arg(channels).arg(levels)),
                            QByteArray(reinterpret_cast<const char*>(bytes.data()), n));
        }
    }
    return written;
}

int writeUpdateFeeds(const QDir& dir)
{
    const char* const feeds[] = {
        R"({"linux":[{"module-name":"Vantrel HDR","channel":1,"open-url":"https://www.vantrel.example/new",)"
        R"("changelog":"<b>Faster</b> merging","download-url":"https://updates.vantrel.example/dl/vantrel-2.2.run",)"
        R"("latest-version":"2.2.0.5","sha256":" 9F86D081884C7D659A2FEAA0C55AD015A3BF4F1B2B0B822CD15D6C15B0F00A08 ",)"
        R"("mandatory-update":false}]})",
        R"({"windows":[{"module-name":"Vantrel HDR","channel":1,"latest-version":"9"}],)"
        R"("linux":[{"module-name":"Other","channel":1},{"module-name":"Vantrel HDR","channel":0},)"
        R"({"module-name":"Vantrel HDR","channel":1,"latest-version":"2.1.0.119",)"
        R"("download-url":"http://127.0.0.1:8080/a%2Fb/..%2F.hidden?x=1#f","mandatory-update":true}]})",
        R"({"linux":[1,"x",null,[],{"module-name":"Vantrel HDR","channel":"1"},)"
        R"({"module-name":"Vantrel HDR","channel":1.0,"latest-version":"2.1.0.118.1",)"
        R"("open-url":"//evil.example/\u0000","download-url":"https://[::1]/\u00e9t\u00e9.run"}]})",
        (R"({"linux":[{"module-name":"Vantrel HDR","channel":1,"latest-version":"99999999999.-1.x",)"
         R"("download-url":"file:///etc/passwd","open-url":"http://localhost/p"}],"pad":[[[[{}]]]]})"),
        R"([{"linux":[]}])",
    };
    int written = 0;
    int i = 0;
    for (const char* feed : feeds)
        written += save(dir.filePath(QStringLiteral("feed_%1.json").arg(i++)), QByteArray(feed));
    return written;
}

int writeSingleInstanceFrames(const QDir& dir)
{
    // The first byte of a seed picks how the stream is cut into pieces.
    const QString name = fuzzBlockName();
    int written = 0;
    const qint8 kinds[] = {HandshakeNewInstance, HandshakeSecondaryInstance, HandshakeReconnect};
    for (qint8 kind : kinds) {
        const QByteArray body = handshakeBody(name, kind, kind * 7);
        written += save(dir.filePath(QStringLiteral("body_%1.bin").arg(kind)), '\0' + body);
        QByteArray stream = lengthFrame(body.size()) + body;
        for (const QByteArray& message : {QByteArray("open /tmp/a.jpg"), QByteArray(), QByteArray(300, '\x7f')})
            stream += lengthFrame(message.size()) + message;
        written += save(dir.filePath(QStringLiteral("stream_%1.bin").arg(kind)), char(kind * 3) + stream);
    }
    // A hand-shake naming another block, and one over the size limit.
    const QByteArray other = handshakeBody(QStringLiteral("other"), HandshakeNewInstance, 1);
    written += save(dir.filePath(QStringLiteral("stream_other.bin")), '\x02' + lengthFrame(other.size()) + other);
    written += save(dir.filePath(QStringLiteral("stream_long.bin")), '\x01' + lengthFrame(kMaxHandshakeLength + 1));

    SingleInstanceBlock block;
    resetBlock(block);
    block.primary = true;
    block.primaryPid = 4242;
    setBlockUser(block, QStringLiteral("fuzz"));
    block.checksum = blockChecksum(block);
    written += save(dir.filePath(QStringLiteral("block.bin")),
                    QByteArray(reinterpret_cast<const char*>(&block), sizeof(block)));
    return written;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <seed-dir>\n", argv[0]);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const QDir raw(root.filePath(QStringLiteral("rawhandler")));
    const QDir exif(root.filePath(QStringLiteral("exif")));
    const QDir noise(root.filePath(QStringLiteral("noiseprofile")));
    const QDir feed(root.filePath(QStringLiteral("updatefeed")));
    const QDir frames(root.filePath(QStringLiteral("singleinstance")));
    for (const QDir& d : {raw, exif, noise, feed, frames})
        QDir().mkpath(d.path());

    int written = 0;
    const DngSpec::Preview kinds[] = {DngSpec::Preview::None, DngSpec::Preview::Jpeg, DngSpec::Preview::Rgb,
                                      DngSpec::Preview::Grey};
    for (int orientation : {1, 3, 5, 6, 8}) {
        for (int k = 0; k < 4; ++k) {
            DngSpec recipe;
            recipe.scene = DngWriter::quadrantScene(32, 24);
            recipe.orientation = orientation;
            recipe.preview = kinds[k];
            recipe.previewImage = DngWriter::quadrantScene(16, 12);
            recipe.jpegQuality = 50;
            written += save(raw.filePath(QStringLiteral("dng_o%1_p%2.dng").arg(orientation).arg(k)),
                            DngWriter::build(recipe));
        }
    }
    for (bool le : {true, false}) {
        const QByteArray tiff = ExifBlock(le).build();
        const QString order = le ? QStringLiteral("le") : QStringLiteral("be");
        written += save(exif.filePath(QStringLiteral("jpeg_%1.jpg").arg(order)), jpegWithExif(tiff));
        written += save(exif.filePath(QStringLiteral("app1_%1.bin").arg(order)), QByteArray("Exif\0\0", 6) + tiff);
    }
    // A DNG is a TIFF: its directory as an EXIF block.
    DngSpec recipe;
    recipe.scene = DngWriter::quadrantScene(8, 8);
    written += save(exif.filePath(QStringLiteral("jpeg_dng.jpg")), jpegWithExif(DngWriter::build(recipe)));
    written += writeNoiseProfiles(noise);
    written += writeUpdateFeeds(feed);
    written += writeSingleInstanceFrames(frames);
    std::printf("%d seed files written\n", written);
    return 0;
}
