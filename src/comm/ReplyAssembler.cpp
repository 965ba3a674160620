#include "comm/ReplyAssembler.h"

#include <cstring>

TReplyAssembler::TReplyAssembler(char* reply, int replySize, char terminator)
    : FReply(reply), FSize(replySize < 0 ? 0 : replySize), FTerminator(terminator) {
    if (FReply)
        std::memset(FReply, 0, static_cast<std::size_t>(FSize) + 1);
}

bool TReplyAssembler::Append(char* chunk, unsigned length) {
    chunk[length] = '\0';
    // The chunk's text ends at its first NUL; the terminator counts only
    // inside that text.
    const std::size_t textLength = std::strlen(chunk);
    bool found = false;
    if (FTerminator != '\0') {
        if (char* t = static_cast<char*>(std::memchr(chunk, FTerminator, textLength))) {
            *t = '\0';
            found = true;
        }
    }
    const std::size_t contribution = std::strlen(chunk);
    const std::size_t room = static_cast<std::size_t>(FSize - FLength);
    const std::size_t taken = contribution < room ? contribution : room;
    if (FReply && taken > 0) {
        std::memcpy(FReply + FLength, chunk, taken);
        FLength += static_cast<int>(taken);
        FReply[FLength] = '\0';
    }
    return found;
}
