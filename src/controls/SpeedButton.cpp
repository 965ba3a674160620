#include "controls/SpeedButton.h"

#include "controls/Accessibility.h"
#include "controls/ExceptionDisplay.h"
#include "controls/FocusFrame.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionToolButton>
#include <QStylePainter>

#include <stdexcept>

TSpeedButton::TSpeedButton(QWidget* parent) : QAbstractButton(parent) {
    InstallControlAccessibility();
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    setIconSize(QSize(16, 16));
    connect(this, &QAbstractButton::clicked, this, &TSpeedButton::HandleClicked);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetCaption(const QString& caption) {
    const bool changed = caption != text();
    setText(caption);
    updateGeometry();
    // Without a name of its own the caption names the button.
    if (changed && accessibleName().isEmpty()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void TSpeedButton::SetValueText(const QString& value) {
    if (value == FValueText)
        return;
    FValueText = value;
    // Without a value text the button has no value to announce.
    if (!value.isEmpty())
        AnnounceValue(this, value);
}

void TSpeedButton::SetKeyArrows(QAbstractButton* up, QAbstractButton* down) {
    FKeyArrowUp = up;
    FKeyArrowDown = down;
}

void TSpeedButton::SetGlyph(const QIcon& glyph) {
    setIcon(glyph);
    update();
}

void TSpeedButton::SetGlyphSize(const QSize& size) {
    setIconSize(size);
    updateGeometry();
    update();
}

void TSpeedButton::SetNumGlyphs(int numGlyphs) {
    if (numGlyphs < 1 || numGlyphs > 4)
        throw std::out_of_range("Range check error: NumGlyphs must be 1 to 4, not " +
                                std::to_string(numGlyphs));
    FNumGlyphs = numGlyphs;
    update();
}

void TSpeedButton::SetLayout(TButtonLayout layout) {
    FLayout = layout;
    updateGeometry();
    update();
}

void TSpeedButton::SetSpacing(int spacing) {
    FSpacing = spacing;
    updateGeometry();
    update();
}

void TSpeedButton::SetFlat(bool flat) {
    FFlat = flat;
    update();
}

void TSpeedButton::SetDown(bool down) {
    if (FGroupIndex == 0)
        down = false;
    if (down == FDown)
        return;
    if (FDown && !FAllowAllUp)
        return;
    FDown = down;
    update();
    AnnouncePressed();
    if (down)
        UpdateExclusive();
}

void TSpeedButton::AnnouncePressed() {
    QAccessible::State pressed;
    pressed.pressed = true;
    AnnounceState(this, pressed);
}

void TSpeedButton::SetGroupIndex(int groupIndex) {
    FGroupIndex = groupIndex;
    UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool allowAllUp) {
    FAllowAllUp = allowAllUp;
    UpdateExclusive();
}

// The other buttons of the group follow this one: they are released when
// this one is down, and they share its AllowAllUp.
void TSpeedButton::UpdateExclusive() {
    if (FGroupIndex == 0 || !parentWidget())
        return;
    const auto siblings = parentWidget()->findChildren<TSpeedButton*>(Qt::FindDirectChildrenOnly);
    for (TSpeedButton* other : siblings) {
        if (other == this || other->FGroupIndex != FGroupIndex)
            continue;
        if (FDown && other->FDown) {
            other->FDown = false;
            other->update();
            other->AnnouncePressed();
        }
        other->FAllowAllUp = FAllowAllUp;
    }
}

void TSpeedButton::Click() {
    if (FOnClick)
        FOnClick(this);
}

void TSpeedButton::HandleClicked() {
    if (FGroupIndex != 0)
        SetDown(!FDown);
    RunShowingExceptions([this] { Click(); });
}

void TSpeedButton::mousePressEvent(QMouseEvent* event) {
    FHeldButton = event->button();
    if (FOnMouseDown) {
        const QPoint pos = event->position().toPoint();
        RunShowingExceptions(
            [&] { FOnMouseDown(this, event->button(), event->modifiers(), pos.x(), pos.y()); });
    }
    QAbstractButton::mousePressEvent(event);
    // The button keeps every press (and so the release) to itself, as it
    // reports presses of every mouse button.
    event->accept();
}

void TSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::NoButton)
        FHeldButton = Qt::NoButton;
    if (FOnMouseUp) {
        const QPoint pos = event->position().toPoint();
        RunShowingExceptions(
            [&] { FOnMouseUp(this, event->button(), event->modifiers(), pos.x(), pos.y()); });
    }
    // The click, if the release makes one, happens in here.
    FMouseRelease = true;
    QAbstractButton::mouseReleaseEvent(event);
    FMouseRelease = false;
    event->accept();
}

void TSpeedButton::keyPressEvent(QKeyEvent* event) {
    QAbstractButton* arrow = nullptr;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat())
            click();
        return;
    case Qt::Key_Up:
        arrow = FKeyArrowUp;
        break;
    case Qt::Key_Down:
        arrow = FKeyArrowDown;
        break;
    default:
        break;
    }
    // A held key repeats the step, as a held arrow does.
    if (arrow) {
        arrow->click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void TSpeedButton::changeEvent(QEvent* event) {
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        CancelPress();
}

void TSpeedButton::hideEvent(QHideEvent* event) {
    QAbstractButton::hideEvent(event);
    CancelPress();
}

// Qt delivers no mouse events to a disabled or hidden widget: the release of
// a press held on it is raised here instead.
void TSpeedButton::CancelPress() {
    const Qt::MouseButton button = FHeldButton;
    if (button == Qt::NoButton)
        return;
    FHeldButton = Qt::NoButton;
    if (FOnMouseUp)
        RunShowingExceptions([&] { FOnMouseUp(this, button, Qt::NoModifier, -1, -1); });
}

QSize TSpeedButton::sizeHint() const {
    const bool hasGlyph = !icon().isNull();
    const bool hasText = !text().isEmpty();
    const QSize glyph = hasGlyph ? iconSize() : QSize(0, 0);
    const QSize caption = hasText ? fontMetrics().size(Qt::TextShowMnemonic, text()) : QSize();
    const int gap = hasGlyph && hasText ? FSpacing : 0;
    QSize content;
    if (FLayout == TButtonLayout::blGlyphTop || FLayout == TButtonLayout::blGlyphBottom)
        content =
            QSize(qMax(glyph.width(), caption.width()), glyph.height() + gap + caption.height());
    else
        content =
            QSize(glyph.width() + gap + caption.width(), qMax(glyph.height(), caption.height()));
    return content + QSize(8, 8);
}

QSize TSpeedButton::minimumSizeHint() const {
    return QSize(8, 8);
}

void TSpeedButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    const bool pressed = isDown();
    const bool latched = FDown;

    QStyleOptionToolButton frame;
    frame.initFrom(this);
    frame.subControls = QStyle::SC_ToolButton;
    frame.activeSubControls = pressed ? QStyle::SC_ToolButton : QStyle::SC_None;
    frame.toolButtonStyle = Qt::ToolButtonIconOnly;
    if (FFlat)
        frame.state |= QStyle::State_AutoRaise;
    if (pressed || latched)
        frame.state |= QStyle::State_Sunken;
    else if (!FFlat || (isEnabled() && underMouse()))
        frame.state |= QStyle::State_Raised;
    if (latched)
        frame.state |= QStyle::State_On;
    painter.drawComplexControl(QStyle::CC_ToolButton, frame);

    // Glyph and caption, centred together; a pressed or latched button
    // shifts its face one pixel down and right.
    const bool hasGlyph = !icon().isNull();
    const bool hasText = !text().isEmpty();
    const QSize glyph = hasGlyph ? iconSize() : QSize(0, 0);
    const QSize caption = hasText ? fontMetrics().size(Qt::TextShowMnemonic, text()) : QSize();
    const int gap = hasGlyph && hasText ? FSpacing : 0;
    QRect area = rect();
    if (pressed || latched)
        area.translate(1, 1);
    const bool vertical =
        FLayout == TButtonLayout::blGlyphTop || FLayout == TButtonLayout::blGlyphBottom;
    const int total =
        vertical ? glyph.height() + gap + caption.height() : glyph.width() + gap + caption.width();
    QRect glyphRect, textRect;
    if (vertical) {
        const int top = area.top() + (area.height() - total) / 2;
        const int glyphLeft = area.left() + (area.width() - glyph.width()) / 2;
        const int textLeft = area.left() + (area.width() - caption.width()) / 2;
        if (FLayout == TButtonLayout::blGlyphTop) {
            glyphRect = QRect(QPoint(glyphLeft, top), glyph);
            textRect = QRect(QPoint(textLeft, top + glyph.height() + gap), caption);
        } else {
            textRect = QRect(QPoint(textLeft, top), caption);
            glyphRect = QRect(QPoint(glyphLeft, top + caption.height() + gap), glyph);
        }
    } else {
        const int left = area.left() + (area.width() - total) / 2;
        const int glyphTop = area.top() + (area.height() - glyph.height()) / 2;
        const int textTop = area.top() + (area.height() - caption.height()) / 2;
        if (FLayout == TButtonLayout::blGlyphLeft) {
            glyphRect = QRect(QPoint(left, glyphTop), glyph);
            textRect = QRect(QPoint(left + glyph.width() + gap, textTop), caption);
        } else {
            textRect = QRect(QPoint(left, textTop), caption);
            glyphRect = QRect(QPoint(left + caption.width() + gap, glyphTop), glyph);
        }
    }
    if (hasGlyph) {
        QIcon::Mode mode = QIcon::Normal;
        if (!isEnabled())
            mode = QIcon::Disabled;
        else if (pressed)
            mode = QIcon::Active;
        else if (latched)
            mode = QIcon::Selected;
        icon().paint(&painter, glyphRect, Qt::AlignCenter, mode, QIcon::Off);
    }
    if (hasText) {
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                       QPalette::ButtonText));
        painter.drawText(textRect, Qt::AlignCenter | Qt::TextShowMnemonic, text());
    }
    if (ShowsKeyboardFocus(this))
        PaintFocusFrame(painter, rect(), palette());
}
