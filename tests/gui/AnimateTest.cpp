#include "controls/Animate.h"
#include "support/ControlsFixture.h"

#include <QPainter>
#include <QTimer>

namespace {

// Paints every frame as a solid square of one colour.
class TSquareClip : public TClip {
public:
    explicit TSquareClip(int frames) : FFrames(frames) {}
    int FrameCount() const override { return FFrames; }
    int FrameRate() const override { return 10; }
    QSize FrameSize() const override { return QSize(32, 32); }
    void PaintFrame(QPainter& painter, const QRectF& target, int) const override {
        painter.fillRect(target, Qt::red);
    }

private:
    int FFrames;
};

class AnimateTest : public ControlsFixture {
protected:
    AnimateTest() { Anim.SetClip(std::make_shared<TSquareClip>(18)); }

    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            Anim.Tick();
    }
    bool TimerRunning() const { return Anim.findChild<QTimer*>()->isActive(); }

    TAnimate Anim;
};

TEST_F(AnimateTest, PlaysThePassesThenStopsOnTheLastFrame) {
    EXPECT_EQ(Anim.CurrentFrame(), 1);
    EXPECT_EQ(Anim.Interval(), 100);
    Anim.Play(1, 18, 2);
    EXPECT_TRUE(Anim.Active());
    EXPECT_TRUE(TimerRunning());
    Ticks(17);
    EXPECT_EQ(Anim.CurrentFrame(), 18);
    Anim.Tick();
    EXPECT_EQ(Anim.CurrentFrame(), 1); // second pass
    Ticks(17);
    EXPECT_TRUE(Anim.Active()); // frame 18 has its interval too
    Anim.Tick();
    EXPECT_FALSE(Anim.Active());
    EXPECT_FALSE(TimerRunning());
    EXPECT_EQ(Anim.CurrentFrame(), 18);
    Ticks(5);
    EXPECT_EQ(Anim.CurrentFrame(), 18);
}

TEST_F(AnimateTest, PlaysOnlyTheGivenFramesClampedToTheClip) {
    Anim.Play(3, 5, 1);
    EXPECT_EQ(Anim.CurrentFrame(), 3);
    Ticks(2);
    EXPECT_EQ(Anim.CurrentFrame(), 5);
    Anim.Tick();
    EXPECT_FALSE(Anim.Active());
    Anim.Play(0, 99, 1);
    EXPECT_EQ(Anim.CurrentFrame(), 1);
    Ticks(18);
    EXPECT_FALSE(Anim.Active());
    EXPECT_EQ(Anim.CurrentFrame(), 18);
}

TEST_F(AnimateTest, ZeroRepetitionsPlayWithoutEnd) {
    Anim.Play(1, 18, 0);
    Ticks(18 * 50);
    EXPECT_TRUE(Anim.Active());
    EXPECT_TRUE(TimerRunning());
    EXPECT_EQ(Anim.CurrentFrame(), 1);
}

TEST_F(AnimateTest, StopKeepsTheFrameAndSeekShowsAnother) {
    Anim.Play(1, 18, 0);
    Ticks(6);
    Anim.Stop();
    EXPECT_FALSE(Anim.Active());
    EXPECT_FALSE(TimerRunning());
    EXPECT_EQ(Anim.CurrentFrame(), 7);
    Anim.Tick();
    EXPECT_EQ(Anim.CurrentFrame(), 7);

    Anim.Play(1, 18, 0);
    Ticks(4);
    Anim.Seek(1);
    EXPECT_FALSE(Anim.Active());
    EXPECT_FALSE(TimerRunning());
    EXPECT_EQ(Anim.CurrentFrame(), 1);
}

TEST_F(AnimateTest, AClipWithoutFramesNeverPlays) {
    Anim.SetClip(std::make_shared<TSquareClip>(0));
    Anim.Play(1, 18, 0);
    EXPECT_FALSE(Anim.Active());
    EXPECT_FALSE(TimerRunning());
    EXPECT_EQ(Anim.CurrentFrame(), 0);
    Anim.SetClip(nullptr);
    Anim.Play(1, 18, 0);
    Anim.Seek(1);
    EXPECT_FALSE(Anim.Active());
    EXPECT_EQ(Anim.CurrentFrame(), 0);
}

TEST_F(AnimateTest, DrawsTheFrameCentredOnItsBackground) {
    EXPECT_EQ(Anim.sizeHint(), QSize(34, 34));
    Anim.resize(40, 40);
    const QImage shot = Anim.grab().toImage();
    EXPECT_EQ(shot.pixelColor(2, 2), QColor(Qt::black));
    EXPECT_EQ(shot.pixelColor(4, 4), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(35, 35), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(36, 36), QColor(Qt::black));
}

} // namespace
