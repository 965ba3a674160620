// The simulator's control lines and the shaping of its answers: overrides,
// link faults and the reading of received lines.

#include "SimControl.h"

#include <gtest/gtest.h>

using namespace lasersim;

namespace {

struct Sim {
    TSimLaser Laser;
    TSimResponder Responder{Laser};
    TSimControl Control{Laser, Responder};

    QByteArray Send(const QByteArray& command) {
        const TSimAnswer answer = Responder.Respond(";LA" + command, 0);
        return answer.Silent ? QByteArray("<silent>") : answer.Bytes;
    }
};

} // namespace

TEST(SimResponder, ReadsTheAddressedCommandAndIgnoresOtherLines) {
    EXPECT_EQ(TSimResponder::CommandOf(";LAss"), QByteArray("SS"));
    EXPECT_EQ(TSimResponder::CommandOf("\n;LAVN"), QByteArray("VN"));
    EXPECT_FALSE(TSimResponder::CommandOf("SS").has_value());
    Sim sim;
    EXPECT_TRUE(sim.Responder.Respond("VN", 0).Silent);
    EXPECT_EQ(TSimResponder::Escape(QByteArray(";LA\x01\\\xff", 6)), ";LA\\x01\\\\\\xFF");
}

TEST(SimResponder, OverridesReplaceTheCommandExactBeatsLongestPrefix) {
    Sim sim;
    EXPECT_EQ(sim.Control.Execute("reply VN 9.99 beta", 0), "OK");
    EXPECT_EQ(sim.Send("VN"), "9.99 beta\r");
    EXPECT_EQ(sim.Control.Execute("reply SS", 0), "OK");
    EXPECT_EQ(sim.Send("SS"), "\r");
    EXPECT_EQ(sim.Control.Execute("error hs* 3", 0), "OK");
    EXPECT_EQ(sim.Control.Execute("error HS1* 4", 0), "OK");
    EXPECT_EQ(sim.Control.Execute("garbage HS1?", 0), "OK");
    EXPECT_EQ(sim.Send("HS2?"), "?3\r");
    EXPECT_EQ(sim.Send("HS1"), "?4\r");
    EXPECT_EQ(sim.Send("HS1?"), "#~G&R%B*\r");
    EXPECT_EQ(sim.Control.Execute("silent GO", 0), "OK");
    sim.Send("SM1");
    sim.Laser.Set("start-time", "0", 0);
    sim.Send("ON");
    EXPECT_EQ(sim.Send("GO"), "<silent>");
    EXPECT_FALSE(sim.Laser.Firing(0)); // an overridden command is not obeyed
    EXPECT_EQ(sim.Control.Execute("normal HS1*", 0), "OK");
    EXPECT_EQ(sim.Send("HS1"), "?3\r");
    EXPECT_TRUE(sim.Control.Execute("normal XX", 0).startsWith("ERR "));
    EXPECT_EQ(sim.Control.Execute("normal all", 0), "OK");
    EXPECT_EQ(sim.Send("GO"), "ok\r");
    EXPECT_TRUE(sim.Laser.Firing(0));
}

TEST(SimResponder, LinkFaultsShapeEveryAnswer) {
    Sim sim;
    const struct {
        const char* Line;
        QByteArray Bytes;
    } cases[] = {
        {"fault nocr", "2.10"},       {"fault nul", QByteArray("2.10\r\0", 6)},
        {"fault extra", "2.10\rXYZ"}, {"fault long", QByteArray("0123456789").repeated(8) + "\r"},
        {"fault none", "2.10\r"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(sim.Control.Execute(c.Line, 0), "OK");
        EXPECT_EQ(sim.Send("VN"), c.Bytes) << c.Line;
    }
    ASSERT_EQ(sim.Control.Execute("fault late 750", 0), "OK");
    const TSimAnswer late = sim.Responder.Respond(";LAVN", 0);
    EXPECT_EQ(late.DelayMs, 750);
    EXPECT_EQ(late.Bytes, "2.10\r");
    ASSERT_EQ(sim.Control.Execute("fault silent", 0), "OK");
    EXPECT_EQ(sim.Send("VN"), "<silent>");
}

TEST(SimControl, AnswersErrForEveryMalformedLine) {
    Sim sim;
    for (const char* line : {"",
                             "bogus",
                             "fault",
                             "fault late",
                             "fault late -1",
                             "fault nocr 5",
                             "error SS",
                             "error SS 12",
                             "silent",
                             "silent SS extra",
                             "set",
                             "set type",
                             "set type 300",
                             "set colour blue",
                             "set interlock flow",
                             "set interlock door open",
                             "set harmonics 05,zz",
                             "set firmware",
                             "set options xyz",
                             "set motor-time -2",
                             "get",
                             "get nothing"}) {
        EXPECT_TRUE(sim.Control.Execute(line, 0).startsWith("ERR ")) << "'" << line << "'";
    }
    EXPECT_EQ(sim.Laser.Type(), 8);
}

TEST(SimControl, SetAndGetRoundTrip) {
    Sim sim;
    EXPECT_EQ(sim.Control.Execute("set type 5", 0), "OK");
    EXPECT_EQ(sim.Control.Execute("get type", 0), "OK 5");
    EXPECT_EQ(sim.Control.Execute("set firmware 1.5", 0), "OK");
    EXPECT_EQ(sim.Send("VN"), "1.5\r");
    EXPECT_EQ(sim.Control.Execute("set harmonics 05,09", 0), "OK");
    EXPECT_EQ(sim.Control.Execute("get harmonics", 0), "OK 05,09");
    EXPECT_EQ(sim.Control.Execute("set interlock flow 1", 0), "OK");
    EXPECT_EQ(sim.Control.Execute("get interlocks", 0),
              "OK flow=open,temp=closed,ext=closed,work=closed");
    EXPECT_EQ(sim.Control.Execute("set supply 1", 0).left(4), "ERR ");
    EXPECT_EQ(sim.Control.Execute("set interlock flow closed", 0), "OK");
    EXPECT_EQ(sim.Control.Execute("set supply 1", 0), "OK");
    EXPECT_TRUE(sim.Control.Execute("get all", 0).contains(" supply=1 "));
    EXPECT_EQ(sim.Control.Execute("ping", 0), "OK pong");
    EXPECT_FALSE(sim.Control.QuitRequested());
    EXPECT_EQ(sim.Control.Execute("quit", 0), "OK bye");
    EXPECT_TRUE(sim.Control.QuitRequested());
}
