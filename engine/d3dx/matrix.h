// Matrix helpers of our own D3DX layer: left-handed, row vectors (a point is transformed as
// v * M), with the results the D3DX 9 documentation gives. No Windows headers.
#pragma once

namespace d3dx {

struct Vector3 {
    float x, y, z;
};

struct Matrix {
    float m[4][4];
};

// View matrix looking from `eye` at `at`, with `up` the world's up direction.
Matrix* MatrixLookAtLH(Matrix* out, const Vector3* eye, const Vector3* at, const Vector3* up);
// Projection with the vertical field of view `fovY` (radians), aspect = width / height, and the
// near and far planes.
Matrix* MatrixPerspectiveFovLH(Matrix* out, float fovY, float aspect, float zNear, float zFar);
// Translation by (x, y, z).
Matrix* MatrixTranslation(Matrix* out, float x, float y, float z);
// out = a * b: first a, then b. `out` may be `a` or `b`.
Matrix* MatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b);

} // namespace d3dx
