#include "controls/KxUpDown.h"

#include "controls/Glyphs.h"
#include "controls/RepeatTimer.h"
#include "controls/SharedRepeat.h"
#include "controls/SpeedButton.h"

namespace {

constexpr int RepeatIntervalMs = 300;

// One 300 ms repeat for every up/down control of the process, without
// acceleration.
TSharedRepeat<TKxUpDown> Repeat(RepeatIntervalMs);

TSpeedButton* MakeArrow(QWidget* parent, const char* name, const char* glyph, int top) {
    auto* button = new TSpeedButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(0, top, 16, 16);
    button->SetFlat(true);
    button->SetGlyph(LoadGlyph(QLatin1String(glyph)));
    button->SetGlyphSize(QSize(12, 12));
    button->SetNumGlyphs(4);
    return button;
}

} // namespace

TKxUpDown::TKxUpDown(QWidget* parent) : TBox(parent, TDerivedTag{}) {
    SetBounds(0, 0, 105, 32);
    SetBevelOuter(TBevelCut::bvNone);
    btnUp = MakeArrow(this, "btnUp", "ARROW_UP", 0);
    btnUp->SetOnClick([this](QObject* sender) { btnUpClick(sender); });
    btnUp->SetOnMouseDown([this](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, int,
                                 int) { btnUpMouseDown(button); });
    btnUp->SetOnMouseUp(
        [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { btnUpMouseUp(); });
    btnDown = MakeArrow(this, "btnDown", "ARROW_DOWN", 16);
    btnDown->SetOnClick([this](QObject* sender) { btnDownClick(sender); });
    btnDown->SetOnMouseDown([this](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, int,
                                   int) { btnDownMouseDown(button); });
    btnDown->SetOnMouseUp(
        [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { btnUpMouseUp(); });
    SetOnResize([this](QObject*) { KxUpDownResize(); });
    SetOnCreate([this](QObject*) { KxUpDownCreate(); });
    RaiseCreate();

    Repeat.Join(&TKxUpDown::RepeatTimerTick);
}

TKxUpDown::~TKxUpDown() {
    RaiseDestroy();
    // The arrows outlive this body; a late release must not call back here.
    btnUp->SetOnMouseUp({});
    btnDown->SetOnMouseUp({});
    Repeat.Leave(this);
}

TRepeatTimer* TKxUpDown::RepeatTimer() {
    return Repeat.Timer();
}

int TKxUpDown::InstanceCount() {
    return Repeat.Instances();
}

void TKxUpDown::SetEnabled(bool enabled) {
    FEnabled = enabled;
    btnDown->setEnabled(enabled);
    btnUp->setEnabled(enabled);
}

void TKxUpDown::btnUpClick(QObject* sender) {
    if (FOnUpClick)
        FOnUpClick(sender);
}

void TKxUpDown::btnDownClick(QObject* sender) {
    if (FOnDownClick)
        FOnDownClick(sender);
}

void TKxUpDown::btnUpMouseDown(Qt::MouseButton button) {
    if (button != Qt::LeftButton)
        return;
    Repeat.Start(this, true);
}

void TKxUpDown::btnDownMouseDown(Qt::MouseButton button) {
    if (button != Qt::LeftButton)
        return;
    Repeat.Start(this, false);
}

void TKxUpDown::btnUpMouseUp() {
    Repeat.Stop();
}

void TKxUpDown::RepeatTimerTick() {
    if (TKxUpDown* target = Repeat.Target())
        (Repeat.Up() ? target->btnUp : target->btnDown)->Click();
}

void TKxUpDown::KxUpDownResize() {
    btnUp->resize(width(), height() / 2);
    btnDown->setGeometry(btnDown->x(), btnUp->height(), btnUp->width(), btnUp->height());
}

void TKxUpDown::KxUpDownCreate() {
    SetClientWidth(btnUp->width());
}
