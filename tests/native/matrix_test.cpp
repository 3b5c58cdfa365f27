#include "d3dx/matrix.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using d3dx::Matrix;
using d3dx::Vector3;

void ExpectMatrix(const float (&expected)[4][4], const Matrix& actual) {
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_NEAR(expected[row][column], actual.m[row][column], 1e-5f)
                << "row " << row << " column " << column;
        }
    }
}

TEST(Matrix, LookAtFromInFrontOfTheOriginIsATranslationAlongZ) {
    const Vector3 eye = {0, 0, -10}, at = {0, 0, 0}, up = {0, 1, 0};
    Matrix view;
    EXPECT_EQ(&view, d3dx::MatrixLookAtLH(&view, &eye, &at, &up));
    ExpectMatrix({{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 10, 1}}, view);
}

TEST(Matrix, LookAtFromAnAngleHasOrthonormalAxesAndMapsTheEyeToTheOrigin) {
    const Vector3 eye = {3, 4, -5}, at = {1, -2, 7}, up = {0, 1, 0};
    Matrix view;
    d3dx::MatrixLookAtLH(&view, &eye, &at, &up);
    for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) {
            float dot = 0;
            for (int k = 0; k < 3; ++k) {
                dot += view.m[k][a] * view.m[k][b];
            }
            EXPECT_NEAR(a == b ? 1.0f : 0.0f, dot, 1e-5f);
        }
    }
    const float eyeInView[3] = {
        eye.x * view.m[0][0] + eye.y * view.m[1][0] + eye.z * view.m[2][0] + view.m[3][0],
        eye.x * view.m[0][1] + eye.y * view.m[1][1] + eye.z * view.m[2][1] + view.m[3][1],
        eye.x * view.m[0][2] + eye.y * view.m[1][2] + eye.z * view.m[2][2] + view.m[3][2]};
    for (float c : eyeInView) {
        EXPECT_NEAR(0.0f, c, 1e-4f);
    }
}

TEST(Matrix, PerspectiveFieldOfViewMatchesTheDocumentedForm) {
    Matrix projection;
    d3dx::MatrixPerspectiveFovLH(&projection, 0.7853982f, 1.0f, 1.0f, 200.0f);
    const float yScale = 2.4142136f;
    const float depth = 200.0f / 199.0f;
    ExpectMatrix({{yScale, 0, 0, 0}, {0, yScale, 0, 0}, {0, 0, depth, 1}, {0, 0, -depth, 0}},
                 projection);
    d3dx::MatrixPerspectiveFovLH(&projection, 1.0f, 2.0f, 0.5f, 10.0f);
    EXPECT_NEAR(1.0f / std::tan(0.5f) / 2.0f, projection.m[0][0], 1e-5f);
    EXPECT_NEAR(-0.5f * 10.0f / 9.5f, projection.m[3][2], 1e-5f);
}

TEST(Matrix, MultiplyAppliesTheFirstFactorFirst) {
    Matrix world, view, projection, viewProjection, all;
    const Vector3 eye = {0, 0, -10}, at = {0, 0, 0}, up = {0, 1, 0};
    d3dx::MatrixTranslation(&world, -1, 1, 0);
    ExpectMatrix({{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {-1, 1, 0, 1}}, world);
    d3dx::MatrixLookAtLH(&view, &eye, &at, &up);
    d3dx::MatrixPerspectiveFovLH(&projection, 0.7853982f, 1.0f, 1.0f, 200.0f);
    d3dx::MatrixMultiply(&viewProjection, &view, &projection);
    d3dx::MatrixMultiply(&all, &world, &viewProjection);
    const float y = 2.4142136f;
    const float d = 200.0f / 199.0f;
    ExpectMatrix({{y, 0, 0, 0}, {0, y, 0, 0}, {0, 0, d, 1}, {-y, y, 10 * d - d, 10}}, all);

    Matrix a = world;
    d3dx::MatrixMultiply(&a, &a, &viewProjection);
    ExpectMatrix(all.m, a);
}

} // namespace
