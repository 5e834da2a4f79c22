#pragma once

#include <QList>
#include <QtGlobal>

#include <array>

// What a simulated run starts from: the inputs, when they switch, and how long it may take.

namespace kr44 {

struct InputChange
{
    qint64 atUs = 0;
    int input = 1; // 1 to 3
    bool high = false;
};

struct SimulationSetup
{
    std::array<bool, 3> inputs {}; // at power-up, true = high
    QList<InputChange> changes;    // in any order
    qint64 maxTimeUs = 600'000'000;
};

} // namespace kr44
