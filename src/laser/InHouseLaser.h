#pragma once

#include "laser/CVLaser.h"

// The laser class the main window creates. It adds nothing to TCVLaser; it
// exists so that in-house variations have a place of their own.
class TInHouseLaser : public TCVLaser {
public:
    TInHouseLaser();
    ~TInHouseLaser() override;
};
