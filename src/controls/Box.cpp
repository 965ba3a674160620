#include "controls/Box.h"

#include "controls/Accessibility.h"
#include "controls/ExceptionDisplay.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

namespace {
constexpr const char* AutoPopupProperty = "trevalonAutoPopup";
}

TBox::TBox(QWidget* parent, TNotifyEvent onCreate) : QWidget(parent) {
    InitPanel();
    SetBounds(0, 0, 320, 240);
    FOnCreate = std::move(onCreate);
    RaiseCreate();
}

TBox::TBox(QWidget* parent, TDerivedTag) : QWidget(parent) {
    InitPanel();
}

TBox::~TBox() {
    RaiseDestroy();
}

void TBox::InitPanel() {
    InstallControlAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void TBox::RaiseCreate() {
    if (FOnCreate)
        RunShowingExceptions([this] { FOnCreate(this); });
}

void TBox::RaiseDestroy() {
    if (FDestroyRaised)
        return;
    FDestroyRaised = true;
    if (FOnDestroy)
        RunShowingExceptions([this] { FOnDestroy(this); });
}

void TBox::DoResize() {
    if (FOnResize)
        RunShowingExceptions([this] { FOnResize(this); });
}

void TBox::SetFullRepaint(bool fullRepaint) {
    FFullRepaint = fullRepaint;
    setAttribute(Qt::WA_StaticContents, !fullRepaint);
}

void TBox::SetBevelInner(TBevelCut cut) {
    FFrame.Inner = cut;
    update();
}

void TBox::SetBevelOuter(TBevelCut cut) {
    FFrame.Outer = cut;
    update();
}

void TBox::SetBevelWidth(int width) {
    FFrame.BevelWidth = qMax(1, width);
    update();
}

void TBox::SetBorderWidth(int width) {
    FFrame.BorderWidth = qMax(0, width);
    update();
}

void TBox::SetColor(const QColor& color) {
    FColor = color;
    update();
}

void TBox::SetBounds(int left, int top, int width, int height) {
    const bool resized = width != this->width() || height != this->height();
    FDesignSize = QSize(width, height);
    updateGeometry();
    setGeometry(left, top, width, height);
    if (resized && !isVisible())
        DoResize();
}

void TBox::SetWidth(int width) {
    SetBounds(x(), y(), width, height());
}

void TBox::SetHeight(int height) {
    SetBounds(x(), y(), width(), height);
}

void TBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor face = FColor.isValid() ? FColor : palette().color(QPalette::Button);
    PaintPanel(painter, rect(), FFrame, face, palette());
}

void TBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    DoResize();
}

void TBox::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (FOnEnter)
        RunShowingExceptions([this] { FOnEnter(this); });
}

void TBox::contextMenuEvent(QContextMenuEvent* event) {
    if (FPopupMenu && MenuAutoPopup(FPopupMenu)) {
        FPopupMenu->popup(event->globalPos());
        event->accept();
        return;
    }
    event->ignore();
}

bool MenuAutoPopup(const QMenu* menu) {
    if (!menu)
        return false;
    const QVariant value = menu->property(AutoPopupProperty);
    return !value.isValid() || value.toBool();
}

void SetMenuAutoPopup(QMenu* menu, bool autoPopup) {
    if (menu)
        menu->setProperty(AutoPopupProperty, autoPopup);
}
