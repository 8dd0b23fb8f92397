// Matrix operations: the formulas of the row-vector, left-handed convention,
// inverse and its failure on singular matrices, cameras and projections.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/d3dx9math.h"

namespace {

constexpr float kEps = 1e-5f;

void ExpectMatrixNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float eps = kEps) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(a.m[i][j], b.m[i][j], eps) << "element " << i + 1 << j + 1;
}

void ExpectVecNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float eps = kEps) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    return *D3DXMatrixIdentity(&m);
}

TEST(MatrixTest, TranslationAndScalingShapes) {
    D3DXMATRIX t, s;
    D3DXMatrixTranslation(&t, 1, 2, 3);
    EXPECT_EQ(t, D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1));
    D3DXMatrixScaling(&s, 2, 3, 4);
    EXPECT_EQ(s, D3DXMATRIX(2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1));
    // A point moves by the fourth row.
    D3DXVECTOR3 p(1, 1, 1), r;
    D3DXVec3TransformCoord(&r, &p, &t);
    EXPECT_EQ(r, D3DXVECTOR3(2, 3, 4));
    // Directions ignore translation.
    D3DXVec3TransformNormal(&r, &p, &t);
    EXPECT_EQ(r, D3DXVECTOR3(1, 1, 1));
}

TEST(MatrixTest, MultiplyAppliesLeftOperandFirstAndAllowsAliasing) {
    D3DXMATRIX s, t, st, ts;
    D3DXMatrixScaling(&s, 2, 2, 2);
    D3DXMatrixTranslation(&t, 10, 0, 0);
    D3DXMatrixMultiply(&st, &s, &t);
    D3DXMatrixMultiply(&ts, &t, &s);
    D3DXVECTOR3 p(1, 0, 0), r;
    D3DXVec3TransformCoord(&r, &p, &st);
    EXPECT_EQ(r, D3DXVECTOR3(12, 0, 0));  // scale, then move
    D3DXVec3TransformCoord(&r, &p, &ts);
    EXPECT_EQ(r, D3DXVECTOR3(22, 0, 0));  // move, then scale

    D3DXMATRIX a = s;
    D3DXMatrixMultiply(&a, &a, &t);  // output aliases the first input
    EXPECT_EQ(a, st);
    a = t;
    D3DXMatrixMultiply(&a, &s, &a);  // output aliases the second input
    EXPECT_EQ(a, st);
    a = s;
    a *= t;  // M = M x N
    EXPECT_EQ(a, st);
    EXPECT_EQ(s * t, st);
}

TEST(MatrixTest, InverseOfGeneralMatrixAndDeterminant) {
    const D3DXMATRIX m(2, 1, 0, 3, 0, 1, 4, 1, 1, 0, 1, 2, 3, 2, 1, 1);
    D3DXMATRIX inv;
    float det = 0;
    ASSERT_NE(D3DXMatrixInverse(&inv, &det, &m), nullptr);
    EXPECT_NEAR(det, D3DXMatrixDeterminant(&m), 1e-4f);
    EXPECT_NEAR(det, -22.0f, 1e-3f);  // by cofactor expansion
    ExpectMatrixNear(m * inv, Identity());
    ExpectMatrixNear(inv * m, Identity());

    D3DXMATRIX same = m;  // in place, determinant not wanted
    ASSERT_EQ(D3DXMatrixInverse(&same, nullptr, &same), &same);
    ExpectMatrixNear(same, inv);
}

TEST(MatrixTest, InverseOfSingularMatrixFailsAndLeavesOutput) {
    const D3DXMATRIX singular(1, 2, 3, 4, 2, 4, 6, 8, 0, 1, 0, 1, 5, 5, 5, 5);  // row 2 = 2 x row 1
    const D3DXMATRIX sentinel(9, 8, 7, 6, 5, 4, 3, 2, 1, 0, -1, -2, -3, -4, -5, -6);
    D3DXMATRIX out = sentinel;
    float det = 123;
    EXPECT_EQ(D3DXMatrixInverse(&out, &det, &singular), nullptr);
    EXPECT_EQ(out, sentinel);
    EXPECT_EQ(det, 0.0f);

    D3DXMATRIX zero;
    std::memset(&zero, 0, sizeof zero);
    EXPECT_EQ(D3DXMatrixInverse(&out, nullptr, &zero), nullptr);
    EXPECT_EQ(out, sentinel);
}

TEST(MatrixTest, RotationXMatchesItsRows) {
    const float a = 0.3f, c = std::cos(a), s = std::sin(a);
    D3DXMATRIX r;
    D3DXMatrixRotationX(&r, a);
    ExpectMatrixNear(r, D3DXMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1));
}

TEST(MatrixTest, RotationAxisAgreesWithAxisRotationsAndTurnsXToY) {
    const float a = 0.7f;
    D3DXMATRIX axis, fixed;
    const D3DXVECTOR3 ex(1, 0, 0), ey(0, 1, 0), ez(0, 0, 1), unnormalised(0, 0, 5);
    D3DXMatrixRotationAxis(&axis, &ex, a);
    ExpectMatrixNear(axis, *D3DXMatrixRotationX(&fixed, a));
    D3DXMatrixRotationAxis(&axis, &ey, a);
    ExpectMatrixNear(axis, *D3DXMatrixRotationY(&fixed, a));
    D3DXMatrixRotationAxis(&axis, &unnormalised, a);  // the axis is normalised first
    ExpectMatrixNear(axis, *D3DXMatrixRotationZ(&fixed, a));

    D3DXMatrixRotationAxis(&axis, &ez, D3DX_PI / 2);
    D3DXVECTOR3 r;
    D3DXVec3TransformCoord(&r, &ex, &axis);
    ExpectVecNear(r, D3DXVECTOR3(0, 1, 0));
}

TEST(MatrixTest, YawPitchRollIsRollThenPitchThenYaw) {
    const float yaw = 0.4f, pitch = -0.9f, roll = 1.3f;
    D3DXMATRIX ypr, rz, rx, ry;
    D3DXMatrixRotationYawPitchRoll(&ypr, yaw, pitch, roll);
    D3DXMatrixRotationZ(&rz, roll);
    D3DXMatrixRotationX(&rx, pitch);
    D3DXMatrixRotationY(&ry, yaw);
    ExpectMatrixNear(ypr, rz * rx * ry);
    ExpectMatrixNear(*D3DXMatrixRotationYawPitchRoll(&ypr, 0, 0, 0), Identity());
}

TEST(MatrixTest, LookAtInverseCarriesOriginToEye) {
    const D3DXVECTOR3 eye(3, 4, -10), at(1, -2, 5), up(0, 1, 0);
    D3DXMATRIX view, inv;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    ASSERT_NE(D3DXMatrixInverse(&inv, nullptr, &view), nullptr);
    const D3DXVECTOR3 origin(0, 0, 0), forward(0, 0, 1);
    D3DXVECTOR3 r;
    D3DXVec3TransformCoord(&r, &origin, &inv);
    ExpectVecNear(r, eye, 1e-4f);
    // View space looks down +z: the target lies on the positive z axis.
    D3DXVec3TransformCoord(&r, &at, &view);
    EXPECT_NEAR(r.x, 0, 1e-4f);
    EXPECT_NEAR(r.y, 0, 1e-4f);
    EXPECT_GT(r.z, 0);
    // And view-space +z maps back to the direction from eye to target.
    D3DXVec3TransformNormal(&r, &forward, &inv);
    D3DXVECTOR3 dir = at - eye;
    D3DXVec3Normalize(&dir, &dir);
    ExpectVecNear(r, dir);
}

TEST(MatrixTest, LookAtAxesAreOrthonormalAndLeftHanded) {
    const D3DXVECTOR3 eye(0, 0, -100), at(0, 0, 0), up(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    // Standard camera: x to the right, y up, eye 100 units in front.
    ExpectMatrixNear(view, D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 100, 1));
}

TEST(MatrixTest, PerspectiveFovMapsNearAndFarToDepthZeroAndOne) {
    const float fov = D3DX_PI / 4, aspect = 640.0f / 480.0f, zn = 1.0f, zf = 1000.0f;
    D3DXMATRIX p;
    D3DXMatrixPerspectiveFovLH(&p, fov, aspect, zn, zf);
    const float ys = 1.0f / std::tan(fov / 2);
    EXPECT_NEAR(p._22, ys, kEps);
    EXPECT_NEAR(p._11, ys / aspect, kEps);
    EXPECT_EQ(p._34, 1.0f);
    EXPECT_EQ(p._44, 0.0f);
    D3DXVECTOR3 r;
    const D3DXVECTOR3 nearPt(0, 0, zn), farPt(0, 0, zf);
    D3DXVec3TransformCoord(&r, &nearPt, &p);
    EXPECT_NEAR(r.z, 0.0f, kEps);
    D3DXVec3TransformCoord(&r, &farPt, &p);
    EXPECT_NEAR(r.z, 1.0f, kEps);
    // The top edge of the field of view lands on y = 1.
    const D3DXVECTOR3 top(0, std::tan(fov / 2) * 10, 10);
    D3DXVec3TransformCoord(&r, &top, &p);
    EXPECT_NEAR(r.y, 1.0f, kEps);
}

TEST(MatrixTest, OrthoOffCenterMapsCornersToClipSpace) {
    D3DXMATRIX o;
    D3DXMatrixOrthoOffCenterLH(&o, 0, 640, 480, 0, 0, 1);  // pixel coordinates, y down
    D3DXVECTOR3 r;
    const D3DXVECTOR3 topLeft(0, 0, 0), bottomRight(640, 480, 1);
    D3DXVec3TransformCoord(&r, &topLeft, &o);
    ExpectVecNear(r, D3DXVECTOR3(-1, 1, 0));
    D3DXVec3TransformCoord(&r, &bottomRight, &o);
    ExpectVecNear(r, D3DXVECTOR3(1, -1, 1));
    D3DXMATRIX c;
    D3DXMatrixOrthoLH(&c, 4, 2, 0, 10);
    const D3DXVECTOR3 corner(2, 1, 10);
    D3DXVec3TransformCoord(&r, &corner, &c);
    ExpectVecNear(r, D3DXVECTOR3(1, 1, 1));
}

TEST(MatrixTest, TransposeAndOperators) {
    const D3DXMATRIX m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    D3DXMATRIX t;
    D3DXMatrixTranspose(&t, &m);
    EXPECT_EQ(t._12, 5);
    EXPECT_EQ(t._41, 4);
    EXPECT_EQ(t(3, 0), 4);
    D3DXMatrixTranspose(&t, &t);
    EXPECT_EQ(t, m);
    EXPECT_EQ((m + m)._23, 14);
    EXPECT_EQ((m - m), D3DXMATRIX(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ((2.0f * m)._44, 32);
    EXPECT_EQ((m / 2.0f)._11, 0.5f);
    EXPECT_TRUE(D3DXMatrixIsIdentity(&*D3DXMatrixIdentity(&t)));
    EXPECT_FALSE(D3DXMatrixIsIdentity(&m));
}

TEST(MatrixTest, ProjectAndUnprojectAreInverse) {
    const D3DXVECTOR3 eye(0, 0, -100), at(0, 0, 0), up(0, 1, 0);
    D3DXMATRIX view, proj, world;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 4, 4.0f / 3.0f, 1.0f, 1000.0f);
    D3DXMatrixTranslation(&world, 5, 3, 2);
    const D3DVIEWPORT9 vp = {0, 0, 640, 480, 0.0f, 1.0f};
    const D3DXVECTOR3 p(1, 2, 3);
    D3DXVECTOR3 screen, back;
    D3DXVec3Project(&screen, &p, &vp, &proj, &view, &world);
    EXPECT_GT(screen.x, 320);  // right of centre
    EXPECT_LT(screen.y, 240);  // above centre (screen y grows down)
    ASSERT_NE(D3DXVec3Unproject(&back, &screen, &vp, &proj, &view, &world), nullptr);
    ExpectVecNear(back, p, 1e-3f);
}

}  // namespace
