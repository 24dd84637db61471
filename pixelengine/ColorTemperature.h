#pragma once
// Colour temperature and tint <-> CIE xy (Robertson's isotemperature lines),
// neutral -> xy and the Bradford chromatic adaptation.

constexpr double kAdjustD50x = 0.3457;
constexpr double kAdjustD50y = 0.3585;

// sRGB -> XYZ (D50), four- and five-digit forms, row-major.
extern const double kAdjustSrgbToXyz4[9];
extern const double kAdjustSrgbToXyz5[9];
// Bradford cone response matrix.
extern const double kAdjustBradfordCone[9];

struct AdjustRobertsonRow {
    double r; // mired (1e6 / kelvin)
    double u; // CIE 1960 UCS
    double v;
    double t; // slope of the isotemperature line
};
constexpr int kAdjustRobertsonRows = 31;
extern const AdjustRobertsonRow kAdjustRobertson[kAdjustRobertsonRows];

// kelvin, tint -> x, y. 0; -2 (with D50 written) when kelvin is not a
// positive finite number.
int AdjustTemperatureToXy(double kelvin, double tint, double* x, double* y);
// x, y -> kelvin, tint. 1; -2 (with the D50 result written) when x, y are
// not finite or lie where the UCS conversion is undefined.
int AdjustXyToTemperature(double x, double y, double* kelvin, double* tint);
// Linear neutral in red, green, blue order -> chromaticity.
void AdjustNeutralToXy(const double neutral[3], double* x, double* y);
// Adaptation matrix from white (srcX, srcY) to white (dstX, dstY).
void AdjustBradfordMatrix(double out[9], double srcX, double srcY, double dstX, double dstY);
