#include "app/toolbars/ToolBar.h"

#include "controls/Accessibility.h"

#include <QChildEvent>
#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSizePolicy>

#include <algorithm>
#include <limits>

namespace {

// A width no toolbar reaches, so that nothing wraps by width; small enough
// that adding a control's width to it cannot overflow.
constexpr int kUnlimited = std::numeric_limits<int>::max() / 4;

// `control` itself if the Tab key stops at it, otherwise its parts that
// take the focus, side by side left to right, stacked top to bottom.
void AppendTabStops(QWidget* control, std::vector<QWidget*>& stops) {
    if (control->focusPolicy() & Qt::TabFocus) {
        stops.push_back(control);
        return;
    }
    QList<QWidget*> parts = control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    std::stable_sort(parts.begin(), parts.end(), [](const QWidget* a, const QWidget* b) {
        return a->x() != b->x() ? a->x() < b->x() : a->y() < b->y();
    });
    for (QWidget* part : parts)
        if (!part->isWindow())
            AppendTabStops(part, stops);
}

} // namespace

TToolBar::TToolBar(QWidget* parent) : QWidget(parent) {
    SetAccessibleRole(this, QAccessible::ToolBar);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void TToolBar::SetRowHeight(int pixels) {
    FRowHeight = std::max(0, pixels);
    LayoutRequested();
}

void TToolBar::SetRowBreak(QWidget* control) {
    FRowBreak = control;
    LayoutRequested();
}

void TToolBar::SetOrder(const std::vector<TToolBarItem>& order) {
    FOrder.clear();
    for (const TToolBarItem& item : order) {
        if (item.Control == nullptr || item.Control->parentWidget() != this)
            continue;
        DesignGeometry(item.Control);
        FOrder.push_back({item.Control, item.Gap, item.Row});
    }
    FOrdered = true;
    Relayout();
}

QRect TToolBar::DesignGeometry(QWidget* control) {
    if (!FDesign.contains(control))
        FDesign.insert(control, control->pos());
    return {FDesign.value(control), control->size()};
}

void TToolBar::Relayout() {
    FPending = false;
    // The first layout is the first move; whatever was not yet recorded still
    // stands where the window put it.
    for (QWidget* child : Children())
        DesignGeometry(child);
    const std::vector<TToolBarItem> items = Sequence();
    const TPlan plan = Plan(items, LayoutWidth());
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].Control->pos() != plan.Places[i].topLeft())
            items[i].Control->move(plan.Places[i].topLeft());
    }
    const QSize hint = sizeHint();
    if (hint != FHint) {
        FHint = hint;
        updateGeometry();
    }
}

std::vector<QWidget*> TToolBar::TabStops() const {
    std::vector<QWidget*> controls;
    for (const TOrdered& entry : FOrder)
        if (entry.Control && entry.Control->parentWidget() == this)
            controls.push_back(entry.Control.data());
    std::vector<QWidget*> rest;
    for (QWidget* child : Children())
        if (std::find(controls.begin(), controls.end(), child) == controls.end())
            rest.push_back(child);
    std::stable_sort(rest.begin(), rest.end(), [this](QWidget* a, QWidget* b) {
        const QPoint pa = DesignPos(a);
        const QPoint pb = DesignPos(b);
        return pa.y() != pb.y() ? pa.y() < pb.y() : pa.x() < pb.x();
    });
    controls.insert(controls.end(), rest.begin(), rest.end());

    std::vector<QWidget*> stops;
    for (QWidget* control : controls)
        AppendTabStops(control, stops);
    return stops;
}

QSize TToolBar::sizeHint() const {
    const std::vector<TToolBarItem> items = Sequence();
    return {Plan(items, kUnlimited).Width, Plan(items, LayoutWidth()).Height};
}

QSize TToolBar::minimumSizeHint() const {
    // At width 0 every control starts a row of its own, so the plan's width
    // is that of the widest control.
    const std::vector<TToolBarItem> items = Sequence();
    return {Plan(items, 0).Width, Plan(items, LayoutWidth()).Height};
}

int TToolBar::heightForWidth(int width) const {
    return Plan(Sequence(), width).Height;
}

bool TToolBar::event(QEvent* e) {
    if (e->type() == QEvent::ChildAdded || e->type() == QEvent::ChildRemoved) {
        QObject* child = static_cast<QChildEvent*>(e)->child();
        if (child->isWidgetType()) {
            if (e->type() == QEvent::ChildAdded) {
                child->installEventFilter(this);
            } else {
                child->removeEventFilter(this);
                FDesign.remove(child);
            }
            LayoutRequested();
        }
    }
    return QWidget::event(e);
}

bool TToolBar::eventFilter(QObject* watched, QEvent* e) {
    switch (e->type()) {
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::Resize:
        if (watched->parent() == this)
            LayoutRequested();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, e);
}

void TToolBar::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Relayout();
}

void TToolBar::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (FPending)
        Relayout();
}

std::vector<QWidget*> TToolBar::Children() const {
    std::vector<QWidget*> result;
    for (QObject* child : children()) {
        QWidget* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && !widget->isWindow())
            result.push_back(widget);
    }
    return result;
}

QPoint TToolBar::DesignPos(QWidget* control) const {
    return FDesign.value(control, control->pos());
}

std::vector<TToolBarItem> TToolBar::Sequence() const {
    std::vector<TToolBarItem> items;
    int nextRow = 0;
    if (FOrdered) {
        int breaks = 0; // shown row breaks passed so far
        for (const TOrdered& entry : FOrder) {
            QWidget* control = entry.Control.data();
            if (control == nullptr || control->parentWidget() != this)
                continue;
            const int row = FRowBreak ? breaks : entry.Row;
            nextRow = std::max(nextRow, row + 1);
            if (!control->isHidden()) {
                items.push_back({control, entry.Gap, row});
                if (control == FRowBreak)
                    ++breaks;
            }
        }
    }

    // Whatever the order does not hold follows it in design order, each
    // design top a row of its own.
    std::vector<QWidget*> rest;
    for (QWidget* child : Children()) {
        const bool ordered = std::any_of(FOrder.begin(), FOrder.end(), [child](const TOrdered& o) {
            return o.Control.data() == child;
        });
        if (!child->isHidden() && !ordered)
            rest.push_back(child);
    }
    std::stable_sort(rest.begin(), rest.end(), [this](QWidget* a, QWidget* b) {
        const QPoint pa = DesignPos(a);
        const QPoint pb = DesignPos(b);
        return pa.y() != pb.y() ? pa.y() < pb.y() : pa.x() < pb.x();
    });
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (i > 0 && DesignPos(rest[i]).y() != DesignPos(rest[i - 1]).y())
            ++nextRow;
        items.push_back({rest[i], 0, nextRow});
    }
    return items;
}

TToolBar::TPlan TToolBar::Plan(const std::vector<TToolBarItem>& items, int width) const {
    TPlan plan;
    std::vector<int> lineOf;
    std::vector<int> lineHeights;
    int right = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const QSize size = items[i].Control->size();
        const int gap = items[i].Gap;
        const bool newLine =
            i == 0 || items[i].Row != items[i - 1].Row || right + gap + size.width() > width;
        int left = right + gap;
        if (newLine) {
            lineHeights.push_back(FRowHeight);
            // A negative gap would push the first control past the left edge.
            left = std::max(0, gap);
        }
        lineOf.push_back(static_cast<int>(lineHeights.size()) - 1);
        lineHeights.back() = std::max(lineHeights.back(), size.height());
        plan.Places.emplace_back(QPoint(left, 0), size);
        right = left + size.width();
        plan.Width = std::max(plan.Width, right);
    }

    std::vector<int> lineTops;
    for (const int height : lineHeights) {
        lineTops.push_back(plan.Height);
        plan.Height += height;
    }
    for (std::size_t i = 0; i < plan.Places.size(); ++i) {
        QRect& place = plan.Places[i];
        const int line = lineOf[i];
        place.moveTop(lineTops[line] + (lineHeights[line] - place.height()) / 2);
    }
    return plan;
}

int TToolBar::LayoutWidth() const {
    // A toolbar nobody has sized yet still has Qt's placeholder width; laying
    // out against it would wrap for nothing.
    if (isVisible() || testAttribute(Qt::WA_Resized))
        return width();
    return kUnlimited;
}

void TToolBar::LayoutRequested() {
    // A hidden toolbar waits until it is shown, so that controls the window
    // is still setting up are not moved away from their design positions.
    if (isVisible())
        Relayout();
    else
        FPending = true;
}

void ChainTabOrder(const std::vector<TToolBar*>& toolbars) {
    QWidget* previous = nullptr;
    for (const TToolBar* toolbar : toolbars) {
        for (QWidget* stop : toolbar->TabStops()) {
            if (previous)
                QWidget::setTabOrder(previous, stop);
            previous = stop;
        }
    }
}

TToolSeparator::TToolSeparator(QWidget* parent) : QWidget(parent) {
    SetAccessibleRole(this, QAccessible::Separator);
    resize(sizeHint());
}

QSize TToolSeparator::sizeHint() const {
    return {8, 22};
}

void TToolSeparator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int x = width() / 2 - 1;
    const int top = 2;
    const int bottom = height() - 3;
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(x, top, x, bottom);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(x + 1, top, x + 1, bottom);
}
