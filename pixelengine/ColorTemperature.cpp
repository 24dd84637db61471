#include "ColorTemperature.h"

#include "ColorTemperatureMatrix.h"

#include <cmath>

const double kAdjustSrgbToXyz4[9] = {
    0.4361, 0.3851, 0.1431,
    0.2225, 0.7169, 0.0606,
    0.0139, 0.0971, 0.7141,
};

const double kAdjustSrgbToXyz5[9] = {
    0.43607, 0.38515, 0.14307,
    0.22249, 0.71687, 0.06061,
    0.01392, 0.09708, 0.7141,
};

const double kAdjustBradfordCone[9] = {
    0.8951, 0.2664, -0.1614,
    -0.7502, 1.7135, 0.0367,
    0.0389, -0.0685, 1.0296,
};

// Wyszecki & Stiles; the 325-mired u is the corrected .24792.
const AdjustRobertsonRow kAdjustRobertson[kAdjustRobertsonRows] = {
    {0, 0.18006, 0.26352, -0.24341},
    {10, 0.18066, 0.26589, -0.25479},
    {20, 0.18133, 0.26846, -0.26876},
    {30, 0.18208, 0.27119, -0.28539},
    {40, 0.18293, 0.27407, -0.30470},
    {50, 0.18388, 0.27709, -0.32675},
    {60, 0.18494, 0.28021, -0.35156},
    {70, 0.18611, 0.28342, -0.37915},
    {80, 0.18740, 0.28668, -0.40955},
    {90, 0.18880, 0.28997, -0.44278},
    {100, 0.19032, 0.29326, -0.47888},
    {125, 0.19462, 0.30141, -0.58204},
    {150, 0.19962, 0.30921, -0.70471},
    {175, 0.20525, 0.31647, -0.84901},
    {200, 0.21142, 0.32312, -1.0182},
    {225, 0.21807, 0.32909, -1.2168},
    {250, 0.22511, 0.33439, -1.4512},
    {275, 0.23247, 0.33904, -1.7298},
    {300, 0.24010, 0.34308, -2.0637},
    {325, 0.24792, 0.34655, -2.4681},
    {350, 0.25591, 0.34951, -2.9641},
    {375, 0.26400, 0.35200, -3.5814},
    {400, 0.27218, 0.35407, -4.3633},
    {425, 0.28039, 0.35577, -5.3762},
    {450, 0.28863, 0.35714, -6.7262},
    {475, 0.29685, 0.35823, -8.5955},
    {500, 0.30505, 0.35907, -11.324},
    {525, 0.31320, 0.35968, -15.628},
    {550, 0.32129, 0.36011, -23.325},
    {575, 0.32931, 0.36038, -40.770},
    {600, 0.33724, 0.36051, -116.45},
};

namespace {

constexpr double kTintScale = -3000.0;

// Unit vector along the isotherm of row i: (1, t) / sqrt(1 + t^2).
void rowNormal(int i, double* du, double* dv)
{
    const double t = kAdjustRobertson[i].t;
    const double len = std::sqrt(1.0 + t * t);
    *du = 1.0 / len;
    *dv = t / len;
}

} // namespace

int AdjustTemperatureToXy(double kelvin, double tint, double* x, double* y)
{
    if (!(kelvin > 0.0) || !std::isfinite(kelvin) || !std::isfinite(tint)) {
        *x = kAdjustD50x;
        *y = kAdjustD50y;
        return -2;
    }
    const double r = 1e6 / kelvin;
    int i = 1;
    while (i < 30 && !(kAdjustRobertson[i].r > r))
        ++i;
    const AdjustRobertsonRow& a = kAdjustRobertson[i - 1];
    const AdjustRobertsonRow& b = kAdjustRobertson[i];
    const double f = (b.r - r) / (b.r - a.r);
    double u = a.u * f + b.u * (1.0 - f);
    double v = a.v * f + b.v * (1.0 - f);

    double du1, dv1, du2, dv2;
    rowNormal(i - 1, &du1, &dv1);
    rowNormal(i, &du2, &dv2);
    double du = du1 * f + du2 * (1.0 - f);
    double dv = dv1 * f + dv2 * (1.0 - f);
    const double len = std::sqrt(du * du + dv * dv);
    du /= len;
    dv /= len;

    const double offset = tint * (1.0 / kTintScale);
    u += du * offset;
    v += dv * offset;
    *x = 1.5 * u / (u - 4.0 * v + 2.0);
    *y = v / (u - 4.0 * v + 2.0);
    return 0;
}

int AdjustXyToTemperature(double x, double y, double* kelvin, double* tint)
{
    int result = 1;
    double den = 1.5 - x + 6.0 * y;
    if (!std::isfinite(x) || !std::isfinite(y) || !(den > 0.0)) {
        x = kAdjustD50x;
        y = kAdjustD50y;
        den = 1.5 - x + 6.0 * y;
        result = -2;
    }
    const double u = 2.0 * x / den;
    const double v = 3.0 * y / den;

    double lastDt = 0.0;
    for (int i = 1; i <= 30; ++i) {
        double du, dv;
        rowNormal(i, &du, &dv);
        const double dt = (v - kAdjustRobertson[i].v) * du - (u - kAdjustRobertson[i].u) * dv;
        if (dt <= 0.0 || i == 30) {
            double f = 0.0;
            if (i > 1 && dt <= 0.0)
                f = dt / (dt - lastDt);
            const AdjustRobertsonRow& a = kAdjustRobertson[i - 1];
            const AdjustRobertsonRow& b = kAdjustRobertson[i];
            *kelvin = 1e6 / (a.r * f + b.r * (1.0 - f));
            const double uu = u - (a.u * f + b.u * (1.0 - f));
            const double vv = v - (a.v * f + b.v * (1.0 - f));
            double pu, pv;
            rowNormal(i - 1, &pu, &pv);
            double nu = pu * f + du * (1.0 - f);
            double nv = pv * f + dv * (1.0 - f);
            const double len = std::sqrt(nu * nu + nv * nv);
            nu /= len;
            nv /= len;
            *tint = kTintScale * (nu * uu + nv * vv);
            break;
        }
        lastDt = dt;
    }
    return result;
}

void AdjustNeutralToXy(const double neutral[3], double* x, double* y)
{
    // The camera-to-XYZ matrix is fixed here, so the iteration settles after
    // the second pass; it is kept bounded all the same.
    double lastX = kAdjustD50x, lastY = kAdjustD50y;
    double prevX = lastX, prevY = lastY;
    for (int pass = 0; pass < 30; ++pass) {
        double xyz[3];
        AdjustMatrixMultiplyVector(xyz, kAdjustSrgbToXyz4, neutral);
        double nx, ny;
        AdjustXyzToXy(&nx, &ny, xyz);
        if (std::fabs(nx - lastX) + std::fabs(ny - lastY) < 1e-7) {
            *x = nx;
            *y = ny;
            return;
        }
        prevX = lastX;
        prevY = lastY;
        lastX = nx;
        lastY = ny;
    }
    *x = (lastX + prevX) * 0.5;
    *y = (lastY + prevY) * 0.5;
}

void AdjustBradfordMatrix(double out[9], double srcX, double srcY, double dstX, double dstY)
{
    double w1[3], w2[3];
    AdjustXyToXyz(w1, srcX, srcY);
    AdjustXyToXyz(w2, dstX, dstY);
    double rho1[3], rho2[3];
    AdjustMatrixMultiplyVector(rho1, kAdjustBradfordCone, w1);
    AdjustMatrixMultiplyVector(rho2, kAdjustBradfordCone, w2);
    double d[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int k = 0; k < 3; ++k) {
        const double ratio = rho2[k] / rho1[k];
        // A zero cone response gives no usable ratio; NaN falls to the floor.
        d[k * 4] = (ratio > 0.1 && std::isfinite(ratio)) ? ratio : 0.1;
    }
    double inv[9];
    AdjustMatrixSet(inv, 1, 0, 0, 0, 1, 0, 0, 0, 1);
    AdjustMatrixInverse(inv, kAdjustBradfordCone);
    double t[9];
    AdjustMatrixMultiply(t, d, kAdjustBradfordCone);
    AdjustMatrixMultiply(out, inv, t);
}
