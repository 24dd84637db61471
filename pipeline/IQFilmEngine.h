#pragma once
// Film looks and grain over the pixel engine's film core: loads the film data
// from the program's resources, takes a picture, selects looks and grain and
// renders into the caller's buffer. Every call is serialised; the film data
// is loaded once per process and freed with its last user.
#include <QMutex>

#include "FilmEngine.h"

struct IQFilmParams {
    int32_t film = 0;
    int32_t reserved1 = 0;
    int32_t reserved2 = 1;
    int32_t intensity = 100;
    double grainScales[4] = {1.0, 1.0, 1.0, 1.0};  // kind 0, kind 0, kind 2, kind 1
    int32_t reserved3 = 0;
    int32_t reserved4 = 0;

    static IQFilmParams *createDefault();
    void init();
    bool isDefault() const;
};

class IQFilmEngine {
public:
    IQFilmEngine();
    virtual ~IQFilmEngine();
    IQFilmEngine(const IQFilmEngine &) = delete;
    IQFilmEngine &operator=(const IQFilmEngine &) = delete;

    // Takes this engine's share of the film data, loading it when no engine
    // holds it yet. 0, or FilmLoadData's code (-1 also when the resource
    // cannot be opened, -2 when it cannot be read into memory).
    int loadFilmData();
    // Whether this engine holds a share of the film data.
    bool hasFilmData() const;

    // Takes a copy of the picture (3 bytes a pixel; flags bit 0: rows top
    // down, see FilmSetImage) and resets every selection. The parameter
    // record, or null when the picture is refused.
    IQFilmParams *setImage(const uchar *pixels, int width, int height, int rowBytes, int flags);
    // Renders and copies the rows and pixels both pictures hold into dst.
    // FilmApply's code; -2 for an unusable destination.
    int render(uchar *dst, int width, int height, int rowBytes);

    int setCategory(int value);
    int setFilm(int value);
    int setGrain(int value);
    int setFilmBank2(int value);
    int setFilmBank3(int value);
    int setFilmBank4(int value);
    int setStrength(int value);
    int setGrainScale(double value);
    int grainScaleForImage(double *out);

    IQFilmParams *params() const { return m_params; }

    // Frees the picture, the result and the selections.
    void clear();
    // clear(), and gives up this engine's share of the film data.
    void release();

private:
    void clearLocked();

    FilmImage m_film;
    IQFilmParams *m_params = nullptr;
    bool m_holdsData = false;
    mutable QMutex m_mutex;
};
