#include "app/QtJpegPicture.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <cstring>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace vm {

namespace {

// libjpeg's default error handler ends the process; this one jumps back to the decoder with
// the library's message instead.
struct TJpegError
{
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr info)
{
    auto* error = reinterpret_cast<TJpegError*>(info->err);
    (*info->err->format_message)(info, error->Message);
    std::longjmp(error->Jump, 1);
}

void JpegSilentOutput(j_common_ptr) {}

// The pictures are small: anything larger than this is refused rather than allocated.
constexpr long kMaxPixels = 16L * 1024 * 1024;

} // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, TRgbPicture& picture, std::string& error)
{
    picture = {};
    if (!data || size == 0) {
        error = "no picture data";
        return false;
    }
    jpeg_decompress_struct info{};
    TJpegError jerr{};
    info.err = jpeg_std_error(&jerr.Manager);
    jerr.Manager.error_exit = JpegErrorExit;
    jerr.Manager.output_message = JpegSilentOutput;
    // Nothing with a destructor may be created between setjmp and the last libjpeg call:
    // longjmp would skip it. The picture's vector is created before and only resized after.
    if (setjmp(jerr.Jump)) {
        error = jerr.Message;
        jpeg_destroy_decompress(&info);
        picture = {};
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3 ||
        long(info.output_width) * long(info.output_height) > kMaxPixels) {
        jpeg_destroy_decompress(&info);
        error = "unsupported picture size or colour layout";
        return false;
    }
    picture.Width = int(info.output_width);
    picture.Height = int(info.output_height);
    picture.Rgb.resize(size_t(picture.Width) * size_t(picture.Height) * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row =
            picture.Rgb.data() + size_t(info.output_scanline) * size_t(picture.Width) * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

QImage JpegImage(const QByteArray& bytes)
{
    TRgbPicture picture;
    std::string error;
    if (!DecodeJpeg(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()),
                    picture, error))
        return {};
    QImage image(picture.Width, picture.Height, QImage::Format_RGB888);
    for (int y = 0; y < picture.Height; ++y)
        std::memcpy(image.scanLine(y), picture.Rgb.data() + size_t(y) * size_t(picture.Width) * 3,
                    size_t(picture.Width) * 3);
    return image;
}

QImage JpegImageFromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return JpegImage(file.readAll());
}

} // namespace vm
