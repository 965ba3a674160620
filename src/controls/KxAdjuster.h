#pragma once

#include "controls/Box.h"

class QLabel;
class QLineEdit;
class QKeyEvent;
class TRepeatTimer;
class TSpeedButton;

// A numeric entry control: a caption above a one-line edit field, a units
// label right of the field and two small arrow buttons at the right edge.
// It holds one float value that a write always keeps inside [Min, Max],
// shows it through a printf-style FormatString and reports every effective
// change through OnValueChange, with the adjuster itself as sender.
//
// Notification rules:
// - Writing Value: a write below Min or above Max stores the bound and
//   always notifies, even when value and text stay the same (pressing up at
//   Max notifies every time); an in-range write of the current value does
//   nothing; any other write stores, re-renders the text and notifies.
//   Writing FormatString re-renders the text and notifies if it changed.
// - Every change the user makes to the text (typing, Delete, Backspace,
//   cut, paste, middle-click paste, undo, dropping text) is typing: it does
//   not notify. Typed text is taken over on Enter, on leaving the field and
//   on reading Value; a changed value then notifies once, and text that is
//   not a number restores the old text and notifies with the unchanged
//   value. A change made to the edit field by other code (EditValue()->
//   clear()) notifies at once.
// - Refused keystrokes (anything but + - 0-9, one ".", one "E"/"e" and
//   control characters) are discarded with a beep (Beep.h). Shortcuts with
//   Ctrl pass; pasted text is not filtered, only checked when committed.
// After a write by the program the field shows the start of its text.
//
// A press of an arrow steps once at once. A click that is no mouse press
// (Space or Enter on an arrow with the focus, an accessible press) steps
// once too, and so do Up and Down in the edit field, as the arrows do:
// from the value last taken, leaving typed text aside.
//
// Holding an arrow repeats every 300 ms through a timer shared by all
// adjusters, one increment per tick for the first six ticks, then one more
// increment per tick after every further seven ticks. Every hold starts at
// one increment per tick, however the previous one ended.
//
// Min and Max writes do not re-clamp the current value; the next write does.
//
// Size: the size given through SetBounds, SetWidth or SetHeight (115 x 34,
// then 105 wide, by default) is the design size, and the control is never
// smaller than what its fonts need: the caption, the widest text of
// FormatString at Min and at Max shown in full in the edit field, the units
// label right of it and the arrow column. Whenever the design size or that
// need changes (Caption, UnitsString, FormatString, Min, Max, font, style),
// the control takes the larger of the two in each direction, growing right
// and down from its position; the need is also its minimum size, so no
// resize or layout makes it smaller. A caller placing controls side by side
// should place by the resulting geometry, not by the design size.
//
// Screen readers see a spin box named after what it sets, with its value
// and units as value text; a value written is announced (Accessibility.h).
class TKxAdjuster : public TBox {
    Q_OBJECT
public:
    explicit TKxAdjuster(QWidget* parent = nullptr);
    ~TKxAdjuster() override;

    // The stored caption; empty until written (the label shows "Caption").
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& caption);
    // Enabled passes to the inner controls; the panel itself stays enabled.
    bool Enabled() const override { return FEnabled; }
    void SetEnabled(bool enabled) override;
    QString FormatString() const { return FFormatString; }
    void SetFormatString(const QString& format);
    float Increment() const { return FIncrement; }
    void SetIncrement(float increment) { FIncrement = increment; }
    float Max() const { return FMaximum; }
    void SetMax(float maximum);
    float Min() const { return FMinimum; }
    void SetMin(float minimum);
    TNotifyEvent OnValueChange() const { return FOnValueChange; }
    void SetOnValueChange(TNotifyEvent handler) { FOnValueChange = std::move(handler); }
    // Read-only stops typing only; the arrows keep working.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool readOnly);
    QString UnitsString() const;
    void SetUnitsString(const QString& units);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }

    // Reading takes over text that was typed but not yet committed.
    float Value();
    // A NaN counts as below Min.
    void SetValue(float value);

    QLabel* LabelCaption() const { return labelCaption; }
    QLineEdit* EditValue() const { return editValue; }
    TSpeedButton* BtnDown() const { return btnDown; }
    TSpeedButton* BtnUp() const { return btnUp; }
    QLabel* LabelUnits() const { return labelUnits; }

    // The repeat timer shared by all adjusters (nullptr while none exists),
    // and how many adjusters are alive.
    static TRepeatTimer* RepeatTimer();
    static int InstanceCount();

    // The larger of the design size and what the fonts need; the latter
    // alone is the minimum.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return FFontSize; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void editValueChange();
    void editValueExit();
    bool editValueKeyPress(QKeyEvent* event); // true: keystroke discarded
    void btnUpMouseDown(Qt::MouseButton button);
    void btnDownMouseDown(Qt::MouseButton button);
    void btnUpMouseUp();
    void ArrowClick(const TSpeedButton* arrow, bool up);
    void KxAdjusterResize();
    void KxAdjusterCreate();
    void BoxEnter();
    bool IsKeyAllowed(QChar key) const;
    void CommitText();
    static void RepeatTimerTick();
    void StartRepeat(bool up);
    void SetEditText(const QString& text);
    void FitToFont();

    QLabel* labelCaption = nullptr;
    QLineEdit* editValue = nullptr;
    TSpeedButton* btnDown = nullptr;
    TSpeedButton* btnUp = nullptr;
    QLabel* labelUnits = nullptr;
    QString FCaption;
    QString FFormatString;
    bool FTyping = false; // the text change under way is the user's: it does not notify
    float FIncrement = 10.0f;
    float FMinimum = 0.0f;
    float FMaximum = 100.0f;
    TNotifyEvent FOnValueChange;
    bool FReadOnly = false;
    float FValue = 0.0f;
    bool FEnabled = true;
    bool FSettingText = false;
    // Heights of the caption row and the edit field, from the layout or,
    // when larger, from the fonts; and the size the fonts need.
    int FCaptionHeight = 0;
    int FEditHeight = 0;
    QSize FFontSize;
};
