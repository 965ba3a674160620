#include "comm/ReplyAssembler.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Feeds the chunks as the transaction would (each at most 20 bytes, a NUL
// after it) and returns whether the terminator was found.
bool Feed(TReplyAssembler& assembler, std::initializer_list<std::string> chunks) {
    for (const std::string& c : chunks) {
        char chunk[21] = {};
        std::memcpy(chunk, c.data(), c.size());
        if (assembler.Append(chunk, static_cast<unsigned>(c.size())))
            return true;
    }
    return false;
}

} // namespace

TEST(CommReply, TerminatorEndsTheReplyAndIsNotKept) {
    char reply[61];
    TReplyAssembler assembler(reply, 60, '\r');
    EXPECT_FALSE(Feed(assembler, {"12"}));
    EXPECT_TRUE(Feed(assembler, {"34\rXYZ"}));
    EXPECT_STREQ(reply, "1234"); // bytes after the terminator in that chunk are lost
}

TEST(CommReply, LongReplyIsCutButReadingGoesOn) {
    char reply[61];
    TReplyAssembler assembler(reply, 60, '\r');
    const std::string twenty(20, 'A');
    EXPECT_FALSE(Feed(assembler, {twenty, twenty, twenty, twenty}));
    EXPECT_EQ(assembler.Length(), 60);
    EXPECT_TRUE(Feed(assembler, {"\r"}));
    EXPECT_EQ(std::string(reply), std::string(60, 'A'));
}

TEST(CommReply, NulEndsTheChunksContribution) {
    char reply[61];
    TReplyAssembler assembler(reply, 60, '\r');
    // The terminator behind the NUL is not seen.
    EXPECT_FALSE(Feed(assembler, {std::string("AB\0CD\r", 6)}));
    EXPECT_TRUE(Feed(assembler, {"EF\r"}));
    EXPECT_STREQ(reply, "ABEF");
}

TEST(CommReply, SmallReplySizeNeverOverflows) {
    char reply[4] = {'x', 'x', 'x', 'x'};
    TReplyAssembler assembler(reply, 3, '\r');
    EXPECT_TRUE(Feed(assembler, {"ABCDEF\r"}));
    EXPECT_STREQ(reply, "ABC");
}
