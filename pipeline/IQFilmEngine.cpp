#include "IQFilmEngine.h"

#include <QByteArray>
#include <QFile>
#include <QMutexLocker>
#include <QtDebug>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// The film data is one blob of the film core, shared by every engine: the
// count of engines holding it, and the lock around every call that reads or
// replaces it.
QMutex &dataMutex()
{
    static QMutex mutex;
    return mutex;
}
int s_dataUsers = 0;

const char *const kFilmDataPath = ":/film/data/filmdata/film.data";

}  // namespace

IQFilmParams *IQFilmParams::createDefault()
{
    return new IQFilmParams();
}

void IQFilmParams::init()
{
}

bool IQFilmParams::isDefault() const
{
    return film == 0 && reserved1 == 0 && reserved3 == 0 && reserved4 == 0 && intensity == 100;
}

IQFilmEngine::IQFilmEngine()
    : m_params(IQFilmParams::createDefault())
{
    loadFilmData();
}

IQFilmEngine::~IQFilmEngine()
{
    release();
    delete m_params;
}

int IQFilmEngine::loadFilmData()
{
    QMutexLocker lock(&m_mutex);
    if (m_holdsData)
        return 0;
    QMutexLocker dataLock(&dataMutex());
    if (s_dataUsers == 0) {
        QFile file(QString::fromLatin1(kFilmDataPath));
        if (!file.open(QIODevice::ReadOnly)) {
            qCritical() << "IQFilmEngine: cannot open" << kFilmDataPath;
            return -1;
        }
        QByteArray bytes;
        try {
            bytes = file.readAll();
        } catch (const std::bad_alloc &) {
            qCritical() << "IQFilmEngine: no memory for" << kFilmDataPath;
            return -2;
        }
        file.close();
        const int code = FilmLoadData(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                      static_cast<int32_t>(std::min<qsizetype>(bytes.size(), INT32_MAX)));
        if (code != 0) {
            qCritical() << "IQFilmEngine: film data refused with" << code << "size" << bytes.size();
            return code;
        }
    }
    ++s_dataUsers;
    m_holdsData = true;
    return 0;
}

bool IQFilmEngine::hasFilmData() const
{
    QMutexLocker lock(&m_mutex);
    return m_holdsData;
}

IQFilmParams *IQFilmEngine::setImage(const uchar *pixels, int width, int height, int rowBytes, int flags)
{
    QMutexLocker lock(&m_mutex);
    for (double &scale : m_params->grainScales)
        scale = 1.0;
    clearLocked();
    FilmReset(&m_film);
    if (FilmSetImage(&m_film, pixels, width, height, rowBytes, flags) != 0) {
        clearLocked();
        return nullptr;
    }
    FilmGrainScaleForSize(&m_params->grainScales[0], width, height, 0);
    m_params->grainScales[1] = m_params->grainScales[0];
    FilmGrainScaleForSize(&m_params->grainScales[2], width, height, 2);
    FilmGrainScaleForSize(&m_params->grainScales[3], width, height, 1);
    FilmSetGrainScale(&m_film, m_params->grainScales[0]);
    m_params->film = 0;
    m_params->reserved1 = 0;
    m_params->reserved2 = 1;
    m_params->intensity = 100;
    m_params->reserved3 = 0;
    m_params->reserved4 = 0;
    return m_params;
}

int IQFilmEngine::render(uchar *dst, int width, int height, int rowBytes)
{
    QMutexLocker lock(&m_mutex);
    if (!dst || width < 0 || height < 0 || width > INT32_MAX / 3 || rowBytes < width * 3)
        return -2;
    const int code = FilmApply(&m_film);
    if (code != 0)
        return code;
    // Only the rows and pixels both pictures hold.
    const int rows = std::min(height, m_film.height);
    const size_t rowCopy = static_cast<size_t>(std::min(width, m_film.width)) * 3;
    for (int y = 0; y < rows; ++y)
        std::memcpy(dst + static_cast<size_t>(y) * rowBytes,
                    m_film.pixels + static_cast<size_t>(y) * m_film.rowBytes, rowCopy);
    return 0;
}

int IQFilmEngine::setCategory(int value)
{
    QMutexLocker lock(&m_mutex);
    return FilmSetCategory(&m_film, value);
}

int IQFilmEngine::setFilm(int value)
{
    QMutexLocker lock(&m_mutex);
    QMutexLocker dataLock(&dataMutex());
    return FilmSelectLut(&m_film, value);
}

int IQFilmEngine::setGrain(int value)
{
    QMutexLocker lock(&m_mutex);
    QMutexLocker dataLock(&dataMutex());
    return FilmSelectGrain(&m_film, value);
}

int IQFilmEngine::setFilmBank2(int value)
{
    QMutexLocker lock(&m_mutex);
    QMutexLocker dataLock(&dataMutex());
    return FilmSelectLutBank2(&m_film, value);
}

int IQFilmEngine::setFilmBank3(int value)
{
    QMutexLocker lock(&m_mutex);
    QMutexLocker dataLock(&dataMutex());
    return FilmSelectLutBank3(&m_film, value);
}

int IQFilmEngine::setFilmBank4(int value)
{
    QMutexLocker lock(&m_mutex);
    QMutexLocker dataLock(&dataMutex());
    return FilmSelectLutBank4(&m_film, value);
}

int IQFilmEngine::setStrength(int value)
{
    QMutexLocker lock(&m_mutex);
    return FilmSetStrength(&m_film, value);
}

int IQFilmEngine::setGrainScale(double value)
{
    QMutexLocker lock(&m_mutex);
    return FilmSetGrainScale(&m_film, value);
}

int IQFilmEngine::grainScaleForImage(double *out)
{
    QMutexLocker lock(&m_mutex);
    return FilmGrainScaleForSize(out, m_film.width, m_film.height, 1);
}

void IQFilmEngine::clear()
{
    QMutexLocker lock(&m_mutex);
    clearLocked();
}

void IQFilmEngine::clearLocked()
{
    FilmRelease(&m_film);
    m_film = FilmImage();
}

void IQFilmEngine::release()
{
    QMutexLocker lock(&m_mutex);
    clearLocked();
    if (!m_holdsData)
        return;
    m_holdsData = false;
    QMutexLocker dataLock(&dataMutex());
    if (--s_dataUsers == 0)
        FilmFreeData();
}
