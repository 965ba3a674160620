#pragma once

// Counts a piece of work for as long as it runs, also when it throws: the
// laser object's calls that reach the laser, the device server's ticks and
// jobs. The owner is busy while the count is above zero.
class TBusyScope {
public:
    explicit TBusyScope(int& depth) : FDepth(depth) { ++FDepth; }
    ~TBusyScope() { --FDepth; }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    int& FDepth;
};
