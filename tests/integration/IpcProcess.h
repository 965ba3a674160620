#pragma once

// Child processes for the mailbox tests: started with fork and exec, their
// standard input and output connected to pipes. Every read is bounded by a
// generous limit so that a broken peer fails the test instead of hanging it.

#include <QByteArray>
#include <QByteArrayList>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

class TIpcProcess {
public:
    static constexpr int ReadLimitMs = 30000;

    TIpcProcess(const QByteArray& program, const QByteArrayList& args) {
        int in[2], out[2], err[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
            return;
        std::vector<QByteArray> storage{program};
        for (const QByteArray& arg : args)
            storage.push_back(arg);
        std::vector<char*> argv;
        for (QByteArray& arg : storage)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        FPid = fork();
        if (FPid == 0) {
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            dup2(err[1], STDERR_FILENO);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        close(err[1]);
        FIn = in[1];
        FOut = out[0];
        FErr = err[0];
    }

    ~TIpcProcess() {
        CloseInput();
        if (FPid > 0 && !FReaped) {
            kill(FPid, SIGKILL);
            Wait();
        }
        if (FOut >= 0)
            close(FOut);
        if (FErr >= 0)
            close(FErr);
    }

    TIpcProcess(const TIpcProcess&) = delete;
    TIpcProcess& operator=(const TIpcProcess&) = delete;

    pid_t Pid() const { return FPid; }

    void WriteLine(const QByteArray& line) {
        const QByteArray data = line + '\n';
        [[maybe_unused]] ssize_t written = write(FIn, data.constData(), data.size());
    }

    void CloseInput() {
        if (FIn >= 0) {
            close(FIn);
            FIn = -1;
        }
    }

    // The next line of standard output without its line end; empty when
    // the output ends or nothing comes within the limit.
    QByteArray ReadLine() {
        for (;;) {
            const qsizetype end = FOutBuffer.indexOf('\n');
            if (end >= 0) {
                const QByteArray line = FOutBuffer.left(end);
                FOutBuffer.remove(0, end + 1);
                return line;
            }
            if (!ReadMore(FOut, FOutBuffer))
                return std::exchange(FOutBuffer, QByteArray());
        }
    }

    // Sends a control line and returns the answer line.
    QByteArray Ask(const QByteArray& line) {
        WriteLine(line);
        return ReadLine();
    }

    // Reads standard output and standard error to their end and reaps the
    // process; returns its wait status.
    int Finish() {
        while (ReadMore(FOut, FOutBuffer)) {
        }
        while (ReadMore(FErr, FErrBuffer)) {
        }
        return Wait();
    }

    const QByteArray& Output() const { return FOutBuffer; }
    const QByteArray& Errors() const { return FErrBuffer; }

    int Wait() {
        if (FReaped)
            return FStatus;
        while (waitpid(FPid, &FStatus, 0) < 0 && errno == EINTR) {
        }
        FReaped = true;
        return FStatus;
    }

    void Kill(int signalNumber) {
        kill(FPid, signalNumber);
        if (signalNumber == SIGKILL)
            Wait();
    }

private:
    static bool ReadMore(int fd, QByteArray& buffer) {
        pollfd ready{fd, POLLIN, 0};
        if (fd < 0 || poll(&ready, 1, ReadLimitMs) <= 0)
            return false;
        char chunk[4096];
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got <= 0)
            return false;
        buffer.append(chunk, got);
        return true;
    }

    pid_t FPid = -1;
    int FIn = -1;
    int FOut = -1;
    int FErr = -1;
    int FStatus = 0;
    bool FReaped = false;
    QByteArray FOutBuffer;
    QByteArray FErrBuffer;
};
