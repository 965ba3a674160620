#pragma once

#include "controls/Bevel.h"
#include "controls/Color.h"
#include "controls/EnabledControl.h"
#include "controls/NotifyEvent.h"

#include <QWidget>

// A status lamp: a captioned panel whose face shows OnColor while Enabled
// is true and OffColor while it is false. Enabled here means lit; it
// neither greys the lamp nor stops its input. A new indicator is dark
// (grey), even though its on colour is bright green.
//
// Size: never smaller than its caption needs at its font, inside the bevel
// with a small margin. That need is its minimum size, so a smaller resize
// or layout gives the need instead, and a caption or font that needs more
// grows a lamp already placed (right and down from its position).
//
// Screen readers see a read-only check box, checked while lit, whose
// description begins with what the lamp says now (StateText); a change is
// announced (Accessibility.h).
class TKxIndicator : public QWidget, public TEnabledControl {
    Q_OBJECT
public:
    explicit TKxIndicator(QWidget* parent = nullptr);
    ~TKxIndicator() override;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& caption);
    bool Enabled() const override { return FLit; }
    void SetEnabled(bool lit) override;
    TColor OffColor() const { return FOffColor; }
    void SetOffColor(TColor color);
    TColor OnColor() const { return FOnColor; }
    void SetOnColor(TColor color);
    TNotifyEvent OnClick() const { return FOnClick; }
    void SetOnClick(TNotifyEvent handler) { FOnClick = std::move(handler); }
    // Raises OnClick, as a click does; an exception from the handler reaches
    // the caller.
    void Click();

    // What the lamp says lit and dark, in words ("interlock open",
    // "interlock closed"); "on" and "off" unless set.
    void SetStateTexts(const QString& lit, const QString& dark);
    QString StateText() const { return FLit ? FLitText : FDarkText; }
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }

    // The colour the face shows now.
    TColor Color() const { return FColor; }

    // What the caption needs at the lamp's font.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetColor(TColor color);
    void FitToFont();

    bool FLit = false;
    TColor FOffColor = clGray;
    TColor FOnColor = clLime;
    TColor FColor = clGray;
    QString FCaption;
    TPanelFrame FFrame;
    bool FPressed = false;
    QString FLitText = QStringLiteral("on");
    QString FDarkText = QStringLiteral("off");
    TNotifyEvent FOnClick;
};
