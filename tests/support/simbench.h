#pragma once

#include "sim/virtualunit.h"

#include <QByteArray>
#include <QList>

#include <utility>

// Drives a VirtualUnit on simulated time and keeps everything it has sent.
class SimBench
{
public:
    explicit SimBench(const kr44::UnitConfig &config = {}) : unit(config) {}

    void send(QByteArrayView bytes) { out += unit.receive(bytes); }
    void download(const QList<QByteArray> &lines)
    {
        send("P\r");
        for (const QByteArray &line : lines)
            send(line + '\r');
        send("P\r");
    }
    void run(qint64 us) { out += unit.advance(us); }
    void setInput(int input, bool high) { out += unit.setInput(input, high); }
    // Lets time pass in steps until `reply` has been sent or `limitUs` has passed.
    bool runUntil(QByteArrayView reply, qint64 limitUs, qint64 stepUs = 1000)
    {
        const qint64 end = unit.nowUs() + limitUs;
        while (!out.contains(reply)) {
            if (unit.nowUs() >= end)
                return false;
            run(stepUs);
        }
        return true;
    }
    QByteArray take() { return std::exchange(out, QByteArray()); }

    kr44::VirtualUnit unit;
    QByteArray out;
};
