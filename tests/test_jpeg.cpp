// JPEG pictures: what the encoder produces (baseline, colour, quality 90,
// rows taken one by one) and how writing a file fails without damage.
#include "Main/core/JpegWriter.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <csetjmp>
#include <cstring>
#include <cstdlib>

#include "helpers/FailingWrite.h"
#include "helpers/JpegDecode.h"

namespace {

// Decodes with the library itself, so the check does not depend on an image plugin.
bool DecodeJpeg(const std::vector<unsigned char> &bytes, QImage *out, int *components)
{
    const DecodedJpeg d = DecodeJpegBytes(QByteArray(reinterpret_cast<const char *>(bytes.data()),
                                                     static_cast<qsizetype>(bytes.size())));
    *components = d.Components;
    *out = d.Image;
    return d.Ok;
}

// The markers of the header, up to the start of the scan.
struct Segment {
    int marker;
    std::vector<unsigned char> body;
};

std::vector<Segment> HeaderSegments(const std::vector<unsigned char> &b)
{
    std::vector<Segment> segs;
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8)
        return segs;
    size_t i = 2;
    while (i + 4 <= b.size() && b[i] == 0xFF) {
        const int marker = b[i + 1];
        const size_t len = (size_t(b[i + 2]) << 8) | b[i + 3];
        if (len < 2 || i + 2 + len > b.size())
            break;
        segs.push_back({marker, std::vector<unsigned char>(b.begin() + long(i) + 4, b.begin() + long(i + 2 + len))});
        if (marker == 0xDA)
            break;
        i += 2 + len;
    }
    return segs;
}

// A picture with sharp colour blocks and a smooth ramp, of a width whose RGB
// rows are not a multiple of 4 bytes.
QImage TestPicture(QImage::Format format = QImage::Format_RGB32)
{
    QImage img(97, 61, format);
    img.fill(Qt::white);
    QPainter p(&img);
    p.fillRect(0, 0, 48, 30, QColor(200, 30, 30));
    p.fillRect(48, 0, 49, 30, QColor(20, 160, 40));
    p.fillRect(0, 30, 48, 31, QColor(30, 60, 210));
    for (int x = 48; x < 97; ++x)
        p.fillRect(x, 30, 1, 31, QColor(x * 2, 255 - x * 2, 128));
    p.end();
    return img;
}

double MeanDifference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int r = 0; r < x.height(); ++r)
        for (int c = 0; c < x.width(); ++c) {
            const QRgb p = x.pixel(c, r), q = y.pixel(c, r);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * x.width() * x.height());
}

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

} // namespace

// The bytes of a picture that must encode; empty when it did not.
std::vector<unsigned char> Encoded(const QImage &image)
{
    std::vector<unsigned char> bytes;
    return EncodeJpeg(image, bytes) ? bytes : std::vector<unsigned char>();
}

class TestJpeg : public QObject
{
    Q_OBJECT
private slots:
    void encodesColourPictureThatDecodesClose();
    void baselineQuality90Colour();
    void otherInputFormats();
    void emptyPictureIsRefused();
    void writesFileAndReplacesOldOne();
    void missingFolderLeavesNoFile();
    void parentIsAFile();
    void failedWriteKeepsEarlierFile();
};

void TestJpeg::encodesColourPictureThatDecodesClose()
{
    const QImage src = TestPicture();
    std::vector<unsigned char> bytes;
    const Status encoded = EncodeJpeg(src, bytes);
    QVERIFY2(encoded && !bytes.empty(), encoded.Message().c_str());
    QImage decoded;
    int components = 0;
    QVERIFY(DecodeJpeg(bytes, &decoded, &components));
    QCOMPARE(components, 3);
    QCOMPARE(decoded.size(), src.size());
    // Rows read with the wrong stride would shear the picture far beyond this.
    QVERIFY2(MeanDifference(src, decoded) < 4.0, qPrintable(QString::number(MeanDifference(src, decoded))));
    // The middle of each block keeps its colour.
    const QColor mids[] = {decoded.pixelColor(20, 12), decoded.pixelColor(72, 12), decoded.pixelColor(20, 48)};
    const QColor want[] = {QColor(200, 30, 30), QColor(20, 160, 40), QColor(30, 60, 210)};
    for (int i = 0; i < 3; ++i) {
        QVERIFY(std::abs(mids[i].red() - want[i].red()) <= 8);
        QVERIFY(std::abs(mids[i].green() - want[i].green()) <= 8);
        QVERIFY(std::abs(mids[i].blue() - want[i].blue()) <= 8);
    }
}

void TestJpeg::baselineQuality90Colour()
{
    const std::vector<unsigned char> bytes = Encoded(TestPicture());
    QVERIFY(!bytes.empty());
    QCOMPARE(int(bytes[bytes.size() - 2]), 0xFF);   // ends with EOI
    QCOMPARE(int(bytes[bytes.size() - 1]), 0xD9);
    const std::vector<Segment> segs = HeaderSegments(bytes);
    bool sof0 = false, progressive = false, jfif = false, dqt = false;
    for (const Segment &s : segs) {
        if (s.marker == 0xC0) {
            sof0 = true;
            QVERIFY(s.body.size() >= 6);
            QCOMPARE(int(s.body[0]), 8);                     // 8-bit samples
            QCOMPARE((s.body[1] << 8) | s.body[2], 61);      // height
            QCOMPARE((s.body[3] << 8) | s.body[4], 97);      // width
            QCOMPARE(int(s.body[5]), 3);                     // colour
        }
        if (s.marker == 0xC2 || s.marker == 0xC1 || s.marker == 0xC3)
            progressive = true;
        if (s.marker == 0xE0 && s.body.size() >= 5 && std::memcmp(s.body.data(), "JFIF", 5) == 0)
            jfif = true;
        if (s.marker == 0xDB && !dqt) {
            dqt = true;
            // The first (luminance) table at quality 90: the library scales the
            // standard table by 20 %, so its DC entry 16 becomes 3.
            QVERIFY(s.body.size() >= 2);
            QCOMPARE(int(s.body[0] >> 4), 0);   // 8-bit entries, as baseline requires
            QCOMPARE(int(s.body[1]), 3);
        }
    }
    QVERIFY(sof0);
    QVERIFY(!progressive);
    QVERIFY(jfif);
    QVERIFY(dqt);
}

void TestJpeg::otherInputFormats()
{
    const QImage rgb = TestPicture();
    for (QImage::Format f : {QImage::Format_RGB888, QImage::Format_ARGB32, QImage::Format_RGB16}) {
        const QImage src = rgb.convertToFormat(f);
        const std::vector<unsigned char> bytes = Encoded(src);
        QVERIFY(!bytes.empty());
        QImage decoded;
        int components = 0;
        QVERIFY(DecodeJpeg(bytes, &decoded, &components));
        QCOMPARE(decoded.size(), src.size());
        QVERIFY(MeanDifference(src, decoded) < 5.0);
    }
    // A picture of one pixel and a wide one-row picture still encode.
    QImage one(1, 1, QImage::Format_RGB32);
    one.fill(QColor(10, 200, 90));
    QVERIFY(!Encoded(one).empty());
    QImage wide(3001, 1, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    QVERIFY(!Encoded(wide).empty());
}

void TestJpeg::emptyPictureIsRefused()
{
    std::vector<unsigned char> bytes{1};
    const Status encoded = EncodeJpeg(QImage(), bytes);
    QVERIFY(!encoded && bytes.empty());
    QVERIFY(!encoded.Message().empty());

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string path = (dir.path() + "/empty.jpg").toStdString();
    const Status written = WriteJpeg(QImage(), path);
    QVERIFY(!written);
    QVERIFY(!written.Message().empty());
    QVERIFY(!QFile::exists(QString::fromStdString(path)));
}

void TestJpeg::writesFileAndReplacesOldOne()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.path() + QString::fromUtf8("/kép ő.jpg");
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));   // longer than the picture
    }
    const Status saved = WriteJpeg(TestPicture(), path.toStdString());
    QVERIFY2(saved, saved.Message().c_str());
    const QByteArray written = ReadAll(path);
    const std::vector<unsigned char> expected = Encoded(TestPicture());
    QCOMPARE(written.size(), qsizetype(expected.size()));
    QVERIFY(std::memcmp(written.constData(), expected.data(), expected.size()) == 0);
    // Nothing else is left in the folder (no temporary file).
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 1);
}

void TestJpeg::missingFolderLeavesNoFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.path() + "/nincs/ilyen/kep.jpg";
    const Status written = WriteJpeg(TestPicture(), path.toStdString());
    QVERIFY(!written);
    QCOMPARE(QString::fromStdString(written.Message()), "Cannot create file " + path);
    QVERIFY(!QFile::exists(path));
    QVERIFY(!QDir(dir.path() + "/nincs").exists());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 0);

    const Status unnamed = WriteJpegBytes(Encoded(TestPicture()), "");
    QVERIFY(!unnamed);
    QCOMPARE(QString::fromStdString(unnamed.Message()), QString("Cannot create file "));
}

void TestJpeg::parentIsAFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString plain = dir.path() + "/plain.txt";
    {
        QFile f(plain);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("data");
    }
    const QString path = plain + "/kep.jpg";
    const Status written = WriteJpeg(TestPicture(), path.toStdString());
    QVERIFY(!written);
    QCOMPARE(QString::fromStdString(written.Message()), "Cannot create file " + path);
    QCOMPARE(ReadAll(plain), QByteArray("data"));
    // A folder in the place of the file cannot be written over either.
    const QString folder = dir.path() + "/mappa.jpg";
    QVERIFY(QDir().mkdir(folder));
    const Status overFolder = WriteJpeg(TestPicture(), folder.toStdString());
    QVERIFY(!overFolder);
    QCOMPARE(QString::fromStdString(overFolder.Message()), "Cannot create file " + folder);
    QVERIFY(QFileInfo(folder).isDir());
}

void TestJpeg::failedWriteKeepsEarlierFile()
{
    // Permission bits do not stop root, so the write is made to fail by a
    // file size limit (on Windows: the file held open by another program).
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.path() + "/regi.jpg";
    const QByteArray earlier("earlier picture");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(earlier);
    }
    QImage big(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x)
            big.setPixel(x, y, qRgb((x * 7 + y * 13) & 255, (x * y) & 255, (x ^ y) & 255));
    const std::vector<unsigned char> bytes = Encoded(big);
    QVERIFY(bytes.size() > 4096);

    Status written;
    QVERIFY(!WhileWritesFail(path, 2048, [&] {
        written = WriteJpegBytes(bytes, path.toStdString());
        return written.Ok();
    }));
    QVERIFY(!written);
    QCOMPARE(QString::fromStdString(written.Message()), "Cannot create file " + path);
    QCOMPARE(ReadAll(path), earlier);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{"regi.jpg"});

    // With the limit gone the same bytes replace the earlier file.
    QVERIFY(WriteJpegBytes(bytes, path.toStdString()));
    QCOMPARE(ReadAll(path).size(), qsizetype(bytes.size()));
}

QTEST_MAIN(TestJpeg)
#include "test_jpeg.moc"
