// trevalon-ipc: sends laser commands to a running Trevalon through its IPC
// mailbox and prints the replies, one line each.
//
// Exit status: 0 every command got a reply, none of them an error reply;
// 1 bad command line or output not writable; 2 the mailbox cannot be
// opened, no box is free or Trevalon is not running; 3 a reply did not come
// in time; 4 the laser refused a command with an error reply ("?1" and so
// on: the reply is printed like any other and the remaining commands are
// still sent). 1, 2 and 3 win over 4. On SIGINT, SIGTERM or SIGHUP the box
// is given back and the process then ends by that signal.

#include "ClientOptions.h"
#include "ipc/IPCMessenger.h"
#include "platform/Ticks.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitUsage = 1;
constexpr int ExitNoMailbox = 2;
constexpr int ExitTimeout = 3;
constexpr int ExitLaserError = 4;
constexpr int ReplyPollMs = 10;

volatile std::sig_atomic_t gStopSignal = 0;
int gWakePipe[2] = {-1, -1};

extern "C" void OnStopSignal(int signalNumber) {
    const int savedErrno = errno;
    gStopSignal = signalNumber;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(gWakePipe[1], &byte, 1);
    errno = savedErrno;
}

void InstallStopHandlers() {
    if (pipe2(gWakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        gWakePipe[0] = gWakePipe[1] = -1;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signalNumber, &action, nullptr);
    // A closed output pipe must not kill the process before it gives its
    // box back; the failed write is reported instead.
    std::signal(SIGPIPE, SIG_IGN);
}

// The rule the program applies to the laser's replies (IsErrorReply in the
// laser library), repeated here so that the client needs only the mailbox
// library: two or more characters beginning with "?"; a lone "?" is data.
bool IsLaserErrorReply(const QByteArray& reply) {
    return reply.size() > 1 && reply.at(0) == '?';
}

// Waits up to `milliseconds`, returning early when a stop signal arrives.
void Pause(int milliseconds) {
    pollfd wake{gWakePipe[0], POLLIN, 0};
    poll(&wake, gWakePipe[0] >= 0 ? 1 : 0, milliseconds);
}

// Ends the process by the signal that stopped it, as its parent expects.
[[noreturn]] void DieBySignal(int signalNumber) {
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
    _exit(128 + signalNumber);
}

void PrintUsage(std::FILE* out) {
    std::fputs("Usage: trevalon-ipc [--timeout SECONDS] [--] COMMAND...\n"
               "Sends each laser COMMAND (for example SS) to the running Trevalon through\n"
               "its IPC mailbox and prints each reply on its own line.\n"
               "  --timeout SECONDS  wait this long for each reply (default 5)\n"
               "Exit status: 0 all replies received, none an error reply,\n"
               "1 usage or output error, 2 mailbox not available, no free box or\n"
               "Trevalon not running, 3 no reply in time, 4 the laser refused a command\n"
               "with an error reply such as ?1 (it is printed, the rest are still sent).\n",
               out);
}

enum class TWaitResult { Reply, Timeout, Stopped };

TWaitResult Exchange(TIPCMessenger& messenger, const QByteArray& command, std::int64_t timeoutMs,
                     QByteArray& reply) {
    const std::int64_t deadline = platform::TickCount() + timeoutMs;
    bool sent = false;
    for (;;) {
        if (gStopSignal != 0)
            return TWaitResult::Stopped;
        // A mutex that stays busy beyond its limit only delays the request.
        if (!sent)
            sent = messenger.SendRequest(command);
        if (sent) {
            if (std::optional<QByteArray> answer = messenger.TakeReply()) {
                reply = *answer;
                return TWaitResult::Reply;
            }
        }
        const std::int64_t left = deadline - platform::TickCount();
        if (left <= 0)
            return TWaitResult::Timeout;
        Pause(static_cast<int>(std::min<std::int64_t>(left, ReplyPollMs)));
    }
}

int Run(const TClientOptions& options) {
    std::unique_ptr<TIPCMessenger> messenger;
    try {
        messenger = std::make_unique<TIPCMessenger>();
    } catch (const EInOutError& error) {
        std::fprintf(stderr, "trevalon-ipc: %s\n", error.what());
        return ExitNoMailbox;
    }
    // Alone in the mailbox, nobody can answer: waiting out the time-out
    // would only delay the same verdict.
    if (messenger->StartedAlone()) {
        std::fprintf(stderr, "trevalon-ipc: Trevalon is not running\n");
        return ExitNoMailbox;
    }
    int status = ExitOk;
    for (const QByteArray& command : options.Commands) {
        QByteArray reply;
        const TWaitResult result = Exchange(*messenger, command, options.TimeoutMs, reply);
        if (result == TWaitResult::Stopped)
            break;
        if (result == TWaitResult::Timeout) {
            std::fprintf(stderr, "trevalon-ipc: no reply to \"%s\" within %.3g s\n",
                         command.constData(), static_cast<double>(options.TimeoutMs) / 1000.0);
            status = ExitTimeout;
            break;
        }
        const bool refused = IsLaserErrorReply(reply);
        reply += '\n';
        if (std::fwrite(reply.constData(), 1, static_cast<std::size_t>(reply.size()), stdout) !=
                static_cast<std::size_t>(reply.size()) ||
            std::fflush(stdout) != 0) {
            std::fprintf(stderr, "trevalon-ipc: cannot write the reply\n");
            status = ExitUsage;
            break;
        }
        // A refused command does not stop the rest: a script sending a
        // sequence gets every reply and learns from the status that one
        // of them was an error.
        if (refused) {
            std::fprintf(stderr, "trevalon-ipc: the laser refused \"%s\"\n", command.constData());
            status = ExitLaserError;
        }
    }
    messenger.reset(); // gives the box back, whatever ended the loop
    return status;
}

} // namespace

int main(int argc, char** argv) {
    InstallStopHandlers();
    const TClientOptions options = ParseClientOptions(argc - 1, argv + 1);
    if (options.ShowHelp) {
        PrintUsage(stdout);
        return ExitOk;
    }
    if (!options.Error.isEmpty()) {
        std::fprintf(stderr, "trevalon-ipc: %s\n", qPrintable(options.Error));
        PrintUsage(stderr);
        return ExitUsage;
    }
    const int status = Run(options);
    if (gStopSignal != 0)
        DieBySignal(gStopSignal);
    return status;
}
