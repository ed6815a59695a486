#pragma once
// Screen pictures stored beside the profiles ("drawImage.BMP").
#include <QImage>
#include <QSize>
#include <QString>

namespace PictureFile {

// Reads the picture at path when its header says it is at most maxSize,
// decoding nothing larger. False (and image untouched) for a missing,
// special, oversized or undecodable file.
bool read(const QString &path, const QSize &maxSize, QImage *image);

} // namespace PictureFile
