// Denoiser worker pool: runs are barriers, every job runs exactly once, and
// creation failures are reported without hanging or leaking.
#include <QtTest>

#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "PixelEngine.h"
#include "denoise/DenoiseMemory.h"
#include "denoise/DenoisePool.h"

namespace {
struct Job {
    std::atomic<int> runs{0};
    int work = 0;
    uint64_t input = 0;
    uint64_t output = 0;
};

uint64_t expected(uint64_t v, int work)
{
    for (int i = 0; i < work; ++i)
        v = v * 6364136223846793005ull + 1442695040888963407ull;
    return v;
}

int runJob(void* argument)
{
    auto* job = static_cast<Job*>(argument);
    job->output = expected(job->input, job->work);
    job->runs.fetch_add(1, std::memory_order_relaxed);
    return 0;
}

int slowJob(void* argument)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return runJob(argument);
}
}

class TestDenoisePool : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { DenoiseFaultInjectAfter(-1); }
    void createAndDestroyRightAway();
    void runEachAndStrided();
    void eventRemembersSignal();
    void nullRecords();
    void creationFailuresAreReported();
    void unevenJobsOnTwoPools();
};

void TestDenoisePool::createAndDestroyRightAway()
{
    for (int i = 0; i < 50; ++i) {
        DenoisePool* pool = nullptr;
        QCOMPARE(DenoisePoolCreate(nullptr, &pool), 0);
        QVERIFY(pool);
        QCOMPARE(pool->count, 4);
        for (int w = 0; w < pool->count; ++w)
            QCOMPARE(pool->workers[w].state.load(), uint32_t(DENOISE_WORKER_IDLE));
        DenoisePoolDestroy(pool);
    }
    DenoisePoolDestroy(nullptr);
}

void TestDenoisePool::runEachAndStrided()
{
    // A null entry ends the worker that meets it; the others go on.
    DenoisePool* pool = nullptr;
    QCOMPARE(DenoisePoolCreate(nullptr, &pool), 0);
    const int count = 40;
    std::vector<Job> jobs(count);
    std::vector<void*> args;
    std::vector<DenoiseJobFunction> functions(count, slowJob);
    for (auto& j : jobs)
        args.push_back(&j);
    functions[5] = nullptr;
    DenoisePoolRunEach(pool, functions.data(), args.data(), uint32_t(count));
    int ran = 0;
    for (int i = 0; i < count; ++i) {
        QVERIFY(jobs[size_t(i)].runs.load() <= 1);
        ran += jobs[size_t(i)].runs.load();
    }
    QCOMPARE(jobs[5].runs.load(), 0);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(jobs[size_t(i)].runs.load(), 1);
    // Only one worker stopped early, so the others ran everything after the null entry.
    QCOMPARE(ran, count - 1);
    for (int w = 0; w < pool->count; ++w)
        QCOMPARE(pool->workers[w].state.load(), uint32_t(DENOISE_WORKER_IDLE));

    // The pool stays usable.
    for (auto& j : jobs)
        j.runs = 0;
    DenoisePoolRun(pool, runJob, args.data(), uint32_t(count));
    for (auto& j : jobs)
        QCOMPARE(j.runs.load(), 1);

    // Stride 2: job i calls entry 2i; stride 0: every job the first entry.
    static std::atomic<int> calledA{0}, calledB{0};
    DenoiseJobFunction table[4] = {[](void*) { return calledA.fetch_add(1), 0; }, nullptr,
                                   [](void*) { return calledB.fetch_add(1), 0; }, nullptr};
    void* none[2] = {nullptr, nullptr};
    DenoisePoolRunStrided(pool, table, 2, none, 2);
    QCOMPARE(calledA.load(), 1);
    QCOMPARE(calledB.load(), 1);
    DenoisePoolRunStrided(pool, table, 0, none, 2);
    QCOMPARE(calledA.load(), 3);
    DenoisePoolDestroy(pool);
}

void TestDenoisePool::eventRemembersSignal()
{
    DenoiseEvent* event = DenoiseEventCreate(nullptr, nullptr);
    QVERIFY(event);
    QCOMPARE(DenoiseEventSignal(event), 0);
    QCOMPARE(DenoiseEventSignal(event), 0);
    QCOMPARE(DenoiseEventWait(event, -1), 0);  // returns at once
    QCOMPARE(event->signalled, 0);
    QCOMPARE(DenoiseEventWait(event, 0), 0);   // no wait without a pending signal
    std::atomic<bool> woke{false};
    std::thread waiter([&] {
        DenoiseEventWait(event, -1);
        woke = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    QVERIFY(!woke.load());
    DenoiseEventSignal(event);
    waiter.join();
    QVERIFY(woke.load());
    QCOMPARE(DenoiseEventDestroy(nullptr, event), 0);
}

void TestDenoisePool::nullRecords()
{
    QCOMPARE(DenoiseEventWait(nullptr, -1), -2);
    QCOMPARE(DenoiseEventSignal(nullptr), -2);
    QCOMPARE(DenoiseEventDestroy(nullptr, nullptr), -2);
    QCOMPARE(DenoiseMutexLock(nullptr), -1);
    QCOMPARE(DenoiseMutexUnlock(nullptr), -1);
    QCOMPARE(DenoiseMutexDestroy(nullptr), 0);
    QCOMPARE(DenoisePoolStartWorkers(nullptr, nullptr), -1);
    DenoisePoolRun(nullptr, runJob, nullptr, 3);
    DenoisePoolShutdown(nullptr);
    QCOMPARE(DenoiseThreadCreate(nullptr, nullptr), uintptr_t(0));
    QCOMPARE(DenoiseThreadJoin(0), 0);
    static std::atomic<int> ran{0};
    const uintptr_t id = DenoiseThreadCreate([](void*) -> void* { ran = 1; return nullptr; }, nullptr);
    QVERIFY(id != 0);
    QCOMPARE(DenoiseThreadJoin(id), 0);
    QCOMPARE(ran.load(), 1);
    DenoiseMutex* lock = nullptr;
    QCOMPARE(DenoiseMutexCreate(nullptr, &lock), 0);
    QCOMPARE(DenoiseMutexLock(lock), 0);
    QCOMPARE(DenoiseMutexUnlock(lock), 0);
    QCOMPARE(DenoiseMutexDestroy(lock), 0);
}

void TestDenoisePool::creationFailuresAreReported()
{
    // Fail the k-th acquisition (pool record, lock, worker array, events,
    // threads) in turn: each must give -201 with everything released, never a hang.
    int failures = 0;
    for (int k = 0; k < 16; ++k) {
        DenoiseFaultInjectAfter(k);
        DenoisePool* pool = nullptr;
        const int rc = DenoisePoolCreate(nullptr, &pool);
        DenoiseFaultInjectAfter(-1);
        if (rc == 0) {
            QVERIFY(pool && pool->workers);
            Job job;
            void* arg = &job;
            DenoisePoolRun(pool, runJob, &arg, 1);
            QCOMPARE(job.runs.load(), 1);
        } else {
            ++failures;
            QCOMPARE(rc, int(PE_ERR_NOMEM));
            if (pool) {
                QVERIFY(!pool->workers);
                QCOMPARE(pool->count, 0);
                DenoisePoolRun(pool, runJob, nullptr, 0);  // harmless on a pool without workers
            }
        }
        DenoisePoolDestroy(pool);
    }
    QVERIFY(failures >= 10);
    DenoiseMutex* lock = reinterpret_cast<DenoiseMutex*>(1);
    DenoiseFaultInjectAfter(0);
    QCOMPARE(DenoiseMutexCreate(nullptr, &lock), int(PE_ERR_NOMEM));
    QVERIFY(!lock);
    QVERIFY(!DenoiseEventCreate(nullptr, nullptr));
}

void TestDenoisePool::unevenJobsOnTwoPools()
{
    // Two pools on two threads, each with runs of 0 to 39 jobs, mostly tiny
    // with the odd long one, so workers finish far apart: every job runs
    // exactly once and its result is complete when the run returns.
    auto worker = [](uint32_t seed, std::atomic<int>* bad) {
        DenoisePool* pool = nullptr;
        if (DenoisePoolCreate(nullptr, &pool) != 0) {
            ++*bad;
            return;
        }
        std::vector<Job> jobs(40);
        std::vector<void*> args;
        for (auto& j : jobs)
            args.push_back(&j);
        std::mt19937 rng(seed);
        for (int r = 0; r < 1500; ++r) {
            const uint32_t count = rng() % 40;
            for (uint32_t i = 0; i < count; ++i) {
                jobs[i].runs = 0;
                jobs[i].input = rng();
                jobs[i].work = (rng() % 16 == 0) ? int(rng() % 20000) : int(rng() % 50);
            }
            DenoisePoolRun(pool, runJob, args.data(), count);
            for (uint32_t i = 0; i < count; ++i)
                if (jobs[i].runs.load() != 1 || jobs[i].output != expected(jobs[i].input, jobs[i].work))
                    ++*bad;
        }
        DenoisePoolDestroy(pool);
    };
    std::atomic<int> bad{0};
    std::thread a(worker, 1u, &bad), b(worker, 2u, &bad);
    a.join();
    b.join();
    QCOMPARE(bad.load(), 0);
}

QTEST_GUILESS_MAIN(TestDenoisePool)
#include "tst_denoise_pool.moc"
