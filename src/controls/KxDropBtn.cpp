#include "controls/KxDropBtn.h"

#include "controls/Glyphs.h"

#include <QMenu>

namespace {
// The arrow's group is its own, so that latching it never releases the
// main button.
constexpr int ArrowGroupIndex = 1961;
} // namespace

TKxDropBtn::TKxDropBtn(QWidget* parent) : TBox(parent, TDerivedTag{}) {
    SetBounds(0, 0, 105, 32);
    SetBevelOuter(TBevelCut::bvNone);
    btnMain = new TSpeedButton(this);
    btnMain->setObjectName(QStringLiteral("btnMain"));
    btnMain->setGeometry(0, 0, 30, 32);
    btnMain->SetFlat(true);
    btnMain->SetAllowAllUp(true);
    btnMain->SetGroupIndex(1);
    btnMain->SetLayout(TButtonLayout::blGlyphTop);
    btnMain->SetNumGlyphs(2);
    btnMain->SetSpacing(0);
    btnMain->SetOnClick([this](QObject* sender) { btnMainClick(sender); });
    btnMain->SetOnMouseDown([this](QObject* sender, Qt::MouseButton button,
                                   Qt::KeyboardModifiers shift, int x,
                                   int y) { btnMainMouseDown(sender, button, shift, x, y); });
    btnDown = new TSpeedButton(this);
    btnDown->setObjectName(QStringLiteral("btnDown"));
    btnDown->setGeometry(30, 0, 12, 32);
    btnDown->SetFlat(true);
    btnDown->SetAllowAllUp(true);
    btnDown->SetGroupIndex(ArrowGroupIndex);
    btnDown->SetGlyph(LoadGlyph(QStringLiteral("DROP_ARROW")));
    btnDown->SetGlyphSize(QSize(8, 8));
    btnDown->SetOnClick([this](QObject*) { btnDownClick(); });
    SetOnResize([this](QObject*) { KxDropBtnResize(); });
    RaiseCreate();

    FEnabled = true;
    KxDropBtnResize();
}

TKxDropBtn::~TKxDropBtn() {
    RaiseDestroy();
}

void TKxDropBtn::SetEnabled(bool enabled) {
    FEnabled = enabled;
    if (PopupMenu())
        SetMenuAutoPopup(PopupMenu(), enabled);
    btnMain->setEnabled(enabled);
    btnDown->setEnabled(enabled);
}

void TKxDropBtn::SetFlat(bool flat) {
    btnMain->SetFlat(flat);
    btnDown->SetFlat(flat);
}

void TKxDropBtn::SetGlyphFromImages(const QList<QIcon>& images, int index, const QSize& imageSize) {
    btnMain->SetGlyph(QIcon());
    btnMain->SetGlyphSize(imageSize);
    if (index >= 0 && index < images.size())
        btnMain->SetGlyph(images.at(index));
}

void TKxDropBtn::btnMainClick(QObject* sender) {
    if (FOnClick)
        FOnClick(sender);
}

void TKxDropBtn::btnMainMouseDown(QObject* sender, Qt::MouseButton button,
                                  Qt::KeyboardModifiers shift, int x, int y) {
    if (FOnMouseDown)
        FOnMouseDown(sender, button, shift, x, y);
}

void TKxDropBtn::btnDownClick() {
    QPointer<TKxDropBtn> self(this);
    if (FDropDownMenu) {
        const QPoint at = mapToGlobal(QPoint(btnDown->x(), height()));
        btnDown->SetDown(true);
        FDropDownMenu->exec(at); // returns when the menu closes
    }
    // The arrow shows pressed only while its menu is open; a click
    // without a menu must not leave it latched either.
    if (self)
        btnDown->SetDown(false);
}

void TKxDropBtn::KxDropBtnResize() {
    btnMain->resize(btnMain->width(), height());
    btnDown->resize(btnDown->width(), height());
    btnDown->move(width() - btnDown->width(), btnDown->y());
    btnMain->resize(width() - btnDown->width(), btnMain->height());
}
