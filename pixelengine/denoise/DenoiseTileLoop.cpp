#include "denoise/DenoiseTileLoop.h"

#include <algorithm>

#include "PixelEngine.h"
#include "denoise/DenoisePool.h"
#include "denoise/DenoiseTilePhases.h"

int DenoiseTileJobPrepare(void* argument)
{
    auto* job = static_cast<DenoiseTileJob*>(argument);
    const int32_t rect[4] = {int32_t(job->x), int32_t(job->y), int32_t(job->x + job->tileWidth),
                             int32_t(job->y + job->tileHeight)};
    job->result = DenoiseTilePrepare(&job->context, job->handle, job->source, rect, int(job->index), job->profile,
                                     job->work);
    return job->result;
}

int DenoiseTileJobFinish(void* argument)
{
    auto* job = static_cast<DenoiseTileJob*>(argument);
    job->result = DenoiseTileFinish(job->context, job->destination);
    job->context = nullptr;
    return job->result;
}

namespace {
int firstFailure(DenoiseTileJob* const* jobs, int count)
{
    for (int i = 0; i < count; ++i)
        if (jobs[i]->result != 0)
            return jobs[i]->result;
    return 0;
}

// Both phases of one batch; phase 2 is skipped when a phase 1 failed, and the
// contexts built for the batch are released then.
int runBatch(DenoisePool* pool, DenoiseTileJob** jobs, int count)
{
    if (count <= 0)
        return 0;
    void* const* args = reinterpret_cast<void* const*>(jobs);
    if (pool && pool->workers)
        DenoisePoolRun(pool, DenoiseTileJobPrepare, args, uint32_t(count));
    else
        for (int i = 0; i < count; ++i)
            DenoiseTileJobPrepare(jobs[i]);
    int rc = firstFailure(jobs, count);
    if (rc != 0) {
        for (int i = 0; i < count; ++i) {
            DenoiseTileRelease(jobs[i]->context);
            jobs[i]->context = nullptr;
        }
        return rc;
    }
    if (pool && pool->workers)
        DenoisePoolRun(pool, DenoiseTileJobFinish, args, uint32_t(count));
    else
        for (int i = 0; i < count; ++i)
            DenoiseTileJobFinish(jobs[i]);
    return firstFailure(jobs, count);
}
}

int DenoiseProcessTiles(DenoiseMemHandle handle, const DenoisePlaneDesc* source, const DenoisePlaneDesc* destination,
                        const DenoiseProfile* profile, const DenoiseWorkRecord* work, DenoiseTileSize tile,
                        DenoiseProgressCallback progress, void* user)
{
    if (!source || !destination || !work || tile.width <= 0 || tile.height <= 0 || destination->width <= 0 ||
        destination->height <= 0)
        return PE_ERR_ARGUMENT;
    const int n = DenoiseThreadCount();
    const int64_t across = (int64_t(destination->width) + tile.width - 1) / tile.width;
    const int64_t down = (int64_t(destination->height) + tile.height - 1) / tile.height;
    const int64_t total = across * down;
    if (total <= 0 || total > INT32_MAX / 2)
        return PE_ERR_ARGUMENT;
    const int N = int(total);
    const int step = N == 1 ? 50 : std::max(1, n * 100 / N);

    auto** jobs = static_cast<DenoiseTileJob**>(DenoiseCalloc(handle, size_t(N), sizeof(DenoiseTileJob*)));
    auto* records = static_cast<DenoiseTileJob*>(DenoiseCalloc(handle, size_t(N), sizeof(DenoiseTileJob)));
    auto* handles = static_cast<DenoiseMemHandle*>(DenoiseCalloc(handle, size_t(n), sizeof(DenoiseMemHandle)));
    if (!jobs || !records || !handles) {
        DenoiseFree(handle, jobs);
        DenoiseFree(handle, records);
        DenoiseFree(handle, handles);
        if (progress)
            progress(100, 0, user);
        return PE_ERR_NOMEM;
    }
    int index = 0;
    for (int64_t y = 0; y < destination->height; y += tile.height) {
        for (int64_t x = 0; x < destination->width; x += tile.width) {
            DenoiseTileJob& job = records[index];
            job.handle = handles[index % n];
            job.source = source;
            job.destination = destination;
            job.tileWidth = uint32_t(tile.width);
            job.tileHeight = uint32_t(tile.height);
            job.x = uint32_t(x);
            job.y = uint32_t(y);
            job.profile = profile;
            job.work = work;
            job.index = uint32_t(index);
            jobs[index] = &job;
            ++index;
        }
    }

    int rc = 0;
    int percent = 0;
    int done = 0;
    while (rc == 0 && N - done >= n) {
        rc = runBatch(work->pool, jobs + done, n);
        done += n;
        if (rc == 0 && progress) {
            percent = std::min(percent + step, 100);
            const int stop = progress(percent, 0, user);
            if (stop != 0)
                rc = stop < 0 ? stop : DENOISE_ERR_STOPPED;
        }
    }
    if (rc == 0 && done < N)
        rc = runBatch(work->pool, jobs + done, N - done);

    DenoiseFree(handle, records);
    DenoiseFree(handle, jobs);
    DenoiseFree(handle, handles);
    if (progress)
        progress(100, 0, user);
    return rc;
}
