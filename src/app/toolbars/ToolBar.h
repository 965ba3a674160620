#pragma once

#include <QHash>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <vector>

// One control of a toolbar's running order.
struct TToolBarItem {
    // A child of the toolbar; not owned.
    QWidget* Control = nullptr;
    // Pixels from the previous control's right edge, or from the toolbar's
    // left edge for the first control of a row.
    int Gap = 0;
    // Design row; where it changes from one control to the next, a new row
    // begins.
    int Row = 0;
};

// A toolbar that places its child controls in rows of RowHeight() pixels.
//
// The controls are children created at their design geometry. Once handed a
// running order (SetOrder, done by TCtrlMgr after it closes the gaps), the
// toolbar shows the visible controls of that order one after another: each
// row begins at the left edge plus the first control's gap, each further
// control sits its gap to the right of its neighbour. A row ends where the
// design row changes, and also where the next control would pass the right
// edge; the first control of a row is always placed, however narrow the
// toolbar. Controls shorter than the row are centred vertically.
//
// Until an order is handed over, the visible children are laid out in design
// order (top, then left) with no gaps, one row per design top. Children added
// after the order was handed over follow the ordered ones in the same way.
//
// Hidden controls are neither moved nor given room. The toolbar lays out
// again when it is resized and when a child is shown, hidden or resized; the
// size hints report the height the rows need at the current width.
//
// The order it places controls in is the reading order, and so the order
// the Tab key takes (TabStops, ChainTabOrder). Screen readers see a tool
// bar.
class TToolBar : public QWidget {
    Q_OBJECT
public:
    explicit TToolBar(QWidget* parent = nullptr);

    // Least height of a row in pixels; a row is as high as its tallest
    // control if that is more. 0 (the default) fits every row to its
    // controls.
    int RowHeight() const { return FRowHeight; }
    void SetRowHeight(int pixels);

    // Rows of the running order end after `control` while it is shown,
    // instead of where the design row changes; with it hidden the rows run
    // on, wrapping only at the right edge. Null (the default) goes back to
    // the design rows.
    void SetRowBreak(QWidget* control);

    // Replaces the running order and lays out at once. Items whose control
    // is not a child of this toolbar are ignored; hidden ones are skipped at
    // each layout but keep their place for when they are shown again.
    void SetOrder(const std::vector<TToolBarItem>& order);

    // The control's position before this toolbar first moved it (taken at
    // the first call or the first layout, whichever comes first), with its
    // current size.
    QRect DesignGeometry(QWidget* control);

    // Places the visible controls for the current width now.
    void Relayout();

    // The widgets the Tab key stops at, in the order the toolbar places its
    // controls (the running order, or the design order before there is
    // one), hidden ones included at their place: a control that takes the
    // focus, or the parts of a composite one that do, left to right and
    // top to bottom.
    std::vector<QWidget*> TabStops() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    struct TOrdered {
        QPointer<QWidget> Control;
        int Gap;
        int Row;
    };
    struct TPlan {
        std::vector<QRect> Places; // one per item planned, same order
        int Width = 0;             // right edge of the rightmost control
        int Height = 0;            // sum of the row heights
    };

    std::vector<QWidget*> Children() const;
    QPoint DesignPos(QWidget* control) const;
    std::vector<TToolBarItem> Sequence() const;
    TPlan Plan(const std::vector<TToolBarItem>& items, int width) const;
    int LayoutWidth() const;
    void LayoutRequested();

    int FRowHeight = 0;
    QPointer<QWidget> FRowBreak;
    std::vector<TOrdered> FOrder;
    bool FOrdered = false;
    bool FPending = false;                 // a layout was asked for while the toolbar was hidden
    QHash<const QObject*, QPoint> FDesign; // design positions by control
    QSize FHint;                           // the hint last reported to the parent's layout
};

// Makes the Tab key go through the toolbars' tab stops in reading order:
// each toolbar's in turn, the first toolbar's first. Qt skips what is
// hidden or disabled as it goes.
void ChainTabOrder(const std::vector<TToolBar*>& toolbars);

// A group separator between toolbar controls: a vertical etched line in the
// middle of an 8-pixel-wide widget.
class TToolSeparator : public QWidget {
    Q_OBJECT
public:
    explicit TToolSeparator(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
};
