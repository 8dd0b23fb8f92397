// A small pool of drawing threads shared by every device of the process. The
// calling thread takes part in the work, so a pool of one thread runs
// everything on the caller and starts no thread at all.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace plat::d3d9 {

class WorkerPool {
  public:
    using TaskFn = void (*)(void* context, int task);

    // The process's pool: as many threads as processors (at most 8), or the
    // count in TUMBRAL_RASTER_THREADS (1 to 16). Never destroyed.
    static WorkerPool& Shared();

    explicit WorkerPool(int threads);
    // Stops and joins the threads (the shared pool is never destroyed).
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Threads that take part in Run, the caller included.
    int Threads() const { return m_threads.load(std::memory_order_relaxed); }

    // Runs fn(context, t) for every t in [0, tasks), each exactly once, spread
    // over the pool; returns when all are done. Calls from several threads
    // take turns.
    void Run(int tasks, TaskFn fn, void* context);

  private:
    void StartWorkers();
    void WorkerLoop();
    // Takes tasks of job `generation` until none is left.
    void Drain(uint32_t generation, TaskFn fn, void* context, int tasks);

    std::atomic<int> m_threads;  // lowered if a thread cannot be started
    bool m_started = false;
    std::vector<std::thread> m_workers;
    std::mutex m_runMutex;  // one Run at a time

    std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    uint32_t m_generation = 0;
    bool m_stop = false;
    TaskFn m_fn = nullptr;
    void* m_context = nullptr;
    int m_tasks = 0;
    // High half: the job's generation; low half: the next task to take. A
    // thread that wakes late for a finished job cannot take the next job's tasks.
    std::atomic<uint64_t> m_next{0};
    std::atomic<int> m_finished{0};
};

}  // namespace plat::d3d9
