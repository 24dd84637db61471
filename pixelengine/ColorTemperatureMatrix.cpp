#include "ColorTemperatureMatrix.h"

#include <cmath>
#include <cstring>

namespace {
constexpr double kD50x = 0.3457;
constexpr double kD50y = 0.3585;
}

void AdjustMatrixSet(double out[9], double m00, double m01, double m02, double m10, double m11, double m12,
                     double m20, double m21, double m22)
{
    out[0] = m00; out[1] = m01; out[2] = m02;
    out[3] = m10; out[4] = m11; out[5] = m12;
    out[6] = m20; out[7] = m21; out[8] = m22;
}

void AdjustMatrixCopy(double out[9], const double in[9])
{
    std::memmove(out, in, 9 * sizeof(double));
}

int AdjustMatrixInverse(double out[9], const double m[9])
{
    const double c00 = m[4] * m[8] - m[5] * m[7];
    const double c01 = m[5] * m[6] - m[3] * m[8];
    const double c02 = m[3] * m[7] - m[4] * m[6];
    const double det = m[0] * c00 + m[1] * c01 + m[2] * c02;
    if (!(std::fabs(det) >= 1e-10))
        return 0;
    double r[9];
    r[0] = c00 / det;
    r[1] = (m[2] * m[7] - m[1] * m[8]) / det;
    r[2] = (m[1] * m[5] - m[2] * m[4]) / det;
    r[3] = c01 / det;
    r[4] = (m[0] * m[8] - m[2] * m[6]) / det;
    r[5] = (m[2] * m[3] - m[0] * m[5]) / det;
    r[6] = c02 / det;
    r[7] = (m[1] * m[6] - m[0] * m[7]) / det;
    r[8] = (m[0] * m[4] - m[1] * m[3]) / det;
    AdjustMatrixCopy(out, r);
    return 1;
}

void AdjustMatrixMultiply(double out[9], const double a[9], const double b[9])
{
    double r[9];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r[i * 3 + j] = a[i * 3] * b[j] + a[i * 3 + 1] * b[3 + j] + a[i * 3 + 2] * b[6 + j];
    AdjustMatrixCopy(out, r);
}

void AdjustMatrixMultiplyVector(double out[3], const double m[9], const double v[3])
{
    const double r0 = m[0] * v[0] + m[1] * v[1] + m[2] * v[2];
    const double r1 = m[3] * v[0] + m[4] * v[1] + m[5] * v[2];
    const double r2 = m[6] * v[0] + m[7] * v[1] + m[8] * v[2];
    out[0] = r0;
    out[1] = r1;
    out[2] = r2;
}

void AdjustMatrixScale(double out[9], const double in[9], double factor)
{
    for (int i = 0; i < 9; ++i)
        out[i] = in[i] * factor;
}

double AdjustVectorMax(const double v[3])
{
    double m = v[0];
    if (v[1] > m)
        m = v[1];
    if (v[2] > m)
        m = v[2];
    return m;
}

double AdjustMatrixMax(const double in[9])
{
    double m = in[0];
    for (int i = 1; i < 9; ++i)
        if (in[i] > m)
            m = in[i];
    return m;
}

void AdjustMatrixReverse(double out[9], const double in[9])
{
    double r[9];
    for (int i = 0; i < 9; ++i)
        r[i] = in[8 - i];
    AdjustMatrixCopy(out, r);
}

void AdjustMatrixBlend(double out[9], const double a[9], const double b[9], double w)
{
    for (int i = 0; i < 9; ++i)
        out[i] = w * a[i] + (1.0 - w) * b[i];
}

void AdjustMatrixNormaliseRows(double out[9], const double in[9])
{
    double r[9];
    AdjustMatrixCopy(r, in);
    for (int row = 0; row < 3; ++row) {
        const double sum = r[row * 3] + r[row * 3 + 1] + r[row * 3 + 2];
        if (sum > 1e-8) {
            r[row * 3] /= sum;
            r[row * 3 + 1] /= sum;
            r[row * 3 + 2] /= sum;
        }
    }
    AdjustMatrixCopy(out, r);
}

void AdjustXyToXyz(double xyz[3], double x, double y)
{
    // A NaN or infinite coordinate is treated like one below the floor.
    if (!(x >= 0.01) || !std::isfinite(x))
        x = 0.01;
    if (!(y >= 0.01) || !std::isfinite(y))
        y = 0.01;
    if (x == 0.01 && y == 0.01) {
        xyz[0] = 1.0;
        xyz[1] = 1.0;
        xyz[2] = 98.0;
        return;
    }
    if (x + y > 0.99) {
        const double s = 0.99 / (x + y);
        x *= s;
        y *= s;
    }
    xyz[0] = x / y;
    xyz[1] = 1.0;
    xyz[2] = (1.0 - x - y) / y;
}

void AdjustXyzToXy(double* x, double* y, const double xyz[3])
{
    const double sum = xyz[0] + xyz[1] + xyz[2];
    if (sum > 0.0) {
        *x = xyz[0] / sum;
        *y = xyz[1] / sum;
    } else {
        *x = kD50x;
        *y = kD50y;
    }
}
