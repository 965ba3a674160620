#pragma once

#include "controls/Bevel.h"
#include "controls/EnabledControl.h"
#include "controls/NotifyEvent.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

#include <QMenu>

// The composite panel from which the adjuster, the up/down control and the
// drop button derive. It paints its bevels, a border in its colour and its
// background, never a caption. A derived class builds its children in its
// constructor and then raises OnCreate; OnDestroy is raised before the
// panel is torn down. An exception inside either goes to the application's
// exception display (ExceptionDisplay.h) and does not stop construction or
// destruction.
//
// Qt delivers resize events of a hidden widget only when it is shown; the
// geometry setters here (SetBounds, SetWidth, ...) run the resize handler at
// once, so children are laid out even before the panel is first shown.
class TBox : public QWidget, public TEnabledControl {
    Q_OBJECT
public:
    // A box of the base class itself: no children, 320 x 240. `onCreate`
    // runs once construction is complete.
    explicit TBox(QWidget* parent = nullptr, TNotifyEvent onCreate = {});
    ~TBox() override;

    bool Locked() const { return FLocked; }
    void SetLocked(bool locked) { FLocked = locked; }
    // Whether a resize repaints the whole face (true) or only the uncovered
    // part.
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool fullRepaint);

    TBevelCut BevelInner() const { return FFrame.Inner; }
    void SetBevelInner(TBevelCut cut);
    TBevelCut BevelOuter() const { return FFrame.Outer; }
    void SetBevelOuter(TBevelCut cut);
    int BevelWidth() const { return FFrame.BevelWidth; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return FFrame.BorderWidth; }
    void SetBorderWidth(int width);
    // The face and border colour; invalid means the palette's button colour.
    QColor Color() const { return FColor; }
    void SetColor(const QColor& color);

    // The context menu shown on a right click inside the panel (also on its
    // children that have none of their own), while the menu's automatic
    // pop-up is on (see SetMenuAutoPopup).
    QMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu* menu) { FPopupMenu = menu; }

    TNotifyEvent OnCreate() const { return FOnCreate; }
    void SetOnCreate(TNotifyEvent handler) { FOnCreate = std::move(handler); }
    TNotifyEvent OnDestroy() const { return FOnDestroy; }
    void SetOnDestroy(TNotifyEvent handler) { FOnDestroy = std::move(handler); }
    TNotifyEvent OnResize() const { return FOnResize; }
    void SetOnResize(TNotifyEvent handler) { FOnResize = std::move(handler); }
    TNotifyEvent OnEnter() const { return FOnEnter; }
    void SetOnEnter(TNotifyEvent handler) { FOnEnter = std::move(handler); }

    // While loading, a window applies stored settings one by one and the
    // controls raise no change notifications.
    bool Loading() const { return FLoading; }
    void SetLoading(bool loading) { FLoading = loading; }

    bool Enabled() const override { return isEnabled(); }
    void SetEnabled(bool enabled) override { setEnabled(enabled); }

    void SetBounds(int left, int top, int width, int height);
    void SetWidth(int width);
    void SetHeight(int height);
    // The box has no frame outside its client area: client size is size.
    void SetClientWidth(int width) { SetWidth(width); }
    void SetClientHeight(int height) { SetHeight(height); }

    // The size last given through SetBounds, SetWidth or SetHeight (or the
    // class's own size): layouts such as a tool bar keep the control at it.
    QSize sizeHint() const override { return FDesignSize; }

protected:
    struct TDerivedTag {};
    // For derived classes: builds the panel only; the derived constructor
    // builds the children and then calls RaiseCreate().
    TBox(QWidget* parent, TDerivedTag);

    void RaiseCreate();
    // Raises OnDestroy once; derived destructors call it first so that the
    // handler still sees the whole control.
    void RaiseDestroy();
    // Runs the resize handler, as a resize does.
    void DoResize();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void InitPanel();

    bool FLocked = false;
    bool FFullRepaint = true;
    bool FLoading = false;
    bool FDestroyRaised = false;
    TPanelFrame FFrame;
    QColor FColor;
    QSize FDesignSize;
    QPointer<QMenu> FPopupMenu;
    TNotifyEvent FOnCreate;
    TNotifyEvent FOnDestroy;
    TNotifyEvent FOnResize;
    TNotifyEvent FOnEnter;
};

// The automatic pop-up switch of a context menu: a menu whose automatic
// pop-up is off is not shown on a right click. It belongs to the menu, so
// it holds for every control that uses the menu. Default on.
bool MenuAutoPopup(const QMenu* menu);
void SetMenuAutoPopup(QMenu* menu, bool autoPopup);
