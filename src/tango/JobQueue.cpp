#include "tango/JobQueue.h"

#include "laser/LaserError.h"

struct TJobQueue::TJob {
    TBody Body;
    bool Detached = false;
    std::mutex Mutex;
    std::condition_variable Finished;
    bool Done = false;
    bool Abandoned = false;
    TJobResult Result;
};

namespace {

TJobResult ShuttingDown() {
    return {TJobResult::TKind::Failed, "The server is shutting down"};
}

} // namespace

TJobQueue::TJobQueue(THooks hooks) : FHooks(std::move(hooks)) {}

TJobQueue::~TJobQueue() {
    Close();
}

std::shared_ptr<TJobQueue::TJob> TJobQueue::Enqueue(TBody body, bool detached) {
    auto job = std::make_shared<TJob>();
    job->Body = std::move(body);
    job->Detached = detached;
    {
        const std::lock_guard lock(FMutex);
        if (FClosed)
            return nullptr;
        FJobs.push_back(job);
    }
    if (FHooks.Wake)
        FHooks.Wake();
    return job;
}

TJobResult TJobQueue::Run(TBody body, std::chrono::milliseconds wait) {
    const std::shared_ptr<TJob> job = Enqueue(std::move(body), false);
    if (!job)
        return ShuttingDown();
    std::unique_lock lock(job->Mutex);
    if (job->Finished.wait_for(lock, wait, [&] { return job->Done; }))
        return job->Result;
    job->Abandoned = true;
    if (FHooks.Abandoned)
        FHooks.Abandoned();
    return {};
}

void TJobQueue::Post(TBody body) {
    Enqueue(std::move(body), true);
}

TJobResult TJobQueue::Execute(const TBody& body) {
    try {
        return {TJobResult::TKind::Done, body()};
    } catch (const ERefused& refusal) {
        return {TJobResult::TKind::Refused, refusal.what()};
    } catch (const ELaserError& error) {
        return {TJobResult::TKind::Failed, error.Message().toStdString()};
    } catch (const std::exception& error) {
        return {TJobResult::TKind::Failed, error.what()};
    }
}

void TJobQueue::RunPending() {
    for (;;) {
        std::shared_ptr<TJob> job;
        {
            const std::lock_guard lock(FMutex);
            if (FJobs.empty())
                return;
            job = FJobs.front();
            FJobs.pop_front();
        }
        TJobResult result = Execute(job->Body);
        if (job->Detached)
            continue;
        {
            const std::lock_guard lock(job->Mutex);
            job->Result = std::move(result);
            job->Done = true;
            if (job->Abandoned && FHooks.LateDone)
                FHooks.LateDone(job->Result);
        }
        job->Finished.notify_all();
    }
}

bool TJobQueue::HasPending() const {
    const std::lock_guard lock(FMutex);
    return !FJobs.empty();
}

void TJobQueue::Close() {
    std::deque<std::shared_ptr<TJob>> dropped;
    {
        const std::lock_guard lock(FMutex);
        FClosed = true;
        dropped.swap(FJobs);
    }
    for (const std::shared_ptr<TJob>& job : dropped) {
        {
            const std::lock_guard lock(job->Mutex);
            job->Result = ShuttingDown();
            job->Done = true;
        }
        job->Finished.notify_all();
    }
}
