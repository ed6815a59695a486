#pragma once
// The first family's screen pictures: 64 x 48 one-bit images and the 384
// bytes the mouse keeps of one. Pure functions, no device.
#include "platform/WinTypes.h"

#include <QImage>
#include <QString>

namespace KestrelPictureCodec {

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr int kPackedSize = 384;

// Packs a 64 x 48 one-bit image into device order: byte page * 64 + x holds
// column x, rows page * 8 .. page * 8 + 7, row page * 8 + k in bit k, set
// where the image bit is 0. False for another size or format, or len != 384.
bool pack(const QImage &image, BYTE *buffer, int len);
// The reverse: 384 device bytes to a 64 x 48 one-bit image (least
// significant bit first), the image bit set where the device bit is set.
bool unpack(const BYTE *buffer, int len, QImage *image);
// Packs the picture file at path; false when it is missing, unreadable or
// not 64 x 48 pixels.
bool packFile(const QString &path, BYTE *buffer, int len);

} // namespace KestrelPictureCodec
