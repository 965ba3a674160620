#pragma once

// Shared set-up of the laser object's integration tests: simulated lasers on
// ptys (or TCP), a connection manager whose slots point at them, and a laser
// object whose pauses advance a driven clock instead of sleeping.

#include "comm/ConnectionManager.h"
#include "laser/CVLaser.h"
#include "laser/InHouseLaser.h"
#include "support/QtApp.h"
#include "support/SimProcess.h"

#include <QByteArrayList>
#include <QDeadlineTimer>
#include <QMap>
#include <QThread>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

// What a scripted laser answers; turned into the simulator's reply
// overrides, so a test states exactly what the laser says. Every command not
// listed is acknowledged with "OK".
struct LaserScript {
    int Type = 3;
    QByteArray Firmware = "1.50";
    std::map<QByteArray, QByteArray> Replies = {
        {"MR?", "20"},   {"XT?", "255"}, {"YT?", "255"}, {"SV?", "0"}, {"LC?", "0"},
        {"ER0F90", "0"}, {"NH?", "0"},   {"HS0?", "0"},  {"SS", "80"}, {"SP?", "0"},
        {"PM?", "0"},    {"SC", "0"},    {"HR?", "10"},  {"FR?", "5"}, {"T1?", "25"}};

    LaserScript& Set(const QByteArray& command, const QByteArray& reply) {
        Replies[command] = reply;
        return *this;
    }

    QStringList SetArgs() const {
        QStringList args;
        auto add = [&args](const QByteArray& line) {
            args << QStringLiteral("--set") << QString::fromLatin1(line);
        };
        add("reply * OK");
        add("reply LT? " + QByteArray::number(Type));
        add("reply VN " + Firmware);
        for (const auto& [command, reply] : Replies)
            add("reply " + command + ' ' + reply);
        return args;
    }
};

class FakeClock {
public:
    std::int64_t now = 1000000;
    std::vector<int> pauses;
    TLaserTiming Timing() {
        return {[this] { return now; },
                [this](int ms) {
                    pauses.push_back(ms);
                    now += ms;
                }};
    }
};

class LaserSimTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtApp(); }

    void TearDown() override {
        Laser.reset();
        Manager.reset();
        Sims.clear();
    }

    // A simulated laser on a pty, started with `args` (for example a
    // script's SetArgs()); put into COM slot `slot` by MakeManager.
    SimProcess* AddSim(int slot, const QStringList& args) {
        auto sim = SimProcess::StartPty(args);
        EXPECT_NE(sim, nullptr);
        if (!sim)
            return nullptr;
        SimProcess* raw = sim.get();
        Sims[slot] = std::move(sim);
        return raw;
    }

    SimProcess* AddLaser(int slot, const LaserScript& script) {
        return AddSim(slot, script.SetArgs());
    }

    // The connection manager (slot map from the simulators added so far)
    // and a laser object on the driven clock.
    void MakeLaser() {
        QMap<int, QString> map;
        for (const auto& [slot, sim] : Sims)
            if (!sim->PtyPath().isEmpty())
                map.insert(slot, sim->PtyPath());
        Manager = std::make_unique<TConnectionManager>(map);
        Laser = std::make_unique<TInHouseLaser>();
        Laser->SetTiming(Clock.Timing());
    }

    // Starts one scripted laser on COM1 and identifies it.
    void IdentifiedLaser(const LaserScript& script) {
        AddLaser(1, script);
        MakeLaser();
        ASSERT_TRUE(Laser->FindLaser());
        Mark();
    }

    // Commands (without ";LA") the simulator in `slot` received so far.
    QByteArrayList Commands(int slot = 1) const {
        QByteArrayList result;
        const auto it = Sims.find(slot);
        if (it == Sims.end())
            return result;
        for (const QByteArray& line : it->second->Transcript().split('\n')) {
            const qsizetype at = line.indexOf(";LA");
            if (at >= 0)
                result << line.mid(at + 3);
        }
        return result;
    }

    // Commands since the last Mark().
    QByteArrayList Since(int slot = 1) const {
        const QByteArrayList all = Commands(slot);
        const auto it = Marks.find(slot);
        const qsizetype from = it == Marks.end() ? 0 : it->second;
        return all.mid(from);
    }

    void Mark(int slot = 1) { Marks[slot] = Commands(slot).size(); }

    // A line sent without awaiting a reply reaches the transcript a moment
    // later; waits (bounded) until `count` commands were received.
    QByteArrayList WaitForCommands(int slot, qsizetype count) {
        QDeadlineTimer deadline(5000);
        QByteArrayList all = Commands(slot);
        while (all.size() < count && !deadline.hasExpired()) {
            QThread::msleep(10);
            all = Commands(slot);
        }
        return all;
    }

    void Control(int slot, const QByteArray& line) {
        ASSERT_TRUE(Sims.at(slot)->Control(line).startsWith("OK")) << line.constData();
    }

    std::map<int, std::unique_ptr<SimProcess>> Sims;
    std::map<int, qsizetype> Marks;
    std::unique_ptr<TConnectionManager> Manager;
    std::unique_ptr<TInHouseLaser> Laser;
    FakeClock Clock;
};

// Runs `body` expecting an ELaserError and returns its code (-1 if none).
template <typename F> int ErrorCodeOf(F&& body) {
    try {
        body();
    } catch (const ELaserError& e) {
        return e.ErrorCode();
    }
    return -1;
}
