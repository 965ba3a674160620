#include "session/Readouts.h"

#include "laser/CVLaser.h"

#include <exception>

void TReadouts::Setup(TCVLaser* laser) {
    FLaser = laser;
    FCounter = 0;
    FPresent = {};
    FValues = {-1, -1, -1, -1};
    if (FLaser && FLaser->Identified()) {
        FPresent[rkShots] = true;
        FPresent[rkHours] = FLaser->GetHours() >= 0;
        FPresent[rkFlow] = FLaser->GetFlow() >= 0;
        FPresent[rkTemperature] = FLaser->GetTemperature() >= 0;
    }
    UpdateAll();
}

void TReadouts::UpdateAll() {
    for (int kind = rkShots; kind < Count; ++kind)
        Update(TKind(kind));
}

TReadouts::TKind TReadouts::UpdateNext() {
    FCounter %= Count;
    const auto kind = TKind(FCounter);
    Update(kind);
    ++FCounter;
    return kind;
}

void TReadouts::Update(TKind kind) {
    if (!FPresent[kind] || !FLaser)
        return;
    switch (kind) {
    case rkShots:
        // The shot counter raises where the other read-outs give -1: an
        // error or garbage in reply to "SC" reads as unavailable, not as a
        // message every fourth tick.
        try {
            FValues[kind] = FLaser->GetShotCount();
        } catch (const std::exception&) {
            FValues[kind] = -1;
        }
        break;
    case rkHours:
        FValues[kind] = FLaser->GetHours();
        break;
    case rkFlow:
        FValues[kind] = FLaser->GetFlow();
        break;
    case rkTemperature:
        FValues[kind] = FLaser->GetTemperature();
        break;
    }
}
