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
// - Every accepted keystroke except Enter raises the typing flag, which
//   silences the change notification that keystroke causes. Writes of
//   Value and FormatString lower it first, so a keystroke that changed
//   nothing (Ctrl+C, Esc) never silences a later write. Typed text is taken over on Enter, on
//   leaving the field and on reading Value; text that is not a number restores the old text and
//   notifies with the unchanged value.
// - Refused keystrokes (anything but + - 0-9, one ".", one "E"/"e" and
//   control characters) are discarded with a beep (Beep.h).
// Holding an arrow repeats every 300 ms through a timer shared by all
// adjusters, one increment per tick for the first six ticks, then one more
// increment per tick after every further seven ticks.
//
// Min and Max writes do not re-clamp the current value; the next write does.
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
    void SetMax(float maximum) { FMaximum = maximum; }
    float Min() const { return FMinimum; }
    void SetMin(float minimum) { FMinimum = minimum; }
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void editValueChange();
    void editValueExit();
    bool editValueKeyPress(QKeyEvent* event); // true: keystroke discarded
    void btnUpMouseDown(Qt::MouseButton button);
    void btnDownMouseDown(Qt::MouseButton button);
    void btnUpMouseUp();
    void KxAdjusterResize();
    void KxAdjusterCreate();
    void BoxEnter();
    bool IsKeyAllowed(QChar key) const;
    void CommitText();
    static void RepeatTimerTick();
    void StartRepeat(bool up);
    void SetEditText(const QString& text);
    void AutoSizeUnits();

    QLabel* labelCaption;
    QLineEdit* editValue;
    TSpeedButton* btnDown;
    TSpeedButton* btnUp;
    QLabel* labelUnits;
    QString FCaption;
    QString FFormatString;
    bool FTyping = false;
    float FIncrement = 10.0f;
    float FMinimum = 0.0f;
    float FMaximum = 100.0f;
    TNotifyEvent FOnValueChange;
    bool FReadOnly = false;
    float FValue = 0.0f;
    bool FEnabled = true;
    bool FSettingText = false;
};
