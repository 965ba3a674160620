#include "controls/KxIndButton.h"

#include "controls/Glyphs.h"

TKxIndButton::TKxIndButton(QWidget* parent) : TSpeedButton(parent) {
    SetNumGlyphs(2);
    SetGlyphSize(QSize(10, 10));
}

TKxIndButton::~TKxIndButton() = default;

void TKxIndButton::SetLedOn(bool ledOn) {
    FLedOn = ledOn;
    UpdateGlyph();
}

void TKxIndButton::UpdateGlyph() {
    SetGlyph(LoadGlyph(FLedOn ? QStringLiteral("INDBUT_ON") : QStringLiteral("INDBUT_OFF")));
}
