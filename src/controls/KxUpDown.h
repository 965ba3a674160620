#pragma once

#include "controls/Box.h"

class TRepeatTimer;
class TSpeedButton;

// A narrow column of two flat arrow buttons, up over down. A click raises
// OnUpClick or OnDownClick once; while the left button is held on an arrow
// a timer shared by all up/down controls raises the event again every
// 300 ms, at a constant rate, and the click on release raises it once more.
// The sender of both events is the arrow button (BtnUp() or BtnDown()), not
// the up/down control.
class TKxUpDown : public TBox {
    Q_OBJECT
public:
    explicit TKxUpDown(QWidget* parent = nullptr);
    ~TKxUpDown() override;

    bool Enabled() const override { return FEnabled; }
    void SetEnabled(bool enabled) override;
    TNotifyEvent OnDownClick() const { return FOnDownClick; }
    void SetOnDownClick(TNotifyEvent handler) { FOnDownClick = std::move(handler); }
    TNotifyEvent OnUpClick() const { return FOnUpClick; }
    void SetOnUpClick(TNotifyEvent handler) { FOnUpClick = std::move(handler); }
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }

    TSpeedButton* BtnUp() const { return btnUp; }
    TSpeedButton* BtnDown() const { return btnDown; }

    // The repeat timer shared by all up/down controls (nullptr while none
    // exists), and how many are alive.
    static TRepeatTimer* RepeatTimer();
    static int InstanceCount();

private:
    void btnUpClick(QObject* sender);
    void btnDownClick(QObject* sender);
    void btnUpMouseDown(Qt::MouseButton button);
    void btnDownMouseDown(Qt::MouseButton button);
    void btnUpMouseUp();
    void KxUpDownResize();
    void KxUpDownCreate();
    static void RepeatTimerTick();

    TSpeedButton* btnUp;
    TSpeedButton* btnDown;
    bool FEnabled = true;
    TNotifyEvent FOnDownClick;
    TNotifyEvent FOnUpClick;
};
