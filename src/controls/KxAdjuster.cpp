#include "controls/KxAdjuster.h"

#include "controls/Beep.h"
#include "controls/ExceptionDisplay.h"
#include "controls/FloatFormat.h"
#include "controls/Glyphs.h"
#include "controls/RepeatTimer.h"
#include "controls/SharedRepeat.h"
#include "controls/SpeedButton.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

namespace {

constexpr int RepeatIntervalMs = 300;

// Repeat state shared by every adjuster of the process; the step grows the
// longer an arrow is held.
TSharedRepeat<TKxAdjuster> Repeat(RepeatIntervalMs);
int StepMultiplier = 1;
int TickCounter = 0;
constexpr int LayoutArrowLeft = 88;
constexpr int TicksPerStepGrowth = 6; // the multiplier grows on the tick after this many

TSpeedButton* MakeArrow(QWidget* parent, const char* name, const char* glyph, int left, int top) {
    auto* button = new TSpeedButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(left, top, 16, 16);
    button->SetFlat(true);
    button->SetGlyph(LoadGlyph(QLatin1String(glyph)));
    button->SetGlyphSize(QSize(12, 12));
    button->SetNumGlyphs(4);
    return button;
}

float Step(float value, int multiplier, float increment, bool up) {
    const double step = double(multiplier) * double(increment);
    return SaturateToFloat(double(value) + (up ? step : -step));
}

} // namespace

TKxAdjuster::TKxAdjuster(QWidget* parent) : TBox(parent, TDerivedTag{}) {
    // The layout of the class.
    SetBounds(0, 0, 115, 34);
    SetBevelOuter(TBevelCut::bvNone);
    labelCaption = new QLabel(QStringLiteral("Caption"), this);
    labelCaption->setObjectName(QStringLiteral("labelCaption"));
    labelCaption->setGeometry(0, 0, 36, 13);
    btnDown = MakeArrow(this, "btnDown", "ARROW_DOWN", LayoutArrowLeft, 18);
    btnDown->SetOnMouseDown([this](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, int,
                                   int) { btnDownMouseDown(button); });
    btnDown->SetOnMouseUp(
        [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { btnUpMouseUp(); });
    btnUp = MakeArrow(this, "btnUp", "ARROW_UP", LayoutArrowLeft, 2);
    btnUp->SetOnMouseDown([this](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, int,
                                 int) { btnUpMouseDown(button); });
    btnUp->SetOnMouseUp(
        [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { btnUpMouseUp(); });
    labelUnits = new QLabel(QStringLiteral(" "), this);
    labelUnits->setObjectName(QStringLiteral("labelUnits"));
    labelUnits->setGeometry(70, 16, 3, 13);
    AutoSizeUnits();
    editValue = new QLineEdit(QStringLiteral("0.00"), this);
    editValue->setObjectName(QStringLiteral("editValue"));
    editValue->setGeometry(0, 13, 67, 21);
    editValue->installEventFilter(this);
    connect(editValue, &QLineEdit::textChanged, this, [this] {
        if (!FSettingText)
            RunShowingExceptions([this] { editValueChange(); });
    });
    SetOnEnter([this](QObject*) { BoxEnter(); });
    SetOnResize([this](QObject*) { KxAdjusterResize(); });
    SetOnCreate([this](QObject*) { KxAdjusterCreate(); });
    RaiseCreate();

    // The width the layout gives the arrows' column, one pixel to spare.
    SetWidth(LayoutArrowLeft + btnDown->width() + 1);
    KxAdjusterResize();
    FEnabled = true;
    FFormatString = QStringLiteral("%5.2f");
    FMinimum = 0.0f;
    FMaximum = 100.0f;
    FIncrement = 10.0f;
    FValue = 0.0f;
    Repeat.Join(&TKxAdjuster::RepeatTimerTick);
}

TKxAdjuster::~TKxAdjuster() {
    RaiseDestroy();
    editValue->removeEventFilter(this);
    // The arrows outlive this body; a late release must not call back here.
    btnUp->SetOnMouseUp({});
    btnDown->SetOnMouseUp({});
    Repeat.Leave(this);
}

TRepeatTimer* TKxAdjuster::RepeatTimer() {
    return Repeat.Timer();
}

int TKxAdjuster::InstanceCount() {
    return Repeat.Instances();
}

void TKxAdjuster::SetCaption(const QString& caption) {
    FCaption = caption;
    labelCaption->setText(caption);
}

void TKxAdjuster::SetEnabled(bool enabled) {
    FEnabled = enabled;
    editValue->setEnabled(enabled);
    btnDown->setEnabled(enabled);
    btnUp->setEnabled(enabled);
    labelCaption->setEnabled(enabled);
    labelUnits->setEnabled(enabled);
}

void TKxAdjuster::SetFormatString(const QString& format) {
    FFormatString = format;
    FTyping = false; // a program write, not a keystroke
    SetEditText(FormatFloat(FFormatString, FValue));
}

void TKxAdjuster::SetReadOnly(bool readOnly) {
    FReadOnly = readOnly;
    editValue->setReadOnly(readOnly);
}

QString TKxAdjuster::UnitsString() const {
    return labelUnits->text();
}

void TKxAdjuster::SetUnitsString(const QString& units) {
    labelUnits->setText(units);
    AutoSizeUnits();
    KxAdjusterResize();
}

void TKxAdjuster::AutoSizeUnits() {
    labelUnits->resize(qMax(1, labelUnits->fontMetrics().horizontalAdvance(labelUnits->text())),
                       labelUnits->height());
}

// Sets the edit text from the program. A changed text runs the change
// notification directly, so that a handler's exception reaches the writer
// rather than passing through Qt's signal delivery.
void TKxAdjuster::SetEditText(const QString& text) {
    if (text == editValue->text())
        return;
    FSettingText = true;
    editValue->setText(text);
    FSettingText = false;
    editValueChange();
}

void TKxAdjuster::SetValue(float value) {
    // The typing flag silences the change a keystroke makes. A keystroke that
    // changed nothing (Ctrl+C, Esc, backspace in an empty field) leaves it
    // up; it must not swallow the notification of this write, or the value
    // shown would never reach the handler.
    FTyping = false;
    bool clamped = false;
    if (std::isnan(value) || value < FMinimum) {
        value = FMinimum;
        clamped = true;
    } else if (value > FMaximum) {
        value = FMaximum;
        clamped = true;
    }
    if (!clamped && value == FValue)
        return;
    FValue = value;
    const QString text = FormatFloat(FFormatString, FValue);
    if (text != editValue->text())
        SetEditText(text);
    else
        editValueChange();
}

float TKxAdjuster::Value() {
    if (FormatFloat(FFormatString, FValue) != editValue->text())
        CommitText();
    return FValue;
}

void TKxAdjuster::CommitText() {
    if (const auto number = ParseFloat(editValue->text())) {
        SetValue(SaturateToFloat(*number));
        return;
    }
    // Not a number: write the old value back as a change, which restores the
    // text and notifies. A NaN as the "previous" value differs from every
    // value, also from large ones where v - 1 would round back to v.
    const float old = FValue;
    FValue = std::nanf("");
    SetValue(old);
}

void TKxAdjuster::editValueChange() {
    if (FTyping) {
        FTyping = false;
        return;
    }
    if (!Loading() && FOnValueChange)
        FOnValueChange(this);
}

void TKxAdjuster::editValueExit() {
    FTyping = false;
    CommitText();
}

bool TKxAdjuster::IsKeyAllowed(QChar key) const {
    const ushort c = key.unicode();
    if (c < 32)
        return true;
    if (c == '+' || c == '-' || (c >= '0' && c <= '9'))
        return true;
    const QString text = editValue->text();
    if (c == '.')
        return !text.contains(QLatin1Char('.'));
    if (c == 'E' || c == 'e')
        return !text.toUpper().contains(QLatin1Char('E'));
    return false;
}

bool TKxAdjuster::editValueKeyPress(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        RunShowingExceptions([this] { editValueExit(); });
        return true;
    }
    // Keys that type no character (cursor keys, Delete) are not keystrokes
    // in this sense and pass unfiltered.
    const QString text = event->text();
    if (text.isEmpty() || event->key() == Qt::Key_Delete)
        return false;
    for (QChar c : text) {
        if (!IsKeyAllowed(c)) {
            Beep();
            return true;
        }
    }
    FTyping = true;
    return false;
}

bool TKxAdjuster::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editValue) {
        if (event->type() == QEvent::KeyPress)
            return editValueKeyPress(static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::FocusOut) {
            // A context menu or another window taking the focus does not
            // leave the field.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
                RunShowingExceptions([this] { editValueExit(); });
        }
    }
    return TBox::eventFilter(watched, event);
}

void TKxAdjuster::StartRepeat(bool up) {
    SetValue(Step(FValue, 1, FIncrement, up));
    Repeat.Start(this, up);
}

void TKxAdjuster::btnUpMouseDown(Qt::MouseButton button) {
    if (button == Qt::LeftButton)
        StartRepeat(true);
}

void TKxAdjuster::btnDownMouseDown(Qt::MouseButton button) {
    if (button == Qt::LeftButton)
        StartRepeat(false);
}

void TKxAdjuster::btnUpMouseUp() {
    Repeat.Stop();
    StepMultiplier = 1;
    TickCounter = 0;
}

void TKxAdjuster::RepeatTimerTick() {
    ++TickCounter;
    if (TickCounter > TicksPerStepGrowth) {
        ++StepMultiplier;
        TickCounter = 0;
    }
    if (TKxAdjuster* target = Repeat.Target())
        target->SetValue(Step(target->FValue, StepMultiplier, target->FIncrement, Repeat.Up()));
}

void TKxAdjuster::KxAdjusterResize() {
    const int clientWidth = width();
    labelCaption->resize(clientWidth - btnDown->width() - 1, labelCaption->height());
    editValue->resize(labelCaption->width() - labelUnits->width() - 2, editValue->height());
    labelUnits->move(editValue->x() + editValue->width() + 1, labelUnits->y());
    btnDown->move(clientWidth - btnDown->width(), btnDown->y());
    btnUp->move(btnDown->x(), btnUp->y());
}

void TKxAdjuster::KxAdjusterCreate() {
    KxAdjusterResize();
}

void TKxAdjuster::BoxEnter() {
    if (FEnabled)
        editValue->setFocus(Qt::OtherFocusReason);
}
