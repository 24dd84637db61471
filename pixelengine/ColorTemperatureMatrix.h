#pragma once
// 3x3 matrix helpers of the white-balance colour science. Matrices are
// row-major double[9], vectors double[3].

void AdjustMatrixSet(double out[9], double m00, double m01, double m02, double m10, double m11, double m12,
                     double m20, double m21, double m22);
void AdjustMatrixCopy(double out[9], const double in[9]);
// 1 on success; 0 with `out` untouched when |determinant| < 1e-10.
int AdjustMatrixInverse(double out[9], const double in[9]);
// out = a x b; `out` may alias either input.
void AdjustMatrixMultiply(double out[9], const double a[9], const double b[9]);
// out = m x v; `out` may alias `v`.
void AdjustMatrixMultiplyVector(double out[3], const double m[9], const double v[3]);
void AdjustMatrixScale(double out[9], const double in[9], double factor);
double AdjustVectorMax(const double v[3]);
double AdjustMatrixMax(const double m[9]);
// Reverses the nine elements: an R,G,B-ordered matrix becomes B,G,R-ordered.
void AdjustMatrixReverse(double out[9], const double in[9]);
// out = w * a + (1 - w) * b.
void AdjustMatrixBlend(double out[9], const double a[9], const double b[9], double w);
// Scales every row to sum 1; rows whose sum is <= 1e-8 stay as they are.
void AdjustMatrixNormaliseRows(double out[9], const double in[9]);

// Chromaticity x, y to XYZ with Y = 1 (x and y are kept inside a safe range).
void AdjustXyToXyz(double xyz[3], double x, double y);
// XYZ to chromaticity; D50 when X + Y + Z is not positive.
void AdjustXyzToXy(double* x, double* y, const double xyz[3]);
