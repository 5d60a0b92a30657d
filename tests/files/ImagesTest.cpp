// PNG and BMP encoding and decoding: exact round trips, the bitmap kinds other programs write, and
// damaged, truncated, oversized and foreign files.
#include <gtest/gtest.h>
#include <zlib.h>

#include <QBuffer>
#include <QImageWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <random>

#include "files/Images.h"

using namespace pictures;

namespace {

// A picture with every pixel different from its neighbours, so that a wrong row, column, channel
// order or padding shows. The width is odd, so BMP rows need padding.
QImage testPicture(int w = 67, int h = 23)
{
    QImage image(w, h, QImage::Format_RGB32);
    std::mt19937 random(7);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(static_cast<int>(random() & 0xFF), x * 3, y * 11));
    return image;
}

void expectSamePixels(const QImage& a, const QImage& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            ASSERT_EQ(a.pixel(x, y) | 0xFF000000, b.pixel(x, y) | 0xFF000000) << x << "," << y;
}

QByteArray qtBmp(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

// A PNG whose header claims another size, with a correct header checksum.
QByteArray withPngSize(QByteArray png, quint32 width, quint32 height)
{
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.constData() + 12), 17);
    qToBigEndian(static_cast<quint32>(crc), png.data() + 29);
    return png;
}

// A 2 x 1 bitmap with a 40-byte header followed by three colour masks, as some programs write
// 16- and 32-bit bitmaps.
QByteArray maskedBmp(quint16 bpp, quint32 red, quint32 green, quint32 blue, const std::vector<quint32>& pixels)
{
    QByteArray b(66, '\0');
    b[0] = 'B';
    b[1] = 'M';
    qToLittleEndian(static_cast<quint32>(66), b.data() + 10);
    qToLittleEndian(static_cast<quint32>(40), b.data() + 14);
    qToLittleEndian(static_cast<qint32>(2), b.data() + 18);
    qToLittleEndian(static_cast<qint32>(1), b.data() + 22);
    qToLittleEndian(static_cast<quint16>(1), b.data() + 26);
    qToLittleEndian(bpp, b.data() + 28);
    qToLittleEndian(static_cast<quint32>(3), b.data() + 30);
    qToLittleEndian(red, b.data() + 54);
    qToLittleEndian(green, b.data() + 58);
    qToLittleEndian(blue, b.data() + 62);
    QByteArray row;
    for (quint32 p : pixels)
        for (int i = 0; i < bpp / 8; ++i)
            row.append(static_cast<char>((p >> (8 * i)) & 0xFF));
    while (row.size() % 4 != 0)
        row.append('\0');
    return b + row;
}

}  // namespace

TEST(Pictures, FormatFollowsTheExtension)
{
    EXPECT_EQ(formatForFileName(QStringLiteral("/d/screen.png")), PictureFormat::Png);
    EXPECT_EQ(formatForFileName(QStringLiteral("SCREEN.PNG")), PictureFormat::Png);
    for (const char* name : {"a.bmp", "a.jpg", "a.png.txt", "a", "png"})
        EXPECT_EQ(formatForFileName(QLatin1String(name)), PictureFormat::Bmp) << name;
}

TEST(Pictures, PngAndBmpKeepEveryPixel)
{
    const QImage picture = testPicture();
    QString error;
    const QByteArray png = encodePng(picture, &error);
    ASSERT_FALSE(png.isEmpty()) << qPrintable(error);
    EXPECT_TRUE(png.startsWith("\x89PNG"));
    expectSamePixels(decodePng(png, &error), picture);

    const QByteArray bmp = encodeBmp(picture);
    EXPECT_TRUE(bmp.startsWith("BM"));
    EXPECT_EQ(bmp.size(), 54 + 23 * 204);  // 67 * 3 = 201 bytes a row, padded to 204
    expectSamePixels(decodeBmp(bmp, &error), picture);
    // Other programs read our bitmaps the same way.
    expectSamePixels(QImage::fromData(bmp, "BMP"), picture);

    // The content decides the kind, whatever a name said.
    expectSamePixels(decodePicture(png), picture);
    expectSamePixels(decodePicture(bmp), picture);
}

TEST(Pictures, BitmapsKeepTheirHeaderAndRowLayout)
{
    // A saved bitmap: 14-byte file header, 40-byte info header, 24 bits per pixel, uncompressed,
    // 96 dots per inch, no colour table, rows bottom-up in blue-green-red order padded to 4 bytes.
    // Also when the picture comes in another pixel format or with another resolution.
    QImage picture = testPicture(5, 3);
    picture.setDotsPerMeterX(2835);
    picture.setDotsPerMeterY(2835);
    for (const QImage& source : {picture, picture.convertToFormat(QImage::Format_ARGB32)}) {
        const QByteArray bmp = encodeBmp(source);
        const auto* d = reinterpret_cast<const uchar*>(bmp.constData());
        ASSERT_EQ(bmp.size(), 54 + 3 * 16);
        EXPECT_TRUE(bmp.startsWith("BM"));
        EXPECT_EQ(qFromLittleEndian<quint32>(d + 2), 54U + 48U);  // file size
        EXPECT_EQ(qFromLittleEndian<quint32>(d + 6), 0U);         // reserved
        EXPECT_EQ(qFromLittleEndian<quint32>(d + 10), 54U);       // pixels follow the headers
        EXPECT_EQ(qFromLittleEndian<quint32>(d + 14), 40U);
        EXPECT_EQ(qFromLittleEndian<qint32>(d + 18), 5);
        EXPECT_EQ(qFromLittleEndian<qint32>(d + 22), 3);  // positive: bottom-up
        EXPECT_EQ(qFromLittleEndian<quint16>(d + 26), 1);
        EXPECT_EQ(qFromLittleEndian<quint16>(d + 28), 24);
        EXPECT_EQ(qFromLittleEndian<quint32>(d + 30), 0U);   // uncompressed
        EXPECT_EQ(qFromLittleEndian<quint32>(d + 34), 48U);  // pixel bytes
        EXPECT_EQ(qFromLittleEndian<qint32>(d + 38), 3780);
        EXPECT_EQ(qFromLittleEndian<qint32>(d + 42), 3780);
        EXPECT_EQ(qFromLittleEndian<quint32>(d + 46), 0U);  // no colour table
        EXPECT_EQ(qFromLittleEndian<quint32>(d + 50), 0U);
        // The first row in the file is the picture's bottom row; padding bytes are zero.
        const QRgb bottomLeft = picture.pixel(0, 2);
        EXPECT_EQ(d[54], qBlue(bottomLeft));
        EXPECT_EQ(d[55], qGreen(bottomLeft));
        EXPECT_EQ(d[56], qRed(bottomLeft));
        EXPECT_EQ(d[54 + 15], 0);
    }
}

TEST(Pictures, ReadsTheBitmapKindsOtherProgramsWrite)
{
    const QImage picture = testPicture(13, 9);
    // 8-bit indexed, 1-bit, 32-bit and a top-down 24-bit bitmap.
    const QImage indexed = picture.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const QImage mono = picture.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    for (const QImage& source : {indexed, mono, argb}) {
        const QByteArray bytes = qtBmp(source);
        QString error;
        const QImage read = decodeBmp(bytes, &error);
        ASSERT_FALSE(read.isNull()) << qPrintable(error);
        expectSamePixels(read, QImage::fromData(bytes, "BMP"));
    }
    // Colour masks: 32-bit with red in the low byte, and 16-bit 5-6-5.
    const QImage masked32 = decodeBmp(maskedBmp(32, 0x000000FF, 0x0000FF00, 0x00FF0000, {0x00332211, 0x00CCBBAA}));
    ASSERT_FALSE(masked32.isNull());
    EXPECT_EQ(masked32.pixel(0, 0), qRgb(0x11, 0x22, 0x33));
    EXPECT_EQ(masked32.pixel(1, 0), qRgb(0xAA, 0xBB, 0xCC));
    const QImage masked16 = decodeBmp(maskedBmp(16, 0xF800, 0x07E0, 0x001F, {0xF800, 0x07FF}));
    ASSERT_FALSE(masked16.isNull());
    EXPECT_EQ(masked16.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(masked16.pixel(1, 0), qRgb(0, 255, 255));
    // Channels narrower than 8 bits scale to 0..255, rounded: 16 of 31 is 132, 32 of 63 is 130.
    const QImage middle16 = decodeBmp(maskedBmp(16, 0xF800, 0x07E0, 0x001F, {0x8410, 0x0000}));
    ASSERT_FALSE(middle16.isNull());
    EXPECT_EQ(middle16.pixel(0, 0), qRgb(132, 130, 132));
    EXPECT_EQ(middle16.pixel(1, 0), qRgb(0, 0, 0));

    QByteArray topDown = encodeBmp(picture);
    qToLittleEndian(static_cast<qint32>(-9), topDown.data() + 22);
    expectSamePixels(decodeBmp(topDown), picture.mirrored(false, true));
}

TEST(Pictures, DamagedTruncatedHugeAndForeignFilesGiveOneClearError)
{
    const QImage picture = testPicture();
    const QByteArray png = encodePng(picture);
    const QByteArray bmp = encodeBmp(picture);

    QByteArray badCrc = png;
    const qsizetype middle = badCrc.size() / 2;  // inside the image data
    badCrc[middle] = static_cast<char>(badCrc[middle] ^ 0x55);

    struct Case {
        const char* what;
        QByteArray data;
        const char* mentions;
    };
    const std::vector<Case> cases = {
        {"truncated PNG", png.left(png.size() / 2), "damaged"},
        {"PNG with a bad checksum", badCrc, "damaged"},
        {"PNG of 30000 x 30000", withPngSize(png, 30000, 30000), "too large"},
        {"truncated BMP", bmp.left(bmp.size() - 10), "incomplete"},
        {"BMP of 30000 x 30000",
         [&] {
             QByteArray b = bmp;
             qToLittleEndian(static_cast<qint32>(30000), b.data() + 18);
             qToLittleEndian(static_cast<qint32>(30000), b.data() + 22);
             return b;
         }(),
         "too large"},
        {"BMP with a broken header", bmp.left(20), "not a valid bitmap"},
        {"BMP with an absurd depth",
         [&] {
             QByteArray b = bmp;
             qToLittleEndian(static_cast<quint16>(7), b.data() + 28);
             return b;
         }(),
         "bits per pixel"},
        {"text file", QByteArray("N\tCH1\tCH2\r\n0\t512\t512\r\n"), "not a PNG or BMP"},
        {"empty file", QByteArray(), "not a PNG or BMP"},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_TRUE(decodePicture(c.data, &error).isNull()) << c.what;
        EXPECT_TRUE(error.contains(QLatin1String(c.mentions))) << c.what << ": " << qPrintable(error);
    }
}

TEST(Pictures, FilesAreWrittenWholeOrNotAtAll)
{
    QTemporaryDir dir;
    const QImage picture = testPicture();
    const QString png = dir.filePath(QStringLiteral("screen.png"));
    const QString jpg = dir.filePath(QStringLiteral("screen.jpg"));
    QString error;
    ASSERT_TRUE(savePicture(png, picture, formatForFileName(png), &error)) << qPrintable(error);
    ASSERT_TRUE(savePicture(jpg, picture, formatForFileName(jpg), &error)) << qPrintable(error);
    expectSamePixels(loadPicture(png), picture);
    expectSamePixels(loadPicture(jpg), picture);

    QFile jpgFile(jpg);
    ASSERT_TRUE(jpgFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(jpgFile.read(2) == "BM");

    const QString pngcheck = QStandardPaths::findExecutable(QStringLiteral("pngcheck"));
    if (!pngcheck.isEmpty()) {
        EXPECT_EQ(QProcess::execute(pngcheck, {QStringLiteral("-q"), png}), 0);
    }

    const QString nowhere = dir.filePath(QStringLiteral("no such folder/screen.png"));
    EXPECT_FALSE(savePicture(nowhere, picture, PictureFormat::Png, &error));
    EXPECT_TRUE(error.contains(QLatin1String("could not be saved"))) << qPrintable(error);
    EXPECT_FALSE(QFile::exists(nowhere));

    EXPECT_TRUE(loadPicture(dir.filePath(QStringLiteral("missing.png")), &error).isNull());
    EXPECT_TRUE(error.contains(QLatin1String("could not be opened"))) << qPrintable(error);
}
