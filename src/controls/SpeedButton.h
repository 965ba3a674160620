#pragma once

#include "controls/NotifyEvent.h"

#include <QAbstractButton>
#include <QIcon>
#include <QPointer>

// Where the glyph sits relative to the caption.
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A tool-bar button with a glyph and a caption, a flat look and a latched
// ("down") state shared within a group:
// - GroupIndex 0: a plain push button; it never stays down.
// - GroupIndex > 0: a click latches the button and releases the other
//   buttons of the same parent with the same group index; with AllowAllUp a
//   click on a latched button releases it, without it the button stays
//   down (and SetDown(false) is refused).
// OnMouseDown and OnMouseUp are raised for every mouse button; a click
// (left button released over the button) first updates the latched state
// and then raises OnClick with the button as sender. A button disabled or
// hidden while a mouse button is held on it never gets the release, so it
// raises OnMouseUp then (with position -1, -1): whatever a press started,
// such as an auto-repeat, always ends. Exceptions from these
// callbacks go to the application's exception display.
//
// The keyboard reaches it with Tab; a click leaves the focus where it was,
// so that a typed value elsewhere is not cut short. Space and Enter click
// it, and Up and Down click its key arrows (SetKeyArrows), if it has them.
// It shows the focus as FocusFrame.h says. Screen readers see a button
// (Accessibility.h).
class TSpeedButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit TSpeedButton(QWidget* parent = nullptr);
    ~TSpeedButton() override;

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }

    // The glyph and the size at which it is drawn (device-independent
    // pixels). A null icon clears the glyph.
    QIcon Glyph() const { return icon(); }
    void SetGlyph(const QIcon& glyph);
    QSize GlyphSize() const { return iconSize(); }
    void SetGlyphSize(const QSize& size);
    // How many pictures the glyph provides: 1 (normal only; the others are
    // derived), 2 (+ disabled), 3 (+ pressed) or 4 (+ latched).
    // Throws std::out_of_range for any other value.
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int numGlyphs);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout layout);
    // Pixels between glyph and caption.
    int Spacing() const { return FSpacing; }
    void SetSpacing(int spacing);

    bool Flat() const { return FFlat; }
    void SetFlat(bool flat);
    bool Down() const { return FDown; }
    void SetDown(bool down);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int groupIndex);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool allowAllUp);

    TNotifyEvent OnClick() const { return FOnClick; }
    void SetOnClick(TNotifyEvent handler) { FOnClick = std::move(handler); }
    TMouseEvent OnMouseDown() const { return FOnMouseDown; }
    void SetOnMouseDown(TMouseEvent handler) { FOnMouseDown = std::move(handler); }
    TMouseEvent OnMouseUp() const { return FOnMouseUp; }
    void SetOnMouseUp(TMouseEvent handler) { FOnMouseUp = std::move(handler); }

    // Raises OnClick as a click does, without touching the latched state.
    // Exceptions from the handler reach the caller.
    void Click();
    // While OnClick runs: whether the click ends a press of the mouse
    // (false for a key, an accessible press or click()).
    bool ClickedByMouse() const { return FMouseRelease; }

    // What a screen reader reads as the button's value: for a button whose
    // caption shows only a value ("57.2%"), with a name that says what it
    // sets ("Output"); empty for none. A change is announced.
    QString ValueText() const { return FValueText; }
    void SetValueText(const QString& value);

    // The buttons the Up and Down keys click while this one has the focus,
    // as the arrows beside a value button step it; null for none (the keys
    // then move the focus, as Qt's buttons do). Not owned.
    void SetKeyArrows(QAbstractButton* up, QAbstractButton* down);
    QAbstractButton* KeyArrowUp() const { return FKeyArrowUp; }
    QAbstractButton* KeyArrowDown() const { return FKeyArrowDown; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void CancelPress();
    void HandleClicked();
    void AnnouncePressed();
    void UpdateExclusive();

    int FNumGlyphs = 1;
    TButtonLayout FLayout = TButtonLayout::blGlyphLeft;
    int FSpacing = 4;
    bool FFlat = false;
    bool FDown = false;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    TNotifyEvent FOnClick;
    TMouseEvent FOnMouseDown;
    TMouseEvent FOnMouseUp;
    Qt::MouseButton FHeldButton = Qt::NoButton; // pressed and not yet released
    bool FMouseRelease = false;
    QString FValueText;
    QPointer<QAbstractButton> FKeyArrowUp;
    QPointer<QAbstractButton> FKeyArrowDown;
};
