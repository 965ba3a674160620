#pragma once

// Counts a call that reaches the laser for as long as it runs, also when it
// throws; the laser object is busy while the count is above zero.
class TBusyScope {
public:
    explicit TBusyScope(int& depth) : FDepth(depth) { ++FDepth; }
    ~TBusyScope() { --FDepth; }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    int& FDepth;
};
