#include "device/kestrel/KestrelPictureCodec.h"

#include <QDebug>

namespace KestrelPictureCodec {

bool pack(const QImage &image, BYTE *buffer, int len)
{
    qInfo() << "ImageToByteArr image.byteCount()  imageDataLen" << image.size() << image.sizeInBytes() << len;
    const bool oneBit = image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB;
    if (!buffer || !oneBit || image.width() != kWidth || image.height() != kHeight
        || image.sizeInBytes() != kPackedSize || len != kPackedSize)
        return false;
    for (int page = 0; page < kHeight / 8; ++page) {
        for (int x = 0; x < kWidth; ++x) {
            BYTE b = 0;
            for (int k = 0; k < 8; ++k)
                if (image.pixelIndex(x, page * 8 + k) == 0)
                    b |= BYTE(1 << k);
            buffer[page * kWidth + x] = b;
        }
    }
    return true;
}

bool unpack(const BYTE *buffer, int len, QImage *image)
{
    if (!buffer || !image || len != kPackedSize) {
        qWarning("ByteArrToImage: a picture is 384 bytes, got %d", len);
        return false;
    }
    QImage result(kWidth, kHeight, QImage::Format_MonoLSB);
    // A set device bit is a lit pixel, shown white.
    result.setColorCount(2);
    result.setColor(0, qRgb(0, 0, 0));
    result.setColor(1, qRgb(255, 255, 255));
    for (int page = 0; page < kHeight / 8; ++page)
        for (int x = 0; x < kWidth; ++x)
            for (int k = 0; k < 8; ++k)
                result.setPixel(x, page * 8 + k, (buffer[page * kWidth + x] >> k) & 1);
    *image = result;
    return true;
}

bool packFile(const QString &path, BYTE *buffer, int len)
{
    const QImage stored(path);
    if (stored.isNull() || stored.width() != kWidth || stored.height() != kHeight) {
        qWarning() << "no 64 x 48 picture in" << path;
        return false;
    }
    return pack(stored.convertToFormat(QImage::Format_MonoLSB), buffer, len);
}

} // namespace KestrelPictureCodec
