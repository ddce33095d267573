// File-type texts from the MIME database with their fallback, icons only for files that exist,
// and the built-in JPEG pictures.
#include "display/QtDisplayHelpers.h"
#include "app/QtJpegPicture.h"
#include "app/QtResources.h"

#include "support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(FileTypeText, UnknownExtensionsFallBackToTheUpperCasedName)
{
    EXPECT_EQ(FileTypeTextUncached("dat"), "DAT File");
    EXPECT_EQ(FileTypeTextUncached(".qqzz"), "QQZZ File");
    EXPECT_EQ(FileTypeTextUncached(".QqZz"), "QQZZ File");
    EXPECT_EQ(FileTypeTextUncached(".\xc3\xa9x"), "\xc3\x89X File"); // letters beyond ASCII too
    EXPECT_EQ(FileTypeTextUncached("."), "File");                    // no extension: no blank
}

TEST(FileTypeText, KnownExtensionsTakeTheDatabasesDescription)
{
    const std::string text = FileTypeTextUncached(".txt");
    EXPECT_NE(text, "TXT File");
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(FileTypeTextUncached("txt"), text); // with or without the dot
}

TEST(FileTypeText, RememberedPerExtension)
{
    TFileTypes types;
    const std::string& first = types.FileTypeText(".dat");
    EXPECT_EQ(&types.FileTypeText(".dat"), &first);
    EXPECT_EQ(first, "DAT File");
}

TEST(AssociatedIcon, OnlyForFilesThatExist)
{
    vmtest::TempDir dir;
    dir.WriteFile("notes.txt", "hello");
    PrepareIconTheme();
    EXPECT_TRUE(AssociatedIcon(dir / "missing.txt").isNull());
    EXPECT_TRUE(AssociatedIcon("").isNull());
    const QIcon icon = AssociatedIcon(dir / "notes.txt");
    if (icon.isNull())
        GTEST_SKIP() << "no icon theme installed";
    EXPECT_FALSE(icon.isNull());
}

TEST(JpegPicture, BuiltInPicturesDecode)
{
    InitResources();
    const QImage splash = JpegImageFromFile(":/splash.jpg");
    ASSERT_FALSE(splash.isNull());
    EXPECT_EQ(splash.size(), QSize(420, 150));
    EXPECT_FALSE(JpegImageFromFile(":/about.jpg").isNull());
}

TEST(JpegPicture, DamagedDataIsRefusedWithAReason)
{
    InitResources();
    QFile file(":/about.jpg");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();

    TRgbPicture picture;
    std::string error;
    ASSERT_TRUE(DecodeJpeg(reinterpret_cast<const uint8_t*>(whole.constData()),
                           size_t(whole.size()), picture, error));
    EXPECT_EQ(picture.Width, 128);
    EXPECT_EQ(picture.Rgb.size(), size_t(128 * 128 * 3));

    const QByteArray notJpeg("GIF89a and so on");
    EXPECT_FALSE(DecodeJpeg(reinterpret_cast<const uint8_t*>(notJpeg.constData()),
                            size_t(notJpeg.size()), picture, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(picture.Rgb.empty());
    EXPECT_FALSE(DecodeJpeg(nullptr, 0, picture, error));

    // A header alone: libjpeg reports the early end and pads; the picture never crashes us.
    const QByteArray cut = whole.left(200);
    DecodeJpeg(reinterpret_cast<const uint8_t*>(cut.constData()), size_t(cut.size()), picture,
               error);
    EXPECT_TRUE(JpegImage(QByteArray()).isNull());
}

} // namespace
} // namespace vm
