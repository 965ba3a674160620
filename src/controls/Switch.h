#pragma once

#include "controls/NotifyEvent.h"

#include <QIcon>
#include <QWidget>

// A two-state switch shown by one of two pictures. Its state flips as the
// left mouse button goes down (OnChange is raised then), and OnClick
// follows when the button is released over the switch, so a click handler
// already sees the new state. Released elsewhere, the press is cancelled:
// the state flips back (raising OnChange again) and no click follows.
// With the focus, the space bar flips the state and clicks at once.
// SetOn changes the state from the program without raising anything.
class TSwitch : public QWidget {
    Q_OBJECT
public:
    explicit TSwitch(QWidget* parent = nullptr);
    ~TSwitch() override;

    bool On() const { return FOn; }
    void SetOn(bool on);

    // The pictures; by default "SWITCH_ON" and "SWITCH_OFF" (Glyphs.h).
    QIcon PictureOn() const { return FPictureOn; }
    void SetPictureOn(const QIcon& picture);
    QIcon PictureOff() const { return FPictureOff; }
    void SetPictureOff(const QIcon& picture);

    TNotifyEvent OnClick() const { return FOnClick; }
    void SetOnClick(TNotifyEvent handler) { FOnClick = std::move(handler); }
    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent handler) { FOnChange = std::move(handler); }
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Toggle();
    void Raise(const TNotifyEvent& handler);

    bool FOn = false;
    bool FPressed = false;
    QIcon FPictureOn;
    QIcon FPictureOff;
    TNotifyEvent FOnClick;
    TNotifyEvent FOnChange;
};
