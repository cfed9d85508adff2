#pragma once
// JPEG artwork is decoded with libjpeg's own API, not Qt's image plugins.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace korvane {

// A null image when the data is not a readable JPEG.
QImage decodeJpeg(const QByteArray& data);
// Reads a file or a Qt resource (":/art/banner0.jpg") and decodes it.
QImage loadJpeg(const QString& path);

} // namespace korvane
