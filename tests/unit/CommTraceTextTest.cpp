#include "comm/NetworkAddress.h"
#include "comm/TraceText.h"

#include <gtest/gtest.h>

using comm::EscapeTraceText;
using comm::ParseNetworkAddress;

TEST(CommTraceText, EscapesSpaceControlAndHighBytesOnly) {
    const char bytes[] = {';', 'L', 'A', ' ', '\r', '\x01', '!', '~', '\x7f', '\x80', '\xff', 'a'};
    EXPECT_EQ(EscapeTraceText(bytes, sizeof bytes), QByteArray(";LA$20$0D$01!~$7F$80$FFa"));
}

TEST(CommTraceText, StopsAtNulAndAtTheLengthGiven) {
    EXPECT_EQ(EscapeTraceText("AB\0CD", 5), QByteArray("AB"));
    // No NUL within the length: nothing beyond it is read.
    const char noNul[3] = {'X', 'Y', 'Z'};
    EXPECT_EQ(EscapeTraceText(noNul, 2), QByteArray("XY"));
    EXPECT_EQ(EscapeTraceText(nullptr, 4), QByteArray());
}

TEST(CommTraceText, LinesNameThePortNotTheByteCount) {
    EXPECT_EQ(comm::TraceWriteLine(1500, 1, ";LASS\r", 6), QByteArray("[1500:WRITE1];LASS$0D"));
    EXPECT_EQ(comm::TraceReadLine(7, 12, "0A1F\r", 5), QByteArray("[7:READ12]0A1F$0D"));
    EXPECT_EQ(comm::TracePortLine(0, 3, "OPENED"), QByteArray("[0:PORT 3 OPENED]"));
    EXPECT_EQ(comm::TracePortLine(2001, 16, "TIMEOUT!"), QByteArray("[2001:PORT 16 TIMEOUT!]"));
}

TEST(CommNetworkAddress, HostAloneUsesPort1024) {
    const auto a = ParseNetworkAddress("relay.example");
    EXPECT_EQ(a.Host, "relay.example");
    EXPECT_EQ(a.Port, 1024);
}

TEST(CommNetworkAddress, BarGivesThePort) {
    const auto a = ParseNetworkAddress("10.0.0.5|2000");
    EXPECT_EQ(a.Host, "10.0.0.5");
    EXPECT_EQ(a.Port, 2000);
    // Only the first bar splits.
    EXPECT_EQ(ParseNetworkAddress("h|12|34").Port, 1024);
    EXPECT_EQ(ParseNetworkAddress("h|12|34").Host, "h");
}

TEST(CommNetworkAddress, AtMostFiveCharactersAfterTheBar) {
    EXPECT_EQ(ParseNetworkAddress("h|200001").Port, 20000);
    EXPECT_EQ(ParseNetworkAddress("h|655350").Port, 65535);
}

TEST(CommNetworkAddress, UnusablePortTextFallsBackTo1024) {
    EXPECT_EQ(ParseNetworkAddress("h|abc").Port, 1024);
    EXPECT_EQ(ParseNetworkAddress("h|").Port, 1024);
    EXPECT_EQ(ParseNetworkAddress("h|12ab").Port, 1024);
    EXPECT_EQ(ParseNetworkAddress("h|0").Port, 1024);
    EXPECT_EQ(ParseNetworkAddress("h|99999").Port, 1024);
    EXPECT_EQ(ParseNetworkAddress("|2000").Host, "");
}
