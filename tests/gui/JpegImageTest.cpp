// JPEG artwork decoding through libjpeg.
#include "platform/gui/JpegImage.h"

#include <QFile>

#include <gtest/gtest.h>

using korvane::decodeJpeg;

TEST(JpegImage, DecodesTheArtworkAndRejectsBrokenData)
{
    QFile file(QStringLiteral(KORVANE_SOURCE_DIR "/data/artwork/banner0.jpg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray jpeg = file.readAll();
    const QImage banner = decodeJpeg(jpeg);
    EXPECT_EQ(banner.size(), QSize(668, 65));

    EXPECT_TRUE(decodeJpeg(QByteArray()).isNull());
    EXPECT_TRUE(decodeJpeg(QByteArray("not a picture at all")).isNull());
    EXPECT_TRUE(decodeJpeg(jpeg.left(2)).isNull());
    // A cut-off picture decodes what is there; it must never crash.
    EXPECT_EQ(decodeJpeg(jpeg.left(jpeg.size() / 2)).size(), QSize(668, 65));
    EXPECT_TRUE(korvane::loadJpeg(QStringLiteral("/nonexistent.jpg")).isNull());
}
