// Our matrix helpers against Wine's d3dx9_43 for the exact calls the renderer makes. The product
// never loads d3dx9; only this test does, as a second opinion.
#include <gtest/gtest.h>

#include <windows.h>

#include "d3dx/matrix.h"

namespace {

using d3dx::Matrix;
using d3dx::Vector3;

typedef Matrix*(WINAPI* LookAtFn)(Matrix*, const Vector3*, const Vector3*, const Vector3*);
typedef Matrix*(WINAPI* PerspectiveFn)(Matrix*, float, float, float, float);
typedef Matrix*(WINAPI* TranslationFn)(Matrix*, float, float, float);
typedef Matrix*(WINAPI* MultiplyFn)(Matrix*, const Matrix*, const Matrix*);

template <class Fn> Fn Bind(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

void ExpectSame(const Matrix& reference, const Matrix& ours) {
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_NEAR(reference.m[row][column], ours.m[row][column], 1e-6f)
                << "row " << row << " column " << column;
        }
    }
}

TEST(MatrixCrossCheck, TheRenderersTransformsMatchD3dx) {
    HMODULE d3dx9 = LoadLibraryA("d3dx9_43.dll");
    ASSERT_NE(nullptr, d3dx9) << "Wine's d3dx9_43.dll";
    auto lookAt = Bind<LookAtFn>(d3dx9, "D3DXMatrixLookAtLH");
    auto perspective = Bind<PerspectiveFn>(d3dx9, "D3DXMatrixPerspectiveFovLH");
    auto translation = Bind<TranslationFn>(d3dx9, "D3DXMatrixTranslation");
    auto multiply = Bind<MultiplyFn>(d3dx9, "D3DXMatrixMultiply");
    ASSERT_TRUE(lookAt && perspective && translation && multiply);

    const Vector3 eye = {0.0f, 0.0f, -10.0f};
    const Vector3 at = {0.0f, 0.0f, 0.0f};
    const Vector3 up = {0.0f, 1.0f, 0.0f};
    Matrix reference[5];
    Matrix ours[5];
    lookAt(&reference[0], &eye, &at, &up);
    d3dx::MatrixLookAtLH(&ours[0], &eye, &at, &up);
    perspective(&reference[1], 0.7853982f, 1.0f, 1.0f, 200.0f);
    d3dx::MatrixPerspectiveFovLH(&ours[1], 0.7853982f, 1.0f, 1.0f, 200.0f);
    translation(&reference[2], -1.0f, 1.0f, 0.0f);
    d3dx::MatrixTranslation(&ours[2], -1.0f, 1.0f, 0.0f);
    multiply(&reference[3], &reference[0], &reference[1]);
    d3dx::MatrixMultiply(&ours[3], &ours[0], &ours[1]);
    multiply(&reference[4], &reference[2], &reference[3]);
    d3dx::MatrixMultiply(&ours[4], &ours[2], &ours[3]);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        ExpectSame(reference[i], ours[i]);
    }

    // An oblique view, where the axes are not the identity.
    const Vector3 eye2 = {3.0f, 4.0f, -5.0f};
    const Vector3 at2 = {1.0f, -2.0f, 7.0f};
    lookAt(&reference[0], &eye2, &at2, &up);
    d3dx::MatrixLookAtLH(&ours[0], &eye2, &at2, &up);
    ExpectSame(reference[0], ours[0]);
    FreeLibrary(d3dx9);
}

} // namespace
