#pragma once

#include "controls/NotifyEvent.h"

#include <QIcon>
#include <QWidget>

// A two-state switch shown by one of two pictures, with a small printed
// label above the picture (Caption, empty for none). Its state flips as the
// left mouse button goes down (OnChange is raised then), and OnClick
// follows when the button is released over the switch, so a click handler
// already sees the new state. Released elsewhere, the press is cancelled:
// the state flips back (raising OnChange again) and no click follows.
// With the focus, Space and Enter flip the state and click at once, as
// Click() does. SetOn changes the state from the program without raising
// anything. Screen readers see a check box, checked while on
// (Accessibility.h); every change of the state is announced.
class TSwitch : public QWidget {
    Q_OBJECT
public:
    explicit TSwitch(QWidget* parent = nullptr);
    ~TSwitch() override;

    bool On() const { return FOn; }
    void SetOn(bool on);

    // Flips the state and raises OnChange, then OnClick, as a click does;
    // nothing while the switch is disabled.
    void Click();

    // The printed label, in the small font of the labels above values
    // (Glyphs.h) and the palette's text colour.
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& caption);

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

    // The picture, as wide as the caption if that is wider.
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
    QString FCaption;
    QIcon FPictureOn;
    QIcon FPictureOff;
    TNotifyEvent FOnClick;
    TNotifyEvent FOnChange;
};
