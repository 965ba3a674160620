#pragma once

#include <QFont>
#include <QIcon>
#include <QString>

// The pictures of the controls, drawn in code so that they stay sharp at
// every size and screen scale. Each name gives an icon with a normal, a
// disabled, a pressed (active) and a latched (selected) look:
//   "ARROW_UP", "ARROW_DOWN"   12 x 12 arrows of the adjuster and up/down
//   "DROP_ARROW"               8 x 8 arrow of the drop button
//   "INDBUT_ON", "INDBUT_OFF"  10 x 10 lit and dark LED of the LED button
//   "SWITCH_ON", "SWITCH_OFF"  the two pictures of the two-state switch
// The sizes are the design sizes; the icons scale to any size.
// Throws std::runtime_error for an unknown name.
QIcon LoadGlyph(const QString& name);

// The design size of a named picture (empty for an unknown name).
QSize GlyphSize(const QString& name);

// The font of the small printed labels that say what a value button or a
// switch sets ("Output", "Supply"): the desktop's font, a size smaller.
QFont PrintedLabelFont();
