#pragma once

#include <QObject>

#include <functional>

// Event callbacks of the controls. A notify callback receives the object
// that raised the event; which object that is, is part of each control's
// contract (the value adjuster passes itself, the composite buttons pass
// the inner button that was clicked).
using TNotifyEvent = std::function<void(QObject* sender)>;

// Mouse press or release: sender, the button, the modifier keys held and
// the position in the sender's own coordinates.
using TMouseEvent = std::function<void(QObject* sender, Qt::MouseButton button,
                                       Qt::KeyboardModifiers shift, int x, int y)>;
