#pragma once

#include "controls/Clip.h"

#include <QColor>
#include <QWidget>

#include <memory>

class QTimer;

// An animation player: shows one frame of a clip at a time, centred at the
// clip's design size on a background of its own colour, inside a one-pixel
// frame. It does not size itself to the clip; sizeHint() is the clip's frame
// size (32 x 32 without a clip) plus the frame.
//
// Playing runs a timer at 1000 / FrameRate() ms; Tick() does what one timer
// expiry does, so tests drive playback without waiting.
class TAnimate : public QWidget {
    Q_OBJECT
public:
    explicit TAnimate(QWidget* parent = nullptr);
    ~TAnimate() override;

    // Stops, then shows frame 1 of the new clip (nothing for an empty one or
    // none). The clip is shared, never changed by the player.
    void SetClip(std::shared_ptr<const TClip> clip);
    std::shared_ptr<const TClip> Clip() const { return FClip; }

    // 0 without a clip.
    int FrameCount() const;
    // Frames per second of the clip, at least 1; 0 without a clip.
    int FrameRate() const;
    // The playback timer's interval in milliseconds.
    int Interval() const;

    // True while playing.
    bool Active() const { return FActive; }

    // Plays frames fromFrame..toFrame (numbered from 1, clamped to the
    // clip; a toFrame below fromFrame plays fromFrame alone) `repetitions`
    // times, 0 or less meaning without end. fromFrame shows at once and
    // every frame stays up for one interval; after the last pass the player
    // stops on toFrame. Without frames nothing plays.
    void Play(int fromFrame, int toFrame, int repetitions);
    // Stops on the frame shown now.
    void Stop();
    // Stops and shows `frame`, clamped to the clip.
    void Seek(int frame);
    // The frame shown, 1..FrameCount(); 0 when there is none.
    int CurrentFrame() const { return FFrame; }

    // One timer expiry: shows the next frame, or ends the play. Does
    // nothing while stopped.
    void Tick();

    QColor Color() const { return FColor; }
    void SetColor(const QColor& color);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int ClampFrame(int frame) const;
    void ShowFrame(int frame);

    std::shared_ptr<const TClip> FClip;
    QTimer* FTimer;
    QColor FColor = Qt::black;
    bool FActive = false;
    int FFrame = 0;
    int FFrom = 0;
    int FTo = 0;
    int FPassesLeft = 0; // 0 while playing without end
    bool FEndless = false;
};
