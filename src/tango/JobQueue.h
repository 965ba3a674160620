#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

// What became of a request carried out on the owner's thread.
struct TJobResult {
    enum class TKind {
        Done,    // carried out; Text holds the job's answer (may be empty)
        Refused, // not carried out (ERefused); Text says why
        Failed,  // failed on the way (a laser error); Text says how
        Pending, // still running when the caller's wait ended
    };
    TKind Kind = TKind::Pending;
    std::string Text;
};

// Raised by a job that refuses its request before anything was sent.
class ERefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Requests from other threads, carried out one at a time, in order, on the
// one thread that owns the laser. A caller waits for its job a bounded time,
// so that a slow laser never holds a Tango request past its client's
// time-out; a job it stopped waiting for still runs to its end.
//
// Thread-safe. The hooks run as follows: Wake on the caller's thread,
// after queueing (it must only ask the owner to call RunPending soon);
// Abandoned on the caller's thread, when its wait ends before the job does,
// with the job's lock held; LateDone on the owner's thread, when such a job
// has finished, also with the job's lock held. Neither may call back into
// the queue.
class TJobQueue {
public:
    using TBody = std::function<std::string()>;
    struct THooks {
        std::function<void()> Wake;
        std::function<void()> Abandoned;
        std::function<void(const TJobResult&)> LateDone;
    };

    explicit TJobQueue(THooks hooks);
    // Closes the queue.
    ~TJobQueue();
    TJobQueue(const TJobQueue&) = delete;
    TJobQueue& operator=(const TJobQueue&) = delete;

    // Any thread but the owner's: queues `body` and waits up to `wait` for
    // it. A body that raises ERefused gives Refused, any other exception
    // Failed with its text. A closed queue gives Failed at once.
    TJobResult Run(TBody body, std::chrono::milliseconds wait);
    // Queues `body` without waiting for it; its failures are dropped.
    void Post(TBody body);

    // The owner's thread: runs every queued job, in order, including jobs
    // queued while it runs.
    void RunPending();
    bool HasPending() const;

    // Fails the jobs still queued and every later Run or Post; a job that is
    // running finishes.
    void Close();

private:
    struct TJob;
    std::shared_ptr<TJob> Enqueue(TBody body, bool detached);
    static TJobResult Execute(const TBody& body);

    THooks FHooks;
    mutable std::mutex FMutex;
    std::deque<std::shared_ptr<TJob>> FJobs;
    bool FClosed = false;
};
