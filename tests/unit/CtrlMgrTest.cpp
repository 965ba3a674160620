#include "app/toolbars/CtrlMgr.h"
#include "app/toolbars/ToolBar.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace {

// A two-row toolbar, its controls created out of design order:
//   row at top 0:  a (4, 40 wide), b (50, 20 wide), sep (70, 8 wide)
//   row at top 50: c (10, 30 wide, 30 high), d (45, 20 wide)
// so the gaps are a 4, b 6, sep 0, c 10, d 5.
class CtrlMgrTest : public ::testing::Test {
protected:
    explicit CtrlMgrTest(QWidget* bar = new QWidget) : Bar(bar) {
        c = Control(10, 50, 30, 30);
        sep = Control(70, 0, 8, 50);
        a = Control(4, 0, 40, 50);
        d = Control(45, 50, 20, 50);
        b = Control(50, 0, 20, 50);
    }
    ~CtrlMgrTest() override { delete Bar; }

    QWidget* Control(int left, int top, int width, int height) {
        auto* control = new QWidget(Bar);
        control->setGeometry(left, top, width, height);
        return control;
    }

    QWidget* Bar;
    QWidget *a, *b, *sep, *c, *d;
};

TEST_F(CtrlMgrTest, RecordsFollowDesignTopThenLeftWithGapsFromTheNeighbourOrTheEdge) {
    b->hide(); // hidden at creation: recorded all the same
    const TCtrlMgr mgr(Bar);
    const std::vector<QWidget*> controls = {a, b, sep, c, d};
    const std::vector<int> gaps = {4, 6, 0, 10, 5};
    const std::vector<int> rows = {0, 0, 0, 1, 1};
    ASSERT_EQ(mgr.Records().size(), controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        EXPECT_EQ(mgr.Records()[i].Control, controls[i]) << i;
        EXPECT_EQ(mgr.Records()[i].Gap, gaps[i]) << i;
        EXPECT_EQ(mgr.Records()[i].Row, rows[i]) << i;
    }
}

TEST_F(CtrlMgrTest, ArrangeWithAllShownKeepsTheFirstRowAndRunsTheSecondOnFromIt) {
    TCtrlMgr mgr(Bar);
    mgr.Arrange();
    EXPECT_EQ(a->pos(), QPoint(4, 0));
    EXPECT_EQ(b->pos(), QPoint(50, 0));
    EXPECT_EQ(sep->pos(), QPoint(70, 0));
    EXPECT_EQ(c->pos(), QPoint(78 + 10, 50));
    EXPECT_EQ(d->pos(), QPoint(118 + 5, 50));
}

TEST_F(CtrlMgrTest, ArrangeClosesTheGapOfAHiddenControlWhichStaysPut) {
    TCtrlMgr mgr(Bar);
    b->hide();
    mgr.Arrange();
    EXPECT_EQ(a->pos(), QPoint(4, 0));
    EXPECT_EQ(b->pos(), QPoint(50, 0));
    EXPECT_EQ(sep->pos(), QPoint(44, 0));
    EXPECT_EQ(c->pos(), QPoint(52 + 10, 50));
    EXPECT_EQ(d->pos(), QPoint(92 + 5, 50));

    b->show(); // shown again: back in its place at the next Arrange
    mgr.Arrange();
    EXPECT_EQ(sep->pos(), QPoint(70, 0));
}

class ToolBarTest : public CtrlMgrTest {
protected:
    ToolBarTest() : CtrlMgrTest(new TToolBar), Tool(static_cast<TToolBar*>(Bar)) {
        Tool->SetRowHeight(50);
        Tool->resize(400, 100);
    }
    TToolBar* Tool;
};

TEST_F(ToolBarTest, RowsCloseHiddenGapsBreakAtTheDesignRowAndWrapByWidth) {
    TCtrlMgr mgr(Tool);
    b->hide();
    mgr.Arrange();
    EXPECT_EQ(a->pos(), QPoint(4, 0));
    EXPECT_EQ(sep->pos(), QPoint(44, 0));
    EXPECT_EQ(c->pos(), QPoint(10, 60)); // 30 high in a 50-pixel row
    EXPECT_EQ(d->pos(), QPoint(45, 50));
    EXPECT_EQ(b->pos(), QPoint(50, 0));
    EXPECT_EQ(Tool->heightForWidth(400), 100);

    sep->hide(); // the second row still begins after the first
    mgr.Arrange();
    EXPECT_EQ(c->pos(), QPoint(10, 60));

    // sep would end at 52, d at 65: each starts a row of its own.
    sep->show();
    Tool->resize(50, 100);
    Tool->Relayout();
    EXPECT_EQ(a->pos(), QPoint(4, 0));
    EXPECT_EQ(sep->pos(), QPoint(0, 50));
    EXPECT_EQ(c->pos(), QPoint(10, 110));
    EXPECT_EQ(d->pos(), QPoint(5, 150));
    EXPECT_EQ(Tool->heightForWidth(50), 200);
    EXPECT_EQ(Tool->sizeHint().height(), 200);
}

TEST_F(ToolBarTest, AShownToolbarFollowsItsControlsBeingShownAndHidden) {
    TCtrlMgr mgr(Tool);
    mgr.Arrange();
    Tool->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Tool));
    a->hide();
    EXPECT_EQ(b->pos(), QPoint(6, 0));
    a->show();
    EXPECT_EQ(b->pos(), QPoint(50, 0));
}

} // namespace
