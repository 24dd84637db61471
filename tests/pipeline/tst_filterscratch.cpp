// The detail filters' reusable working planes, and the huge-page advice
// seen in the kernel's own account of the process's memory.
#include <QtTest>

#include <QFile>

#include <opencv2/core.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "IQFilterScratch.h"

namespace {

constexpr uintptr_t kHugePage = uintptr_t(2) << 20;

// The smaps fields of the mapping that holds address, or empty.
QMap<QString, QString> mappingOf(uintptr_t address)
{
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    QMap<QString, QString> fields;
    if (!smaps.open(QIODevice::ReadOnly | QIODevice::Text))
        return fields;
    bool inside = false;
    const QList<QByteArray> lines = smaps.readAll().split('\n');
    for (const QByteArray &line : lines) {
        // A mapping starts with "lo-hi perms ..."; its fields read "Name: value".
        const QByteArray first = line.left(line.indexOf(' '));
        if (first.endsWith(':')) {
            if (inside)
                fields.insert(QString::fromLatin1(first.chopped(1)), QString::fromLatin1(line.mid(first.size())).simplified());
            continue;
        }
        const int dash = first.indexOf('-');
        bool ok1 = false, ok2 = false;
        const uintptr_t lo = first.left(dash).toULongLong(&ok1, 16);
        const uintptr_t hi = first.mid(dash + 1).toULongLong(&ok2, 16);
        inside = dash > 0 && ok1 && ok2 && address >= lo && address < hi;
        if (inside)
            fields.insert(QStringLiteral("start"), QString::number(qulonglong(lo), 16));
    }
    return fields;
}

} // namespace

class TestFilterScratch : public QObject {
    Q_OBJECT
private slots:
    void planesShareAndGrow();
    void planeShapes_data();
    void planeShapes();
    void touchWritesEveryByte();
    void hugePageAdviceReachesTheKernel();
};

void TestFilterScratch::planesShareAndGrow()
{
    IQFilterScratch scratch;
    QCOMPARE(scratch.bytesHeld(), size_t(0));

    cv::Mat a = scratch.plane(0, 40, 30, CV_8UC3);
    QCOMPARE(a.rows, 40);
    QCOMPARE(a.cols, 30);
    QCOMPARE(a.type(), CV_8UC3);
    QVERIFY(a.isContinuous());
    a.setTo(cv::Scalar(1, 2, 3));
    uchar *const first = a.data;

    // The same slot at the same or a smaller size: the same memory, and what
    // the last user left there.
    cv::Mat again = scratch.plane(0, 40, 30, CV_8UC3);
    QCOMPARE(again.data, first);
    QCOMPARE(again.at<cv::Vec3b>(39, 29), cv::Vec3b(1, 2, 3));
    cv::Mat smaller = scratch.plane(0, 10, 10, CV_32FC1);
    QCOMPARE(smaller.data, first);
    const size_t held = scratch.bytesHeld();
    QVERIFY(held >= size_t(40 * 30 * 3));

    // Another slot is other memory, and growing one slot leaves the others.
    cv::Mat other = scratch.plane(2, 40, 30, CV_8UC3);
    QVERIFY(other.data + other.total() * other.elemSize() <= first || other.data >= first + held);
    other.setTo(cv::Scalar(9, 8, 7));
    cv::Mat larger = scratch.plane(0, 500, 400, CV_32FC3);
    QVERIFY(scratch.bytesHeld() >= size_t(500) * 400 * 12 + 40 * 30 * 3);
    larger.setTo(cv::Scalar::all(7.5));
    QCOMPARE(larger.at<cv::Vec3f>(499, 399), cv::Vec3f(7.5f, 7.5f, 7.5f));
    QCOMPARE(scratch.plane(2, 40, 30, CV_8UC3).at<cv::Vec3b>(39, 29), cv::Vec3b(9, 8, 7));

    scratch.release();
    QCOMPARE(scratch.bytesHeld(), size_t(0));
}

void TestFilterScratch::planeShapes_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("type");
    QTest::newRow("empty") << 0 << 0 << int(CV_8UC1);
    QTest::newRow("one pixel") << 1 << 1 << int(CV_32FC3);
    // Past one row of the byte matrix behind a slot.
    QTest::newRow("65537 bytes") << 1 << 65537 << int(CV_8UC1);
    QTest::newRow("6000 x 4000 floats") << 4000 << 6000 << int(CV_32FC1);
}

void TestFilterScratch::planeShapes()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(int, type);
    IQFilterScratch scratch;
    cv::Mat m = scratch.plane(1, rows, cols, type);
    QCOMPARE(m.rows, rows);
    QCOMPARE(m.cols, cols);
    QCOMPARE(m.type(), type);
    const size_t bytes = size_t(rows) * size_t(cols) * CV_ELEM_SIZE(type);
    QVERIFY(scratch.bytesHeld() >= bytes);
    if (bytes > 0) {
        // Every byte is there to be written.
        std::memset(m.data, 0xA5, bytes);
        QCOMPARE(m.data[bytes - 1], uchar(0xA5));
    }
    QVERIFY_THROWS_EXCEPTION(cv::Exception, scratch.plane(-1, 1, 1, CV_8UC1));
    QVERIFY_THROWS_EXCEPTION(cv::Exception, scratch.plane(0, -1, 1, CV_8UC1));
}

void TestFilterScratch::touchWritesEveryByte()
{
    // Lengths around the 4 MB bands the pages are touched in.
    for (const size_t bytes : {size_t(1), size_t(4) << 20, (size_t(4) << 20) + 3, size_t(9 << 20) - 1}) {
        std::unique_ptr<uint8_t[]> memory(new uint8_t[bytes + 2]);
        std::memset(memory.get(), 0x5A, bytes + 2);
        IQTouchPages(memory.get() + 1, bytes);
        QCOMPARE(memory[0], uint8_t(0x5A));
        QCOMPARE(memory[bytes + 1], uint8_t(0x5A));
        QVERIFY(std::all_of(memory.get() + 1, memory.get() + 1 + bytes, [](uint8_t b) { return b == 0; }));
    }
    IQTouchPages(nullptr, 100);
}

void TestFilterScratch::hugePageAdviceReachesTheKernel()
{
    QFile mode(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
    if (!mode.open(QIODevice::ReadOnly) || !mode.readAll().contains("[madvise]"))
        QSKIP("huge pages are not given on advice on this system");
    // Fresh memory from the allocator: a mapping of its own at this size.
    const size_t bytes = size_t(40) << 20;
    std::unique_ptr<uint8_t, decltype(&std::free)> memory(static_cast<uint8_t *>(std::malloc(bytes)), &std::free);
    QVERIFY(memory);
    const uintptr_t begin = reinterpret_cast<uintptr_t>(memory.get());
    const uintptr_t firstWhole = (begin + kHugePage - 1) & ~(kHugePage - 1);
    QCOMPARE(mappingOf(firstWhole).value(QStringLiteral("THPeligible")), QStringLiteral("0"));

    IQAdviseHugePages(memory.get(), bytes);
    // The kernel splits the mapping at the first whole 2 MB page and marks
    // the advised part; the part before it stays as it was.
    const QMap<QString, QString> advised = mappingOf(firstWhole);
    QCOMPARE(advised.value(QStringLiteral("start")), QString::number(qulonglong(firstWhole), 16));
    QCOMPARE(advised.value(QStringLiteral("THPeligible")), QStringLiteral("1"));
    if (firstWhole > begin)
        QCOMPARE(mappingOf(begin).value(QStringLiteral("THPeligible")), QStringLiteral("0"));
}

QTEST_GUILESS_MAIN(TestFilterScratch)
#include "tst_filterscratch.moc"
