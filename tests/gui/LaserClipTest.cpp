#include "app/LaserClip.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// A frame painted at twice the design size, as on a 200 % screen.
QImage FrameAt2x(const TClip& clip, int frame) {
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    clip.PaintFrame(painter, QRectF(0, 0, 64, 64), frame);
    return image;
}

int LitPixels(const QImage& image) {
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            lit += image.pixel(x, y) != qRgb(0, 0, 0);
    return lit;
}

TEST(LaserClipTest, TheFiringClipIsFoundByItsResourceName) {
    const auto clip = LoadClip("AVI_LASER");
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->FrameCount(), 18);
    EXPECT_EQ(clip->FrameRate(), 10);
    EXPECT_EQ(clip->FrameSize(), QSize(32, 32));
    EXPECT_THROW(LoadClip("AVI_OTHER"), std::runtime_error);
}

TEST(LaserClipTest, EveryFrameIsDrawnAndDiffersFromTheOneBefore) {
    const auto clip = LoadClip("AVI_LASER");
    QImage previous = FrameAt2x(*clip, clip->FrameCount());
    for (int frame = 1; frame <= clip->FrameCount(); ++frame) {
        const QImage image = FrameAt2x(*clip, frame);
        EXPECT_GT(LitPixels(image), 64 * 64 / 8) << "frame " << frame;
        EXPECT_NE(image, previous) << "frame " << frame;
        // The beam reaches the right edge of the doubled frame.
        const QColor beam = image.pixelColor(63, 32);
        EXPECT_GT(beam.red(), 60) << "frame " << frame;
        EXPECT_GE(beam.red(), beam.blue()) << "frame " << frame;
        previous = image;
    }
    EXPECT_EQ(LitPixels(FrameAt2x(*clip, 0)), 0);
    EXPECT_EQ(LitPixels(FrameAt2x(*clip, 19)), 0);
}

} // namespace
