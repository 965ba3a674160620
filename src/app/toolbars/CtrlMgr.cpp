#include "app/toolbars/CtrlMgr.h"

#include "app/toolbars/ToolBar.h"

#include <QRect>
#include <QWidget>

#include <algorithm>

TCtrlMgr::TCtrlMgr(QWidget* toolbar) : FToolbar(toolbar) {
    auto* bar = qobject_cast<TToolBar*>(toolbar);
    std::vector<std::pair<QWidget*, QRect>> controls;
    for (QObject* child : toolbar->children()) {
        auto* control = qobject_cast<QWidget*>(child);
        if (control == nullptr || control->isWindow())
            continue;
        // A toolbar that has laid out already knows where its controls were
        // designed to stand.
        controls.emplace_back(control,
                              bar != nullptr ? bar->DesignGeometry(control) : control->geometry());
    }
    std::stable_sort(controls.begin(), controls.end(), [](const auto& a, const auto& b) {
        return a.second.top() != b.second.top() ? a.second.top() < b.second.top()
                                                : a.second.left() < b.second.left();
    });

    int prevTop = 0;
    int prevRight = 0;
    int row = 0;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const QRect& place = controls[i].second;
        const bool sameRow = place.top() == prevTop;
        if (i > 0 && !sameRow)
            ++row;
        FRecords.push_back(
            {controls[i].first, sameRow ? place.left() - prevRight : place.left(), row});
        prevTop = place.top();
        prevRight = place.left() + place.width();
    }
}

void TCtrlMgr::Arrange() {
    int x = 0;
    for (const TCtrlRecord& record : FRecords) {
        // isVisible() is false for every control of a window not shown yet.
        if (record.Control->isHidden())
            continue;
        const int left = x + record.Gap;
        record.Control->move(left, record.Control->y());
        x = left + record.Control->width();
    }

    auto* bar = qobject_cast<TToolBar*>(FToolbar);
    if (bar == nullptr)
        return;
    // Hidden controls go along too: the toolbar skips them, and gives them
    // their place should they be shown before the next Arrange.
    std::vector<TToolBarItem> order;
    order.reserve(FRecords.size());
    for (const TCtrlRecord& record : FRecords)
        order.push_back({record.Control, record.Gap, record.Row});
    bar->SetOrder(order);
}
