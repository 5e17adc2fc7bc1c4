#include "platform/linux/StatusNotifierAdaptor.h"

#include <QColor>
#include <gtest/gtest.h>

// A tray host reads each pixel as A, R, G, B from the first byte, with straight alpha: our
// pictures are drawn premultiplied, and a half-transparent edge must keep its colour.
TEST(StatusNotifierItemTest, APictureGoesOutAsStraightArgbInNetworkOrder) {
    QImage image(2, 1, QImage::Format_ARGB32_Premultiplied);
    image.setPixelColor(0, 0, QColor(0x20, 0x40, 0x60, 0x80));
    image.setPixelColor(1, 0, QColor(0xff, 0x00, 0x10, 0xff));

    const SniPixmap p = SniPixmap::fromImage(image);
    ASSERT_EQ(p.width, 2);
    ASSERT_EQ(p.height, 1);
    ASSERT_EQ(p.bytes.size(), 8);
    const auto byte = [&](int i) { return int(uchar(p.bytes[i])); };
    EXPECT_EQ(byte(0), 0x80);
    // Premultiplied and back costs at most one step of rounding.
    EXPECT_NEAR(byte(1), 0x20, 1);
    EXPECT_NEAR(byte(2), 0x40, 1);
    EXPECT_NEAR(byte(3), 0x60, 1);
    EXPECT_EQ(QByteArray(p.bytes.constData() + 4, 4), QByteArray("\xff\xff\x00\x10", 4));
}
