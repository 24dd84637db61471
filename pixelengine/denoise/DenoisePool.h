#pragma once
// The denoiser's pool of worker threads. A run hands every worker the same
// job list and a shared counter; each worker takes jobs until the list is
// exhausted, and the run returns only after every job has returned.
#include <pthread.h>

#include <atomic>
#include <cstdint>

#include "denoise/DenoiseMemory.h"

// Auto-reset event: a signal wakes one wait or is remembered for the next.
struct DenoiseEvent {
    pthread_mutex_t mutex;
    pthread_cond_t condition;
    int signalled;
};

DenoiseEvent* DenoiseEventCreate(DenoiseMemHandle handle, void* reserved);
int DenoiseEventDestroy(DenoiseMemHandle handle, DenoiseEvent* event);
// timeout -1 waits until signalled; any other value only consumes a pending signal.
int DenoiseEventWait(DenoiseEvent* event, int timeout);
int DenoiseEventSignal(DenoiseEvent* event);

struct DenoiseMutex {
    DenoiseMemHandle handle;
    pthread_mutex_t mutex;
};

int DenoiseMutexCreate(DenoiseMemHandle handle, DenoiseMutex** out);
int DenoiseMutexDestroy(DenoiseMutex* lock);
int DenoiseMutexLock(DenoiseMutex* lock);
int DenoiseMutexUnlock(DenoiseMutex* lock);

using DenoiseJobFunction = int (*)(void*);

// Worker state bits.
enum DenoiseWorkerState : uint32_t {
    DENOISE_WORKER_RUNNING = 1,
    DENOISE_WORKER_IDLE = 2,
    DENOISE_WORKER_POSTED = 4,
    DENOISE_WORKER_QUIT = 8,     // also "created, thread not yet running"
    DENOISE_WORKER_FINISHED = 16,
};

struct DenoisePool;

struct DenoiseWorker {
    std::atomic<uint32_t> state;
    DenoiseEvent* event;
    int32_t index;
    DenoiseJobFunction const* functions;
    uint32_t stride;
    void* const* arguments;
    uint32_t count;
    uint32_t* counter;
    DenoiseMutex* lock;
    DenoisePool* pool;
    pthread_t thread;
    bool threadStarted;
};

struct DenoisePool {
    DenoiseWorker* workers;
    int32_t count;
    uint32_t counter;
    DenoiseMemHandle handle;
    DenoiseMutex* lock;
    // Workers report state changes here so that the controlling thread can
    // block instead of polling.
    pthread_mutex_t stateMutex;
    pthread_cond_t stateChanged;
    bool stateSyncReady;
};

int DenoisePoolCreate(DenoiseMemHandle handle, DenoisePool** out);
int DenoisePoolStartWorkers(DenoiseMemHandle handle, DenoisePool* pool);
void DenoisePoolRun(DenoisePool* pool, DenoiseJobFunction function, void* const* arguments, uint32_t count);
void DenoisePoolRunStrided(DenoisePool* pool, DenoiseJobFunction const* functions, uint32_t stride,
                           void* const* arguments, uint32_t count);
void DenoisePoolRunEach(DenoisePool* pool, DenoiseJobFunction const* functions, void* const* arguments,
                        uint32_t count);
void DenoisePoolDispatch(DenoisePool* pool, DenoiseJobFunction const* functions, uint32_t stride,
                         void* const* arguments, uint32_t count);
void DenoisePoolShutdown(DenoisePool* pool);
void DenoisePoolDestroy(DenoisePool* pool);

// Thread helpers of the module: 0 for a null function or a failed start.
uintptr_t DenoiseThreadCreate(void* (*function)(void*), void* argument);
int DenoiseThreadJoin(uintptr_t identifier);
int DenoiseSleep(unsigned seconds);
