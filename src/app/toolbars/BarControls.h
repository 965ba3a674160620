#pragma once

#include "controls/Color.h"

#include <QString>

class QAction;
class QActionGroup;
class QMenu;
class QWidget;
class TKxDropBtn;
class TKxIndicator;
class TKxSpeedButton;
class TKxUpDown;
class TSpeedButton;

// The pieces every bar of the main window is made of, with the window's
// design sizes, captions, hints and accessible names.
namespace bars {

inline constexpr int RowHeight = 50; // pixels of a toolbar row
inline constexpr int ArrowWidth = 16;

// The help context a control's help key opens.
void SetHelpContext(QWidget* control, int context);
// The accessible name follows the caption (mnemonic removed), or the hint
// where there is none; the hint is the description.
void SetAccessible(QWidget* control, const QString& caption);
// A value button is named after what it sets (its printed label,
// "Output"), and screen readers read its caption ("10.0%") as its value.
void SetPrintedLabel(TSpeedButton* button, const QString& label);
// The arrows beside a value button are named after it ("Output up",
// "Output down"), and its Up and Down keys click them.
void PairArrows(TSpeedButton* button, TKxUpDown* arrows);
int TextWidth(const QWidget* control, const QString& sample);

// A flat speed button wide enough for `widest`, one row high.
TKxSpeedButton* MakeButton(QWidget* bar, const char* name, const QString& caption,
                           const QString& hint, const QString& widest);
// Up and down arrows; `helpContext` 0 for none. PairArrows names them.
TKxUpDown* MakeUpDown(QWidget* bar, const char* name, const QString& hint, int helpContext);
// A drop button: a group named after what it sets (`label`, "Firing
// mode") around a main button named by its caption, what it shows ("Single
// Shot"), and an arrow named "Choose firing mode". A caption that changes
// renames the main button, which screen readers announce.
TKxDropBtn* MakeDropButton(QWidget* bar, const char* name, const QString& label,
                           const QString& caption, const QString& hint, QMenu* menu,
                           const QString& widest);
QWidget* MakeSeparator(QWidget* bar, const char* name);
TKxIndicator* MakeIndicator(QWidget* panel, const char* name, const QString& caption,
                            TColor onColor, const QString& hint);

// Captions that also keep the accessible name, or the value of a button
// named after what it sets, in step.
void SetButtonCaption(TSpeedButton* button, const QString& caption);
void SetDropCaption(TKxDropBtn* button, const QString& caption);

// Checks a radio menu item, unchecking the others of its group. Only the
// program checks these items: a click checks nothing by itself.
void CheckMenuItem(QAction* item);
// Puts the check of a radio group back where the program left it (a click
// checked the item before its handler ran).
void RestoreMenuCheck(QActionGroup* group);

// Places controls one after another in a design row, from the left edge.
class TRowPlacer {
public:
    explicit TRowPlacer(int top) : FTop(top) {}
    void Put(QWidget* control, int gap = 0);

private:
    int FTop;
    int FX = 0;
};

} // namespace bars
