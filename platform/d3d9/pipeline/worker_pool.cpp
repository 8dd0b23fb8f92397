// The drawing threads: started on first use, parked on a condition variable
// between jobs (no spinning, so an idle program costs no processor time). The
// shared pool's threads are never joined; the process ends with them parked.
#include "platform/d3d9/pipeline/worker_pool.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "platform/base/printable_text.h"

namespace plat::d3d9 {

namespace {

int ThreadsFromEnvironment() {
    if (const char* text = std::getenv("TUMBRAL_RASTER_THREADS")) {
        char* end = nullptr;
        long n = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && n >= 1 && n <= 16) return int(n);
        std::fprintf(stderr,
                     "tumbral: TUMBRAL_RASTER_THREADS=%s is not a number from 1 to 16; using the default\n",
                     PrintableText(text).c_str());
    }
    unsigned hw = std::thread::hardware_concurrency();
    return int(std::clamp(hw, 1u, 8u));
}

}  // namespace

WorkerPool& WorkerPool::Shared() {
    // Never destroyed: the threads stay parked until the process ends.
    static WorkerPool* pool = new WorkerPool(ThreadsFromEnvironment());
    return *pool;
}

WorkerPool::WorkerPool(int threads) : m_threads(std::max(threads, 1)) {}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    for (std::thread& t : m_workers) t.join();
}

void WorkerPool::StartWorkers() {
    m_started = true;
    for (int i = 1, n = m_threads; i < n; ++i) {
        try {
            m_workers.emplace_back([this] { WorkerLoop(); });
        } catch (const std::system_error&) {
            m_threads = i;  // the pool goes on with the threads it has
            break;
        }
    }
}

void WorkerPool::WorkerLoop() {
    uint32_t seen = 0;
    for (;;) {
        TaskFn fn;
        void* context;
        int tasks;
        uint32_t generation;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [&] { return m_generation != seen || m_stop; });
            if (m_stop) return;
            seen = generation = m_generation;
            fn = m_fn;
            context = m_context;
            tasks = m_tasks;
        }
        Drain(generation, fn, context, tasks);
    }
}

void WorkerPool::Drain(uint32_t generation, TaskFn fn, void* context, int tasks) {
    for (;;) {
        uint64_t current = m_next.load(std::memory_order_relaxed);
        int task;
        do {
            if (uint32_t(current >> 32) != generation) return;
            task = int(uint32_t(current));
            if (task >= tasks) return;
        } while (!m_next.compare_exchange_weak(current, current + 1, std::memory_order_acq_rel));
        fn(context, task);
        if (m_finished.fetch_add(1, std::memory_order_acq_rel) + 1 == tasks) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done.notify_all();
        }
    }
}

void WorkerPool::Run(int tasks, TaskFn fn, void* context) {
    if (tasks <= 0) return;
    std::lock_guard<std::mutex> run(m_runMutex);
    if (Threads() == 1 || tasks == 1) {
        for (int t = 0; t < tasks; ++t) fn(context, t);
        return;
    }
    if (!m_started) StartWorkers();
    uint32_t generation;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        generation = ++m_generation;
        m_fn = fn;
        m_context = context;
        m_tasks = tasks;
        m_finished.store(0, std::memory_order_relaxed);
        m_next.store(uint64_t(generation) << 32, std::memory_order_release);
    }
    m_wake.notify_all();
    Drain(generation, fn, context, tasks);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_done.wait(lock, [&] { return m_finished.load(std::memory_order_acquire) == tasks; });
}

}  // namespace plat::d3d9
