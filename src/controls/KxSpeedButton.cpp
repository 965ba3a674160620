#include "controls/KxSpeedButton.h"

#include "controls/Box.h"

#include <QContextMenuEvent>
#include <QMenu>

TKxSpeedButton::TKxSpeedButton(QWidget* parent) : TSpeedButton(parent) {}

TKxSpeedButton::~TKxSpeedButton() = default;

void TKxSpeedButton::contextMenuEvent(QContextMenuEvent* event) {
    if (FPopupMenu && MenuAutoPopup(FPopupMenu)) {
        FPopupMenu->popup(event->globalPos());
        event->accept();
        return;
    }
    event->ignore();
}
