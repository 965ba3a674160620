#pragma once

#include "controls/SpeedButton.h"

#include <QPointer>

#include <QMenu>

// A speed button with a context menu of its own, shown on a right click
// while the menu's automatic pop-up is on (Box.h). Without one the right
// click goes on to the parent.
class TKxSpeedButton : public TSpeedButton {
    Q_OBJECT
public:
    explicit TKxSpeedButton(QWidget* parent = nullptr);
    ~TKxSpeedButton() override;

    QMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu* menu) { FPopupMenu = menu; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QPointer<QMenu> FPopupMenu;
};
