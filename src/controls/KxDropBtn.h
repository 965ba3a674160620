#pragma once

#include "controls/Box.h"
#include "controls/SpeedButton.h"

#include <QList>
#include <QPointer>

#include <QMenu>

// A wide flat main button with a narrow arrow button on its right. The main
// button behaves as a speed button and raises OnClick and OnMouseDown with
// itself (BtnMain()) as sender; the arrow drops DropDownMenu down below the
// control, whose item handlers do the work (the drop button raises nothing
// of its own for it).
//
// The button properties are those of the inner buttons, stored once:
// Flat applies to both; AllowAllUp, Caption, Down, Glyph, GroupIndex,
// Layout and NumGlyphs to the main button only; DropHint is the arrow's
// hint. Enabled passes to both buttons and to the automatic pop-up of the
// panel's context menu; the panel itself stays enabled.
class TKxDropBtn : public TBox {
    Q_OBJECT
public:
    explicit TKxDropBtn(QWidget* parent = nullptr);
    ~TKxDropBtn() override;

    bool AllowAllUp() const { return btnMain->AllowAllUp(); }
    void SetAllowAllUp(bool allowAllUp) { btnMain->SetAllowAllUp(allowAllUp); }
    QString Caption() const { return btnMain->Caption(); }
    void SetCaption(const QString& caption) { btnMain->SetCaption(caption); }
    bool Down() const { return btnMain->Down(); }
    void SetDown(bool down) { btnMain->SetDown(down); }
    QMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(QMenu* menu) { FDropDownMenu = menu; }
    QString DropHint() const { return btnDown->Hint(); }
    void SetDropHint(const QString& hint) { btnDown->SetHint(hint); }
    bool Enabled() const override { return FEnabled; }
    void SetEnabled(bool enabled) override;
    bool Flat() const { return btnMain->Flat(); }
    void SetFlat(bool flat);
    QIcon Glyph() const { return btnMain->Glyph(); }
    void SetGlyph(const QIcon& glyph) { btnMain->SetGlyph(glyph); }
    int GroupIndex() const { return btnMain->GroupIndex(); }
    void SetGroupIndex(int groupIndex) { btnMain->SetGroupIndex(groupIndex); }
    TButtonLayout Layout() const { return btnMain->Layout(); }
    void SetLayout(TButtonLayout layout) { btnMain->SetLayout(layout); }
    // 1 to 4; throws std::out_of_range otherwise.
    int NumGlyphs() const { return btnMain->NumGlyphs(); }
    void SetNumGlyphs(int numGlyphs) { btnMain->SetNumGlyphs(numGlyphs); }
    TNotifyEvent OnClick() const { return FOnClick; }
    void SetOnClick(TNotifyEvent handler) { FOnClick = std::move(handler); }
    TMouseEvent OnMouseDown() const { return FOnMouseDown; }
    void SetOnMouseDown(TMouseEvent handler) { FOnMouseDown = std::move(handler); }
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }

    // Shows picture `index` of `images` on the main button, drawn at
    // `imageSize`; the old glyph is cleared first, and an index outside the
    // list leaves the button without a glyph.
    void SetGlyphFromImages(const QList<QIcon>& images, int index, const QSize& imageSize);

    TSpeedButton* BtnMain() const { return btnMain; }
    TSpeedButton* BtnDown() const { return btnDown; }

private:
    void btnMainClick(QObject* sender);
    void btnMainMouseDown(QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                          int x, int y);
    void btnDownClick();
    void KxDropBtnResize();

    TSpeedButton* btnMain;
    TSpeedButton* btnDown;
    QPointer<QMenu> FDropDownMenu;
    bool FEnabled = true;
    TNotifyEvent FOnClick;
    TMouseEvent FOnMouseDown;
};
