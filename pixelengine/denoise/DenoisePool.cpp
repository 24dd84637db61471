#include "denoise/DenoisePool.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>

#include "PixelEngine.h"
#include "denoise/DenoiseRecords.h"

static_assert(sizeof(pthread_t) <= sizeof(uintptr_t), "thread identifiers must fit the handle type");

DenoiseEvent* DenoiseEventCreate(DenoiseMemHandle, void*)
{
    if (DenoiseFaultInjectHit())
        return nullptr;
    auto* event = static_cast<DenoiseEvent*>(std::malloc(sizeof(DenoiseEvent)));
    if (!event)
        return nullptr;
    if (pthread_mutex_init(&event->mutex, nullptr) != 0) {
        std::free(event);
        return nullptr;
    }
    if (pthread_cond_init(&event->condition, nullptr) != 0) {
        pthread_mutex_destroy(&event->mutex);
        std::free(event);
        return nullptr;
    }
    event->signalled = 0;
    return event;
}

int DenoiseEventDestroy(DenoiseMemHandle, DenoiseEvent* event)
{
    if (!event)
        return -2;
    pthread_cond_destroy(&event->condition);
    pthread_mutex_destroy(&event->mutex);
    std::free(event);
    return 0;
}

int DenoiseEventWait(DenoiseEvent* event, int timeout)
{
    if (!event)
        return -2;
    if (pthread_mutex_lock(&event->mutex) != 0)
        return -1;
    int rc = 0;
    if (timeout == -1) {
        // Condition waits may wake without a signal: wait on the flag itself.
        while (!event->signalled && rc == 0)
            rc = pthread_cond_wait(&event->condition, &event->mutex);
    }
    event->signalled = 0;
    const int unlockRc = pthread_mutex_unlock(&event->mutex);
    return (rc != 0 || unlockRc != 0) ? -1 : 0;
}

int DenoiseEventSignal(DenoiseEvent* event)
{
    if (!event)
        return -2;
    if (pthread_mutex_lock(&event->mutex) != 0)
        return -1;
    event->signalled = 1;
    const int rc = pthread_cond_signal(&event->condition);
    pthread_mutex_unlock(&event->mutex);
    return rc != 0 ? -1 : 0;
}

int DenoiseMutexCreate(DenoiseMemHandle handle, DenoiseMutex** out)
{
    auto* lock = static_cast<DenoiseMutex*>(DenoiseCalloc(handle, 1, sizeof(DenoiseMutex)));
    if (lock && pthread_mutex_init(&lock->mutex, nullptr) != 0) {
        DenoiseFree(handle, lock);
        lock = nullptr;
    }
    if (lock)
        lock->handle = handle;
    if (out)
        *out = lock;
    return lock ? 0 : PE_ERR_NOMEM;
}

int DenoiseMutexDestroy(DenoiseMutex* lock)
{
    if (!lock)
        return 0;
    pthread_mutex_destroy(&lock->mutex);
    DenoiseFree(lock->handle, lock);
    return 0;
}

int DenoiseMutexLock(DenoiseMutex* lock)
{
    if (!lock)
        return -1;
    pthread_mutex_lock(&lock->mutex);
    return 0;
}

int DenoiseMutexUnlock(DenoiseMutex* lock)
{
    if (!lock)
        return -1;
    pthread_mutex_unlock(&lock->mutex);
    return 0;
}

namespace {

void setState(DenoiseWorker* worker, uint32_t state)
{
    DenoisePool* pool = worker->pool;
    pthread_mutex_lock(&pool->stateMutex);
    worker->state.store(state, std::memory_order_release);
    pthread_cond_broadcast(&pool->stateChanged);
    pthread_mutex_unlock(&pool->stateMutex);
}

// Blocks until the worker's state has `bit`.
void waitForState(DenoisePool* pool, DenoiseWorker* worker, uint32_t bit)
{
    pthread_mutex_lock(&pool->stateMutex);
    while (!(worker->state.load(std::memory_order_acquire) & bit))
        pthread_cond_wait(&pool->stateChanged, &pool->stateMutex);
    pthread_mutex_unlock(&pool->stateMutex);
}

void* workerMain(void* argument)
{
    auto* worker = static_cast<DenoiseWorker*>(argument);
    setState(worker, DENOISE_WORKER_RUNNING);
    for (;;) {
        DenoiseEventWait(worker->event, -1);
        if (worker->state.load(std::memory_order_acquire) == DENOISE_WORKER_QUIT) {
            setState(worker, DENOISE_WORKER_FINISHED);
            return nullptr;
        }
        if (worker->lock)
            DenoiseMutexLock(worker->lock);
        if (!worker->counter || *worker->counter >= worker->count) {
            if (worker->lock)
                DenoiseMutexUnlock(worker->lock);
            setState(worker, DENOISE_WORKER_IDLE);
            continue;
        }
        const uint32_t job = *worker->counter;
        const DenoiseJobFunction function = worker->functions[size_t(worker->stride) * job];
        void* jobArgument = worker->arguments ? worker->arguments[job] : nullptr;
        *worker->counter = job + 1;
        if (worker->lock)
            DenoiseMutexUnlock(worker->lock);
        if (!function) {
            setState(worker, DENOISE_WORKER_IDLE);
            continue;
        }
        function(jobArgument);
        // Come straight back for the next job.
        DenoiseEventSignal(worker->event);
    }
}

// Stops and joins the first `started` threads and releases everything the
// start created; used by a failed start and by shutdown.
void stopWorkers(DenoisePool* pool, int started)
{
    for (int i = 0; i < started; ++i) {
        DenoiseWorker* w = &pool->workers[i];
        if (!w->threadStarted)
            continue;
        // Running (start failed half-way) or idle: either way it waits on its event.
        waitForState(pool, w, DENOISE_WORKER_RUNNING | DENOISE_WORKER_IDLE);
        w->state.store(DENOISE_WORKER_QUIT, std::memory_order_release);
        DenoiseEventSignal(w->event);
    }
    for (int i = 0; i < started; ++i) {
        DenoiseWorker* w = &pool->workers[i];
        if (w->threadStarted) {
            waitForState(pool, w, DENOISE_WORKER_FINISHED);
            pthread_join(w->thread, nullptr);
            w->threadStarted = false;
        }
    }
    for (int i = 0; i < pool->count; ++i) {
        DenoiseWorker* w = &pool->workers[i];
        if (w->event)
            DenoiseEventDestroy(pool->handle, w->event);
        w->~DenoiseWorker();
    }
    DenoiseFree(pool->handle, pool->workers);
    pool->workers = nullptr;
    pool->count = 0;
    if (pool->lock) {
        DenoiseMutexDestroy(pool->lock);
        pool->lock = nullptr;
    }
    if (pool->stateSyncReady) {
        pthread_cond_destroy(&pool->stateChanged);
        pthread_mutex_destroy(&pool->stateMutex);
        pool->stateSyncReady = false;
    }
}

} // namespace

int DenoisePoolStartWorkers(DenoiseMemHandle handle, DenoisePool* pool)
{
    if (!pool)
        return -1;
    if (pool->workers)
        return 0;
    const int n = DenoiseThreadCount();
    pool->handle = handle;
    const int lockRc = DenoiseMutexCreate(handle, &pool->lock);
    if (lockRc != 0)
        return lockRc;
    if (pthread_mutex_init(&pool->stateMutex, nullptr) != 0) {
        DenoiseMutexDestroy(pool->lock);
        pool->lock = nullptr;
        return PE_ERR_NOMEM;
    }
    if (pthread_cond_init(&pool->stateChanged, nullptr) != 0) {
        pthread_mutex_destroy(&pool->stateMutex);
        DenoiseMutexDestroy(pool->lock);
        pool->lock = nullptr;
        return PE_ERR_NOMEM;
    }
    pool->stateSyncReady = true;

    void* memory = DenoiseCalloc(handle, size_t(n), sizeof(DenoiseWorker));
    if (!memory) {
        pool->count = 0;
        stopWorkers(pool, 0);
        return PE_ERR_NOMEM;
    }
    pool->workers = static_cast<DenoiseWorker*>(memory);
    for (int i = 0; i < n; ++i)
        new (&pool->workers[i]) DenoiseWorker{};
    pool->count = n;

    int started = 0;
    bool failed = false;
    for (int i = 0; i < n; ++i) {
        DenoiseWorker* w = &pool->workers[i];
        w->event = DenoiseEventCreate(handle, nullptr);
        if (!w->event) {
            failed = true;
            break;
        }
        w->state.store(DENOISE_WORKER_QUIT, std::memory_order_relaxed);
        w->index = i;
        w->pool = pool;
        const int rc = DenoiseFaultInjectHit() ? EAGAIN : pthread_create(&w->thread, nullptr, workerMain, w);
        if (rc != 0) {
            failed = true;
            break;
        }
        w->threadStarted = true;
        started = i + 1;
    }
    if (failed) {
        stopWorkers(pool, started);
        return PE_ERR_NOMEM;
    }
    for (int i = 0; i < n; ++i) {
        DenoiseWorker* w = &pool->workers[i];
        waitForState(pool, w, DENOISE_WORKER_RUNNING);
        setState(w, DENOISE_WORKER_IDLE);
    }
    return 0;
}

int DenoisePoolCreate(DenoiseMemHandle handle, DenoisePool** out)
{
    void* memory = DenoiseCalloc(handle, 1, sizeof(DenoisePool));
    if (!memory) {
        if (out)
            *out = nullptr;
        return PE_ERR_NOMEM;
    }
    auto* pool = static_cast<DenoisePool*>(memory);
    pool->handle = handle;
    const int rc = DenoisePoolStartWorkers(handle, pool);
    if (out)
        *out = pool;
    return rc;
}

void DenoisePoolDispatch(DenoisePool* pool, DenoiseJobFunction const* functions, uint32_t stride,
                         void* const* arguments, uint32_t count)
{
    if (!pool || !pool->workers)
        return;
    for (int i = 0; i < pool->count; ++i) {
        DenoiseWorker* w = &pool->workers[i];
        w->stride = stride;
        w->count = count;
        w->functions = functions;
        w->arguments = arguments;
        w->counter = &pool->counter;
        w->lock = pool->lock;
        w->state.store(DENOISE_WORKER_POSTED, std::memory_order_release);
        DenoiseEventSignal(w->event);
    }
    for (int i = 0; i < pool->count; ++i)
        waitForState(pool, &pool->workers[i], DENOISE_WORKER_IDLE);
}

void DenoisePoolRunStrided(DenoisePool* pool, DenoiseJobFunction const* functions, uint32_t stride,
                           void* const* arguments, uint32_t count)
{
    if (!pool)
        return;
    pool->counter = 0;
    DenoisePoolDispatch(pool, functions, stride, arguments, count);
}

void DenoisePoolRun(DenoisePool* pool, DenoiseJobFunction function, void* const* arguments, uint32_t count)
{
    const DenoiseJobFunction table[1] = {function};
    DenoisePoolRunStrided(pool, table, 0, arguments, count);
}

void DenoisePoolRunEach(DenoisePool* pool, DenoiseJobFunction const* functions, void* const* arguments,
                        uint32_t count)
{
    DenoisePoolRunStrided(pool, functions, 1, arguments, count);
}

void DenoisePoolShutdown(DenoisePool* pool)
{
    if (!pool || !pool->workers || pool->count < 1)
        return;
    stopWorkers(pool, pool->count);
}

void DenoisePoolDestroy(DenoisePool* pool)
{
    if (!pool)
        return;
    DenoisePoolShutdown(pool);
    DenoiseFree(pool->handle, pool);
}

uintptr_t DenoiseThreadCreate(void* (*function)(void*), void* argument)
{
    if (!function)
        return 0;
    pthread_t thread;
    if (pthread_create(&thread, nullptr, function, argument) != 0)
        return 0;
    return uintptr_t(thread);
}

int DenoiseThreadJoin(uintptr_t identifier)
{
    if (identifier != 0)
        pthread_join(pthread_t(identifier), nullptr);
    return 0;
}

int DenoiseSleep(unsigned seconds)
{
    sleep(seconds);
    return 0;
}
