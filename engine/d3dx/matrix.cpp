#include "matrix.h"

#include <cmath>

namespace d3dx {

namespace {

Vector3 Subtract(const Vector3& a, const Vector3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(const Vector3& a, const Vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector3 Normalize(const Vector3& v) {
    const float length = std::sqrt(Dot(v, v));
    if (length == 0.0f) {
        return v;
    }
    return {v.x / length, v.y / length, v.z / length};
}

} // namespace

Matrix* MatrixLookAtLH(Matrix* out, const Vector3* eye, const Vector3* at, const Vector3* up) {
    const Vector3 zAxis = Normalize(Subtract(*at, *eye));
    const Vector3 xAxis = Normalize(Cross(*up, zAxis));
    const Vector3 yAxis = Cross(zAxis, xAxis);
    *out = Matrix{{{xAxis.x, yAxis.x, zAxis.x, 0.0f},
                   {xAxis.y, yAxis.y, zAxis.y, 0.0f},
                   {xAxis.z, yAxis.z, zAxis.z, 0.0f},
                   {-Dot(xAxis, *eye), -Dot(yAxis, *eye), -Dot(zAxis, *eye), 1.0f}}};
    return out;
}

Matrix* MatrixPerspectiveFovLH(Matrix* out, float fovY, float aspect, float zNear, float zFar) {
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    const float xScale = yScale / aspect;
    const float depth = zFar / (zFar - zNear);
    *out = Matrix{{{xScale, 0.0f, 0.0f, 0.0f},
                   {0.0f, yScale, 0.0f, 0.0f},
                   {0.0f, 0.0f, depth, 1.0f},
                   {0.0f, 0.0f, -zNear * depth, 0.0f}}};
    return out;
}

Matrix* MatrixTranslation(Matrix* out, float x, float y, float z) {
    *out = Matrix{{{1.0f, 0.0f, 0.0f, 0.0f},
                   {0.0f, 1.0f, 0.0f, 0.0f},
                   {0.0f, 0.0f, 1.0f, 0.0f},
                   {x, y, z, 1.0f}}};
    return out;
}

Matrix* MatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b) {
    Matrix product;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a->m[row][k] * b->m[k][column];
            }
            product.m[row][column] = sum;
        }
    }
    *out = product;
    return out;
}

} // namespace d3dx
