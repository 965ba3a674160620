// A participant of the IPC mailbox in a process of its own, for the tests.
//
//   IpcPeer serve   answers requests the way the program does: it takes a
//                   request, prints "got TEXT", and replies "R:" + TEXT;
//                   EMPTY gets an empty reply, ERR the laser error "?1",
//                   SILENT no reply at all, "=TEXT" the reply TEXT. Like
//                   the program's poll, it frees the boxes of participants
//                   that died and then prints "freed".
//   IpcPeer claim   joins and then obeys lines on standard input:
//                   "send TEXT", "recv", "lock", "abandon" (ends without
//                   leaving the mailbox), "quit".
// Both print "box N" once joined, or "error MESSAGE", and leave the mailbox
// when standard input closes.

#include "ipc/IPCMessenger.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

void Say(const QByteArray& line) {
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

bool InputClosed(int waitMs) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (poll(&input, 1, waitMs) <= 0)
        return false;
    char buffer[64];
    return read(STDIN_FILENO, buffer, sizeof buffer) <= 0;
}

int Serve(TIPCMessenger& messenger) {
    while (!InputClosed(2)) {
        if (messenger.FreeStaleBoxes())
            Say("freed");
        if (!messenger.HasMessage())
            continue;
        const QByteArray request = messenger.Receive();
        Say("got " + request);
        if (request == "SILENT")
            continue;
        if (request == "EMPTY")
            messenger.Send(QByteArray());
        else if (request == "ERR")
            messenger.Send("?1");
        else if (request.startsWith('='))
            messenger.Send(request.mid(1));
        else
            messenger.Send("R:" + request);
    }
    return 0;
}

int Obey(std::unique_ptr<TIPCMessenger> messenger) {
    char line[4096];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        QByteArray command(line);
        command.chop(command.endsWith('\n') ? 1 : 0);
        if (command.startsWith("send ")) {
            messenger->Send(command.mid(5));
            Say("sent");
        } else if (command == "recv") {
            Say("recv [" + messenger->Receive() + "]");
        } else if (command == "lock") {
            Say(messenger->Lock() ? "locked" : "lock failed");
        } else if (command == "abandon") {
            std::fflush(stdout);
            _exit(0);
        } else if (command == "quit") {
            break;
        }
    }
    messenger.reset();
    Say("left");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const bool serve = argc > 1 && std::strcmp(argv[1], "serve") == 0;
    std::unique_ptr<TIPCMessenger> messenger;
    try {
        messenger = std::make_unique<TIPCMessenger>();
    } catch (const EInOutError& error) {
        Say(QByteArray("error ") + error.what());
        return 1;
    }
    Say("box " + QByteArray::number(messenger->OwnBox()));
    return serve ? Serve(*messenger) : Obey(std::move(messenger));
}
