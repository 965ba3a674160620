#include "app/toolbars/BarControls.h"

#include "app/toolbars/ToolBar.h"
#include "controls/KxDropBtn.h"
#include "controls/KxIndicator.h"
#include "controls/KxSpeedButton.h"
#include "controls/KxUpDown.h"
#include "dialogs/PlainText.h"

#include <QAction>
#include <QActionGroup>
#include <QRegularExpression>

namespace bars {

namespace {

// The group property naming the item the program checked last.
const char* const CheckedItemProperty = "checkedItem";
// The printed label of a value button: what its accessible name says.
const char* const PrintedLabelProperty = "printedLabel";

QString StripMnemonic(QString text) {
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return text;
}

} // namespace

void SetHelpContext(QWidget* control, int context) {
    control->setProperty("helpContext", context);
}

void SetAccessible(QWidget* control, const QString& caption) {
    const QString hint = control->toolTip();
    control->setAccessibleName(caption.isEmpty() ? hint : StripMnemonic(caption));
    control->setAccessibleDescription(hint);
}

void SetPrintedLabel(TSpeedButton* button, const QString& label) {
    button->setProperty(PrintedLabelProperty, label);
    SetAccessible(button, label);
    button->SetValueText(StripMnemonic(button->Caption()));
}

void PairArrows(TSpeedButton* button, TKxUpDown* arrows) {
    const QString name = button->accessibleName();
    arrows->BtnUp()->setAccessibleName(name + QStringLiteral(" up"));
    arrows->BtnDown()->setAccessibleName(name + QStringLiteral(" down"));
    button->SetKeyArrows(arrows->BtnUp(), arrows->BtnDown());
}

int TextWidth(const QWidget* control, const QString& sample) {
    return control->fontMetrics().horizontalAdvance(sample);
}

TKxSpeedButton* MakeButton(QWidget* bar, const char* name, const QString& caption,
                           const QString& hint, const QString& widest) {
    auto* button = new TKxSpeedButton(bar);
    button->setObjectName(QLatin1String(name));
    button->SetFlat(true);
    button->SetHint(PlainLines(hint));
    button->SetCaption(caption);
    SetAccessible(button, caption);
    const int width = qMax(56, TextWidth(button, widest) + 14);
    button->resize(width, RowHeight);
    return button;
}

TKxUpDown* MakeUpDown(QWidget* bar, const char* name, const QString& hint, int helpContext) {
    auto* updown = new TKxUpDown(bar);
    updown->setObjectName(QLatin1String(name));
    updown->SetHint(PlainLines(hint));
    SetAccessible(updown, QString());
    if (helpContext)
        SetHelpContext(updown, helpContext);
    updown->SetBounds(0, 0, ArrowWidth, RowHeight);
    return updown;
}

TKxDropBtn* MakeDropButton(QWidget* bar, const char* name, const QString& label,
                           const QString& caption, const QString& hint, QMenu* menu,
                           const QString& widest) {
    auto* button = new TKxDropBtn(bar);
    button->setObjectName(QLatin1String(name));
    button->SetHint(PlainLines(hint));
    button->BtnMain()->SetHint(PlainLines(hint));
    button->SetDropDownMenu(menu);
    button->BtnMain()->SetGlyphSize(QSize(24, 24));
    SetAccessible(button, label);
    SetDropCaption(button, caption);
    button->BtnDown()->setAccessibleName(QStringLiteral("Choose ") + label.toLower());
    const int width = qMax(64, TextWidth(button, widest) + 14 + 12);
    button->SetBounds(0, 0, width, RowHeight);
    return button;
}

QWidget* MakeSeparator(QWidget* bar, const char* name) {
    auto* separator = new TToolSeparator(bar);
    separator->setObjectName(QLatin1String(name));
    separator->resize(separator->sizeHint().width(), RowHeight);
    return separator;
}

TKxIndicator* MakeIndicator(QWidget* panel, const char* name, const QString& caption,
                            TColor onColor, const QString& hint) {
    auto* indicator = new TKxIndicator(panel);
    indicator->setObjectName(QLatin1String(name));
    indicator->SetCaption(caption);
    indicator->SetOnColor(onColor);
    indicator->SetOffColor(clGray);
    indicator->SetHint(PlainLines(hint));
    SetAccessible(indicator, caption);
    return indicator;
}

void SetButtonCaption(TSpeedButton* button, const QString& caption) {
    button->SetCaption(caption);
    if (button->property(PrintedLabelProperty).isValid())
        button->SetValueText(StripMnemonic(caption));
    else
        SetAccessible(button, caption);
}

void SetDropCaption(TKxDropBtn* button, const QString& caption) {
    SetButtonCaption(button->BtnMain(), caption);
}

void CheckMenuItem(QAction* item) {
    item->setChecked(true);
    if (QActionGroup* group = item->actionGroup())
        group->setProperty(CheckedItemProperty, QVariant::fromValue<QObject*>(item));
}

void RestoreMenuCheck(QActionGroup* group) {
    auto* item = qobject_cast<QAction*>(group->property(CheckedItemProperty).value<QObject*>());
    if (item)
        item->setChecked(true);
    else if (QAction* checked = group->checkedAction())
        checked->setChecked(false);
}

void TRowPlacer::Put(QWidget* control, int gap) {
    FX += gap;
    control->move(FX, FTop);
    FX += control->width();
}

} // namespace bars
