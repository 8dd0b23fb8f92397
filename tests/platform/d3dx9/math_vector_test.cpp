// Vector, quaternion and colour operations: products, normalising, the
// quaternion/matrix correspondence and colour packing.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/d3dx9math.h"

namespace {

constexpr float kEps = 1e-5f;

void ExpectQuatNear(const D3DXQUATERNION& a, const D3DXQUATERNION& b, float eps = kEps) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
    EXPECT_NEAR(a.w, b.w, eps);
}

void ExpectMatrixNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float eps = kEps) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(a.m[i][j], b.m[i][j], eps) << "element " << i + 1 << j + 1;
}

TEST(VectorTest, CrossDotLengthFollowTheFormulas) {
    const D3DXVECTOR3 a(1, 2, 3), b(-4, 5, 0.5f);
    D3DXVECTOR3 c;
    D3DXVec3Cross(&c, &a, &b);
    EXPECT_EQ(c, D3DXVECTOR3(2 * 0.5f - 3 * 5, 3 * -4 - 1 * 0.5f, 1 * 5 - 2 * -4));
    const D3DXVECTOR3 ex(1, 0, 0), ey(0, 1, 0);
    D3DXVec3Cross(&c, &ex, &ey);
    EXPECT_EQ(c, D3DXVECTOR3(0, 0, 1));
    D3DXVECTOR3 alias = a;
    D3DXVec3Cross(&alias, &alias, &b);  // output aliases an input
    D3DXVec3Cross(&c, &a, &b);
    EXPECT_EQ(alias, c);
    EXPECT_EQ(D3DXVec3Dot(&a, &b), -4 + 10 + 1.5f);
    EXPECT_EQ(D3DXVec3LengthSq(&a), 14);
    EXPECT_NEAR(D3DXVec3Length(&a), std::sqrt(14.0f), kEps);
}

TEST(VectorTest, NormalizeKeepsZeroAtZero) {
    const D3DXVECTOR3 v(3, 0, 4), zero(0, 0, 0);
    D3DXVECTOR3 r;
    D3DXVec3Normalize(&r, &v);
    EXPECT_NEAR(r.x, 0.6f, kEps);
    EXPECT_NEAR(r.z, 0.8f, kEps);
    D3DXVec3Normalize(&r, &zero);
    EXPECT_EQ(r, zero);
    const D3DXVECTOR2 z2(0, 0);
    D3DXVECTOR2 r2;
    EXPECT_EQ(*D3DXVec2Normalize(&r2, &z2), z2);
    const D3DXVECTOR4 z4(0, 0, 0, 0);
    D3DXVECTOR4 r4;
    EXPECT_EQ(*D3DXVec4Normalize(&r4, &z4), z4);
}

TEST(VectorTest, OperatorsAreComponentWise) {
    D3DXVECTOR3 a(1, 2, 3);
    const D3DXVECTOR3 b(4, 5, 6);
    EXPECT_EQ(a + b, D3DXVECTOR3(5, 7, 9));
    EXPECT_EQ(b - a, D3DXVECTOR3(3, 3, 3));
    EXPECT_EQ(a * 2.0f, D3DXVECTOR3(2, 4, 6));
    EXPECT_EQ(2.0f * a, D3DXVECTOR3(2, 4, 6));
    EXPECT_EQ(b / 2.0f, D3DXVECTOR3(2, 2.5f, 3));
    EXPECT_EQ(-a, D3DXVECTOR3(-1, -2, -3));
    a += b;
    a -= D3DXVECTOR3(1, 1, 1);
    a *= 2.0f;
    EXPECT_EQ(a, D3DXVECTOR3(8, 12, 16));
    EXPECT_NE(a, b);
    D3DXVECTOR3 lerp;
    const D3DXVECTOR3 zero(0, 0, 0);
    EXPECT_EQ(*D3DXVec3Lerp(&lerp, &zero, &b, 0.5f), D3DXVECTOR3(2, 2.5f, 3));
}

TEST(VectorTest, TransformCoordDividesByW) {
    // A matrix whose fourth column makes w = 2 for every point.
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    m._44 = 2;
    const D3DXVECTOR3 p(2, 4, 6);
    D3DXVECTOR3 r;
    D3DXVec3TransformCoord(&r, &p, &m);
    EXPECT_EQ(r, D3DXVECTOR3(1, 2, 3));
    D3DXVECTOR4 full;
    D3DXVec3Transform(&full, &p, &m);
    EXPECT_EQ(full, D3DXVECTOR4(2, 4, 6, 2));
    D3DXVec3TransformNormal(&r, &p, &m);  // upper 3x3 only
    EXPECT_EQ(r, p);
}

TEST(QuaternionTest, MultiplyByIdentityGivesTheQuaternion) {
    D3DXQUATERNION id, r;
    D3DXQuaternionIdentity(&id);
    const D3DXQUATERNION q(0.1f, -0.2f, 0.3f, 0.9f);
    EXPECT_EQ(*D3DXQuaternionMultiply(&r, &id, &q), q);
    EXPECT_EQ(*D3DXQuaternionMultiply(&r, &q, &id), q);
    EXPECT_TRUE(D3DXQuaternionIsIdentity(&id));
    EXPECT_FALSE(D3DXQuaternionIsIdentity(&q));
}

TEST(QuaternionTest, ProductIsFirstRotationThenSecond) {
    D3DXQUATERNION q1, q2, q12;
    const D3DXVECTOR3 a1(1, 2, 3), a2(-1, 0.5f, 2);
    D3DXQuaternionRotationAxis(&q1, &a1, 0.8f);
    D3DXQuaternionRotationAxis(&q2, &a2, -1.4f);
    D3DXQuaternionMultiply(&q12, &q1, &q2);
    D3DXMATRIX m1, m2, m12;
    D3DXMatrixRotationQuaternion(&m1, &q1);
    D3DXMatrixRotationQuaternion(&m2, &q2);
    D3DXMatrixRotationQuaternion(&m12, &q12);
    ExpectMatrixNear(m12, m1 * m2);
    ExpectQuatNear(q1 * q2, q12);
}

TEST(QuaternionTest, AxisQuaternionMatrixMatchesAxisMatrix) {
    const D3DXVECTOR3 axis(0.3f, -0.7f, 0.2f);
    D3DXQUATERNION q;
    D3DXMATRIX fromQuat, fromAxis;
    D3DXQuaternionRotationAxis(&q, &axis, 2.1f);
    D3DXMatrixRotationQuaternion(&fromQuat, &q);
    D3DXMatrixRotationAxis(&fromAxis, &axis, 2.1f);
    ExpectMatrixNear(fromQuat, fromAxis);
}

TEST(QuaternionTest, RotationMatrixInvertsRotationQuaternionOnEveryBranch) {
    // Angles near 0, pi/2 and pi about each axis exercise all four branches.
    const D3DXVECTOR3 axes[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}, {-2, 0.5f, 0.1f}};
    const float angles[] = {0.0f, 0.5f, 1.6f, 3.0f, D3DX_PI};
    for (const D3DXVECTOR3& axis : axes) {
        for (float angle : angles) {
            D3DXQUATERNION q, back;
            D3DXQuaternionRotationAxis(&q, &axis, angle);
            D3DXMATRIX m, m2;
            D3DXMatrixRotationQuaternion(&m, &q);
            D3DXQuaternionRotationMatrix(&back, &m);
            EXPECT_NEAR(D3DXQuaternionLength(&back), 1.0f, kEps);
            // q and -q are the same rotation: compare matrices.
            D3DXMatrixRotationQuaternion(&m2, &back);
            ExpectMatrixNear(m2, m, 1e-5f);
        }
    }
    // Scaling does not leak into the unit result.
    D3DXMATRIX scaled;
    D3DXMatrixScaling(&scaled, 3, 3, 3);
    D3DXQUATERNION q;
    D3DXQuaternionRotationMatrix(&q, &scaled);
    ExpectQuatNear(q, D3DXQUATERNION(0, 0, 0, 1));
}

TEST(QuaternionTest, YawPitchRollMatchesMatrix) {
    D3DXQUATERNION q;
    D3DXMATRIX fromQ, direct;
    D3DXQuaternionRotationYawPitchRoll(&q, 0.3f, -1.1f, 2.0f);
    D3DXMatrixRotationQuaternion(&fromQ, &q);
    D3DXMatrixRotationYawPitchRoll(&direct, 0.3f, -1.1f, 2.0f);
    ExpectMatrixNear(fromQ, direct);
}

TEST(QuaternionTest, NormalizeInverseSlerpAndAxisAngle) {
    const D3DXQUATERNION zero(0, 0, 0, 0);
    D3DXQUATERNION r;
    EXPECT_EQ(*D3DXQuaternionNormalize(&r, &zero), zero);
    EXPECT_EQ(*D3DXQuaternionInverse(&r, &zero), zero);

    const D3DXQUATERNION q(1, 2, 3, 4);
    D3DXQUATERNION inv, prod, id;
    D3DXQuaternionInverse(&inv, &q);
    D3DXQuaternionMultiply(&prod, &q, &inv);
    ExpectQuatNear(prod, *D3DXQuaternionIdentity(&id));

    D3DXQUATERNION a, b, mid;
    const D3DXVECTOR3 z(0, 0, 1);
    D3DXQuaternionRotationAxis(&a, &z, 0.2f);
    D3DXQuaternionRotationAxis(&b, &z, 1.0f);
    D3DXQuaternionSlerp(&mid, &a, &b, 0.5f);
    D3DXVECTOR3 axis;
    float angle = 0;
    D3DXQuaternionToAxisAngle(&mid, &axis, &angle);
    EXPECT_NEAR(angle, 0.6f, 1e-5f);
    EXPECT_NEAR(axis.z / D3DXVec3Length(&axis), 1.0f, kEps);
    // The shorter arc is taken even when the second quaternion has the other sign.
    D3DXQUATERNION negB = -b, mid2;
    D3DXQuaternionSlerp(&mid2, &a, &negB, 0.5f);
    ExpectQuatNear(mid2, mid);
    ExpectQuatNear(*D3DXQuaternionSlerp(&r, &a, &b, 0.0f), a);
    ExpectQuatNear(*D3DXQuaternionSlerp(&r, &a, &b, 1.0f), b);
}

TEST(ColorTest, PackingRoundsAndClamps) {
    const D3DXCOLOR c(1.0f, 0.75f, 0.0f, 1.0f);
    EXPECT_EQ((DWORD)c, 0xFFFFBF00u);  // alpha 255, red 255, green 191, blue 0
    const D3DXCOLOR out(2.0f, -1.0f, 0.5f, 0.001f);
    EXPECT_EQ((DWORD)out, 0x00FF0080u);  // clamped red and green, 0.5 -> 128, tiny alpha -> 0
    const D3DXCOLOR nan(std::nanf(""), 0.0f, 0.0f, 1.0f);
    EXPECT_EQ((DWORD)nan, 0xFF000000u);
}

TEST(ColorTest, UnpackingScalesEachByte) {
    const D3DXCOLOR c(0x80FF4000u);
    EXPECT_FLOAT_EQ(c.a, 128 * 0.003921569f);
    EXPECT_FLOAT_EQ(c.r, 255 * 0.003921569f);
    EXPECT_FLOAT_EQ(c.g, 64 * 0.003921569f);
    EXPECT_EQ(c.b, 0.0f);
    // Round trip of every byte value.
    for (DWORD v = 0; v < 256; ++v) {
        const DWORD argb = (v << 24) | (v << 16) | ((255 - v) << 8) | v;
        EXPECT_EQ((DWORD)D3DXCOLOR(argb), argb);
    }
}

TEST(ColorTest, ScalingIncludesAlphaAndConvertsToColorValue) {
    const D3DXCOLOR c(0.2f, 0.4f, 0.6f, 0.8f);
    const D3DXCOLOR half = c * 0.5f;
    EXPECT_FLOAT_EQ(half.a, 0.4f);
    EXPECT_FLOAT_EQ(half.r, 0.1f);
    const D3DCOLORVALUE& cv = c;
    EXPECT_EQ(cv.g, 0.4f);
    D3DMATERIAL9 mat = {};
    mat.Diffuse = c;
    EXPECT_EQ(mat.Diffuse.b, 0.6f);
    D3DXCOLOR mod;
    EXPECT_FLOAT_EQ(D3DXColorModulate(&mod, &c, &half)->r, 0.02f);
}

}  // namespace
