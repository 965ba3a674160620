#include "laser/InHouseLaser.h"

TInHouseLaser::TInHouseLaser() = default;

TInHouseLaser::~TInHouseLaser() = default;
