#pragma once

// Builds a transaction's reply from the chunks read round by round.
//
// The reply buffer holds replySize + 1 bytes: it is zero-filled at the
// start and always stays NUL-terminated. Each chunk contributes its text up
// to its first NUL or the terminator, whichever comes first; text that does
// not fit into replySize characters is dropped, and bytes after the
// terminator in the same chunk are lost.
class TReplyAssembler {
public:
    TReplyAssembler(char* reply, int replySize, char terminator);

    // `chunk` holds `length` bytes followed by a NUL (it is modified: the
    // terminator is replaced by NUL). Returns true when the terminator was in
    // this chunk's text, i.e. the reply is complete.
    bool Append(char* chunk, unsigned length);

    int Length() const { return FLength; }

private:
    char* FReply;
    int FSize;
    int FLength = 0;
    char FTerminator;
};
