#include "controls/KxAdjuster.h"

#include "controls/Accessibility.h"
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
#include <QStyle>
#include <QStyleOptionFrame>

#include <cmath>

namespace {

constexpr int RepeatIntervalMs = 300;

// Repeat state shared by every adjuster of the process; the step grows the
// longer an arrow is held.
TSharedRepeat<TKxAdjuster> Repeat(RepeatIntervalMs);
constexpr int TicksPerStepGrowth = 7; // one more increment per tick after each this many

// The layout of the class; sizes grow from these when the fonts need more.
constexpr int LayoutArrowLeft = 88;
constexpr int LayoutCaptionHeight = 13;
constexpr int LayoutEditHeight = 21;
constexpr int LayoutUnitsHeight = 13;

// What a line edit adds around its text: the style's frame, the text
// margins, the two pixels QLineEdit keeps free at each side and the pixel
// of the cursor after the last character. A text fits without scrolling
// when its advance plus this width does not exceed the field's width, and
// is not clipped when the font's height plus this height does not exceed
// the field's height.
QSize LineEditOverhead(const QLineEdit* edit) {
    constexpr int QtSideMargin = 2;
    constexpr int CursorWidth = 1;
    // The option QLineEdit paints with, on a probe rectangle larger than
    // any frame.
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = QRect(0, 0, 200, 100);
    option.lineWidth = edit->hasFrame()
                           ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                           : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    if (edit->isReadOnly())
        option.state |= QStyle::State_ReadOnly;
    const QRect contents =
        edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    const QMargins text = edit->textMargins();
    return {option.rect.width() - contents.width() + text.left() + text.right() + 2 * QtSideMargin +
                CursorWidth,
            option.rect.height() - contents.height() + text.top() + text.bottom()};
}

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
    FCaptionHeight = LayoutCaptionHeight;
    FEditHeight = LayoutEditHeight;
    SetBounds(0, 0, 115, 34);
    SetBevelOuter(TBevelCut::bvNone);
    labelCaption = new QLabel(QStringLiteral("Caption"), this);
    labelCaption->setObjectName(QStringLiteral("labelCaption"));
    labelCaption->setGeometry(0, 0, 36, LayoutCaptionHeight);
    btnDown = MakeArrow(this, "btnDown", "ARROW_DOWN", LayoutArrowLeft, 18);
    btnDown->SetOnMouseDown([this](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, int,
                                   int) { btnDownMouseDown(button); });
    btnDown->SetOnMouseUp(
        [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { btnUpMouseUp(); });
    btnDown->SetOnClick([this](QObject*) { ArrowClick(btnDown, false); });
    btnUp = MakeArrow(this, "btnUp", "ARROW_UP", LayoutArrowLeft, 2);
    btnUp->SetOnMouseDown([this](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, int,
                                 int) { btnUpMouseDown(button); });
    btnUp->SetOnMouseUp(
        [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { btnUpMouseUp(); });
    btnUp->SetOnClick([this](QObject*) { ArrowClick(btnUp, true); });
    labelUnits = new QLabel(QStringLiteral(" "), this);
    labelUnits->setObjectName(QStringLiteral("labelUnits"));
    labelUnits->setGeometry(70, 16, 3, LayoutUnitsHeight);
    editValue = new QLineEdit(QStringLiteral("0.00"), this);
    editValue->setObjectName(QStringLiteral("editValue"));
    editValue->setGeometry(0, LayoutCaptionHeight, 67, LayoutEditHeight);
    editValue->installEventFilter(this);
    // QLineEdit emits textEdited for every change the user makes (keys,
    // cut, paste, middle-click paste, undo, drop) and only for those, just
    // before the textChanged of the same change; the program's own writes
    // go through SetEditText.
    connect(editValue, &QLineEdit::textEdited, this, [this] { FTyping = true; });
    connect(editValue, &QLineEdit::textChanged, this, [this] {
        if (!FSettingText)
            RunShowingExceptions([this] { editValueChange(); });
    });
    SetOnEnter([this](QObject*) { BoxEnter(); });
    SetOnResize([this](QObject*) { KxAdjusterResize(); });
    SetOnCreate([this](QObject*) { KxAdjusterCreate(); });
    RaiseCreate();

    FEnabled = true;
    FFormatString = QStringLiteral("%5.2f");
    FMinimum = 0.0f;
    FMaximum = 100.0f;
    FIncrement = 10.0f;
    FValue = 0.0f;
    // The width the layout gives the arrows' column, one pixel to spare.
    SetWidth(LayoutArrowLeft + btnDown->width() + 1);
    FitToFont();
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
    FitToFont();
}

void TKxAdjuster::SetMax(float maximum) {
    FMaximum = maximum;
    FitToFont();
}

void TKxAdjuster::SetMin(float minimum) {
    FMinimum = minimum;
    FitToFont();
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
    FTyping = false; // a program write is never the user's
    FitToFont();
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
    FitToFont();
}

QSize TKxAdjuster::sizeHint() const {
    return TBox::sizeHint().expandedTo(FFontSize);
}

void TKxAdjuster::changeEvent(QEvent* event) {
    TBox::changeEvent(event);
    // Qt hands a new font to the children before it tells their parent.
    // Events during construction come before the children exist.
    if (editValue && (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange))
        FitToFont();
}

// Measures what the children need at their fonts; when that changed, makes it
// the minimum and takes the larger of it and the design size (a size set
// otherwise, by a layout say, is left alone until then). The layout rules of
// the class (KxAdjusterResize) then place the children as usual.
void TKxAdjuster::FitToFont() {
    const QFontMetrics captionFont = labelCaption->fontMetrics();
    const QFontMetrics editFont = editValue->fontMetrics();
    const QFontMetrics unitsFont = labelUnits->fontMetrics();
    const QSize overhead = LineEditOverhead(editValue);

    FCaptionHeight = qMax(LayoutCaptionHeight, captionFont.height());
    FEditHeight = qMax(LayoutEditHeight, editFont.height() + overhead.height());
    labelUnits->resize(qMax(1, unitsFont.horizontalAdvance(labelUnits->text())),
                       qMax(LayoutUnitsHeight, unitsFont.height()));

    const int valueWidth = qMax(editFont.horizontalAdvance(FormatFloat(FFormatString, FMinimum)),
                                editFont.horizontalAdvance(FormatFloat(FFormatString, FMaximum)));
    const int rowWidth = qMax(captionFont.horizontalAdvance(labelCaption->text()),
                              valueWidth + overhead.width() + labelUnits->width() + 2);
    const QSize need(rowWidth + btnDown->width() + 1, FCaptionHeight + FEditHeight);

    if (need != FFontSize) {
        FFontSize = need;
        setMinimumSize(FFontSize);
        updateGeometry();
        resize(TBox::sizeHint().expandedTo(FFontSize));
    }
    // A hidden control gets its resize event only when shown.
    KxAdjusterResize();
}

// Sets the edit text from the program. A changed text runs the change
// notification directly, so that a handler's exception reaches the writer
// rather than passing through Qt's signal delivery. The field then shows
// the start of the text (QLineEdit leaves the cursor at its end, which
// scrolls a text wider than the field).
void TKxAdjuster::SetEditText(const QString& text) {
    if (text == editValue->text())
        return;
    FSettingText = true;
    editValue->setText(text);
    editValue->setCursorPosition(0);
    FSettingText = false;
    AnnounceValue(this, text);
    editValueChange();
}

void TKxAdjuster::SetValue(float value) {
    FTyping = false; // a program write is never the user's
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

// Only filters: whether an accepted key changes the text, and so is typing,
// is told by the edit's textEdited.
bool TKxAdjuster::editValueKeyPress(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        RunShowingExceptions([this] { editValueExit(); });
        return true;
    }
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        (event->key() == Qt::Key_Up ? btnUp : btnDown)->click();
        return true;
    }
    // Keys that type no character (cursor keys, Delete) and shortcuts
    // (Ctrl+V, Ctrl+X, Ctrl+Z, whose event text may be the bare letter)
    // pass unfiltered.
    const QString text = event->text();
    if (text.isEmpty() || event->key() == Qt::Key_Delete ||
        event->modifiers().testFlag(Qt::ControlModifier))
        return false;
    for (QChar c : text) {
        if (!IsKeyAllowed(c)) {
            Beep();
            return true;
        }
    }
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
}

// A mouse click has stepped already, as the button went down.
void TKxAdjuster::ArrowClick(const TSpeedButton* arrow, bool up) {
    if (!arrow->ClickedByMouse())
        RunShowingExceptions([this, up] { SetValue(Step(FValue, 1, FIncrement, up)); });
}

void TKxAdjuster::RepeatTimerTick() {
    // Ticks 1 to 6 of a hold step once, 7 to 13 twice, 14 to 20 three times...
    const int multiplier = 1 + Repeat.HoldTicks() / TicksPerStepGrowth;
    if (TKxAdjuster* target = Repeat.Target())
        target->SetValue(Step(target->FValue, multiplier, target->FIncrement, Repeat.Up()));
}

// With the layout's fonts this places the children exactly as the layout
// does; larger fonts make the caption row and the edit field taller, and the
// units label and the arrows follow the field.
void TKxAdjuster::KxAdjusterResize() {
    const int clientWidth = width();
    labelCaption->setGeometry(0, 0, clientWidth - btnDown->width() - 1, FCaptionHeight);
    editValue->setGeometry(0, FCaptionHeight, labelCaption->width() - labelUnits->width() - 2,
                           FEditHeight);
    labelUnits->move(editValue->x() + editValue->width() + 1,
                     editValue->y() + (FEditHeight - labelUnits->height() - 1) / 2);
    btnDown->move(clientWidth - btnDown->width(), editValue->y() + FEditHeight - btnDown->height());
    btnUp->move(btnDown->x(), btnDown->y() - btnUp->height());
}

void TKxAdjuster::KxAdjusterCreate() {
    KxAdjusterResize();
}

void TKxAdjuster::BoxEnter() {
    if (FEnabled)
        editValue->setFocus(Qt::OtherFocusReason);
}
