// The JPEG pictures of the splash window and the about box, decoded with libjpeg.
#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace vm {

// A decoded picture: rows of RGB triples, top row first.
struct TRgbPicture
{
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Rgb; // Width * Height * 3 bytes
};

// Decodes JPEG bytes; false with the decoder's reason in `error` when the data is not a picture
// it can read (damaged or cut-off data never ends the program).
bool DecodeJpeg(const uint8_t* data, size_t size, TRgbPicture& picture, std::string& error);

// The picture as a QImage; a null image when it cannot be read.
QImage JpegImage(const QByteArray& bytes);
// The picture of a resource or file (":/splash.jpg"); a null image when it cannot be read.
QImage JpegImageFromFile(const QString& path);

} // namespace vm
