#pragma once

#include <array>

class TCVLaser;

// The laser's read-outs for a status display: shots, hours, coolant flow and
// temperature, each present only when the laser can report it. One is
// refreshed per poll tick, in turn, so that a tick never costs more than one
// exchange for them. A read-out that fails (no reply, an error reply,
// garbage) reads as unavailable; nothing here raises.
class TReadouts {
public:
    enum TKind { rkShots, rkHours, rkFlow, rkTemperature };
    static constexpr int Count = 4;

    // Binds the laser (not owned; it must outlive the binding) and finds
    // which read-outs it has: shots for an identified laser; hours, flow and
    // temperature where the laser answers them (one exchange each). Then
    // reads all. Nothing is present for a laser that is not identified.
    void Setup(TCVLaser* laser);
    void UpdateAll();
    // Reads the next one in turn (shots, hours, flow, temperature); an
    // absent one costs no exchange. Returns the one whose turn it was.
    TKind UpdateNext();

    bool Present(TKind kind) const { return FPresent[kind]; }
    // The last value read; negative when unavailable. Shots are the laser's
    // count as a single-precision number, the others whole numbers.
    double Value(TKind kind) const { return FValues[kind]; }

private:
    void Update(TKind kind);

    TCVLaser* FLaser = nullptr;
    std::array<bool, Count> FPresent{};
    std::array<double, Count> FValues{-1, -1, -1, -1};
    int FCounter = 0;
};
