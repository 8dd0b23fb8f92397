// Inline operators and the small inline operations of the D3DX maths.
// Included at the end of platform/d3dx9math.h only.
#pragma once

#include <cmath>
#include <cstring>

inline D3DXVECTOR2::D3DXVECTOR2(const FLOAT* pf) {
    x = pf[0];
    y = pf[1];
}
inline D3DXVECTOR2::D3DXVECTOR2(FLOAT fx, FLOAT fy) {
    x = fx;
    y = fy;
}
inline D3DXVECTOR2::operator FLOAT*() { return &x; }
inline D3DXVECTOR2::operator const FLOAT*() const { return &x; }
inline D3DXVECTOR2& D3DXVECTOR2::operator+=(const D3DXVECTOR2& v) {
    x += v.x;
    y += v.y;
    return *this;
}
inline D3DXVECTOR2& D3DXVECTOR2::operator-=(const D3DXVECTOR2& v) {
    x -= v.x;
    y -= v.y;
    return *this;
}
inline D3DXVECTOR2& D3DXVECTOR2::operator*=(FLOAT f) {
    x *= f;
    y *= f;
    return *this;
}
inline D3DXVECTOR2& D3DXVECTOR2::operator/=(FLOAT f) {
    const FLOAT inv = 1.0f / f;
    x *= inv;
    y *= inv;
    return *this;
}
inline D3DXVECTOR2 D3DXVECTOR2::operator+() const { return *this; }
inline D3DXVECTOR2 D3DXVECTOR2::operator-() const { return D3DXVECTOR2(-x, -y); }
inline D3DXVECTOR2 D3DXVECTOR2::operator+(const D3DXVECTOR2& v) const {
    return D3DXVECTOR2(x + v.x, y + v.y);
}
inline D3DXVECTOR2 D3DXVECTOR2::operator-(const D3DXVECTOR2& v) const {
    return D3DXVECTOR2(x - v.x, y - v.y);
}
inline D3DXVECTOR2 D3DXVECTOR2::operator*(FLOAT f) const { return D3DXVECTOR2(x * f, y * f); }
inline D3DXVECTOR2 D3DXVECTOR2::operator/(FLOAT f) const {
    const FLOAT inv = 1.0f / f;
    return D3DXVECTOR2(x * inv, y * inv);
}
inline D3DXVECTOR2 operator*(FLOAT f, const D3DXVECTOR2& v) { return D3DXVECTOR2(f * v.x, f * v.y); }
inline bool D3DXVECTOR2::operator==(const D3DXVECTOR2& v) const { return x == v.x && y == v.y; }
inline bool D3DXVECTOR2::operator!=(const D3DXVECTOR2& v) const { return x != v.x || y != v.y; }

inline D3DXVECTOR3::D3DXVECTOR3(const FLOAT* pf) {
    x = pf[0];
    y = pf[1];
    z = pf[2];
}
inline D3DXVECTOR3::D3DXVECTOR3(FLOAT fx, FLOAT fy, FLOAT fz) {
    x = fx;
    y = fy;
    z = fz;
}
inline D3DXVECTOR3::D3DXVECTOR3(const D3DVECTOR& v) {
    x = v.x;
    y = v.y;
    z = v.z;
}
inline D3DXVECTOR3::operator FLOAT*() { return &x; }
inline D3DXVECTOR3::operator const FLOAT*() const { return &x; }
inline D3DXVECTOR3& D3DXVECTOR3::operator+=(const D3DXVECTOR3& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}
inline D3DXVECTOR3& D3DXVECTOR3::operator-=(const D3DXVECTOR3& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}
inline D3DXVECTOR3& D3DXVECTOR3::operator*=(FLOAT f) {
    x *= f;
    y *= f;
    z *= f;
    return *this;
}
inline D3DXVECTOR3& D3DXVECTOR3::operator/=(FLOAT f) {
    const FLOAT inv = 1.0f / f;
    x *= inv;
    y *= inv;
    z *= inv;
    return *this;
}
inline D3DXVECTOR3 D3DXVECTOR3::operator+() const { return *this; }
inline D3DXVECTOR3 D3DXVECTOR3::operator-() const { return D3DXVECTOR3(-x, -y, -z); }
inline D3DXVECTOR3 D3DXVECTOR3::operator+(const D3DXVECTOR3& v) const {
    return D3DXVECTOR3(x + v.x, y + v.y, z + v.z);
}
inline D3DXVECTOR3 D3DXVECTOR3::operator-(const D3DXVECTOR3& v) const {
    return D3DXVECTOR3(x - v.x, y - v.y, z - v.z);
}
inline D3DXVECTOR3 D3DXVECTOR3::operator*(FLOAT f) const { return D3DXVECTOR3(x * f, y * f, z * f); }
inline D3DXVECTOR3 D3DXVECTOR3::operator/(FLOAT f) const {
    const FLOAT inv = 1.0f / f;
    return D3DXVECTOR3(x * inv, y * inv, z * inv);
}
inline D3DXVECTOR3 operator*(FLOAT f, const D3DXVECTOR3& v) { return D3DXVECTOR3(f * v.x, f * v.y, f * v.z); }
inline bool D3DXVECTOR3::operator==(const D3DXVECTOR3& v) const { return x == v.x && y == v.y && z == v.z; }
inline bool D3DXVECTOR3::operator!=(const D3DXVECTOR3& v) const { return x != v.x || y != v.y || z != v.z; }

inline D3DXVECTOR4::D3DXVECTOR4(const FLOAT* pf) {
    x = pf[0];
    y = pf[1];
    z = pf[2];
    w = pf[3];
}
inline D3DXVECTOR4::D3DXVECTOR4(FLOAT fx, FLOAT fy, FLOAT fz, FLOAT fw) {
    x = fx;
    y = fy;
    z = fz;
    w = fw;
}
inline D3DXVECTOR4::D3DXVECTOR4(const D3DVECTOR& xyz, FLOAT fw) {
    x = xyz.x;
    y = xyz.y;
    z = xyz.z;
    w = fw;
}
inline D3DXVECTOR4::operator FLOAT*() { return &x; }
inline D3DXVECTOR4::operator const FLOAT*() const { return &x; }
inline D3DXVECTOR4& D3DXVECTOR4::operator+=(const D3DXVECTOR4& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    w += v.w;
    return *this;
}
inline D3DXVECTOR4& D3DXVECTOR4::operator-=(const D3DXVECTOR4& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    w -= v.w;
    return *this;
}
inline D3DXVECTOR4& D3DXVECTOR4::operator*=(FLOAT f) {
    x *= f;
    y *= f;
    z *= f;
    w *= f;
    return *this;
}
inline D3DXVECTOR4& D3DXVECTOR4::operator/=(FLOAT f) {
    const FLOAT inv = 1.0f / f;
    x *= inv;
    y *= inv;
    z *= inv;
    w *= inv;
    return *this;
}
inline D3DXVECTOR4 D3DXVECTOR4::operator+() const { return *this; }
inline D3DXVECTOR4 D3DXVECTOR4::operator-() const { return D3DXVECTOR4(-x, -y, -z, -w); }
inline D3DXVECTOR4 D3DXVECTOR4::operator+(const D3DXVECTOR4& v) const {
    return D3DXVECTOR4(x + v.x, y + v.y, z + v.z, w + v.w);
}
inline D3DXVECTOR4 D3DXVECTOR4::operator-(const D3DXVECTOR4& v) const {
    return D3DXVECTOR4(x - v.x, y - v.y, z - v.z, w - v.w);
}
inline D3DXVECTOR4 D3DXVECTOR4::operator*(FLOAT f) const { return D3DXVECTOR4(x * f, y * f, z * f, w * f); }
inline D3DXVECTOR4 D3DXVECTOR4::operator/(FLOAT f) const {
    const FLOAT inv = 1.0f / f;
    return D3DXVECTOR4(x * inv, y * inv, z * inv, w * inv);
}
inline D3DXVECTOR4 operator*(FLOAT f, const D3DXVECTOR4& v) {
    return D3DXVECTOR4(f * v.x, f * v.y, f * v.z, f * v.w);
}
inline bool D3DXVECTOR4::operator==(const D3DXVECTOR4& v) const {
    return x == v.x && y == v.y && z == v.z && w == v.w;
}
inline bool D3DXVECTOR4::operator!=(const D3DXVECTOR4& v) const {
    return x != v.x || y != v.y || z != v.z || w != v.w;
}

inline D3DXQUATERNION::D3DXQUATERNION(const FLOAT* pf) {
    x = pf[0];
    y = pf[1];
    z = pf[2];
    w = pf[3];
}
inline D3DXQUATERNION::D3DXQUATERNION(FLOAT fx, FLOAT fy, FLOAT fz, FLOAT fw) {
    x = fx;
    y = fy;
    z = fz;
    w = fw;
}
inline D3DXQUATERNION::operator FLOAT*() { return &x; }
inline D3DXQUATERNION::operator const FLOAT*() const { return &x; }
inline D3DXQUATERNION& D3DXQUATERNION::operator+=(const D3DXQUATERNION& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    w += v.w;
    return *this;
}
inline D3DXQUATERNION& D3DXQUATERNION::operator-=(const D3DXQUATERNION& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    w -= v.w;
    return *this;
}
inline D3DXQUATERNION& D3DXQUATERNION::operator*=(FLOAT f) {
    x *= f;
    y *= f;
    z *= f;
    w *= f;
    return *this;
}
inline D3DXQUATERNION& D3DXQUATERNION::operator/=(FLOAT f) {
    const FLOAT inv = 1.0f / f;
    x *= inv;
    y *= inv;
    z *= inv;
    w *= inv;
    return *this;
}
inline D3DXQUATERNION D3DXQUATERNION::operator+() const { return *this; }
inline D3DXQUATERNION D3DXQUATERNION::operator-() const { return D3DXQUATERNION(-x, -y, -z, -w); }
inline D3DXQUATERNION D3DXQUATERNION::operator+(const D3DXQUATERNION& v) const {
    return D3DXQUATERNION(x + v.x, y + v.y, z + v.z, w + v.w);
}
inline D3DXQUATERNION D3DXQUATERNION::operator-(const D3DXQUATERNION& v) const {
    return D3DXQUATERNION(x - v.x, y - v.y, z - v.z, w - v.w);
}
inline D3DXQUATERNION D3DXQUATERNION::operator*(FLOAT f) const {
    return D3DXQUATERNION(x * f, y * f, z * f, w * f);
}
inline D3DXQUATERNION D3DXQUATERNION::operator/(FLOAT f) const {
    const FLOAT inv = 1.0f / f;
    return D3DXQUATERNION(x * inv, y * inv, z * inv, w * inv);
}
inline D3DXQUATERNION operator*(FLOAT f, const D3DXQUATERNION& v) {
    return D3DXQUATERNION(f * v.x, f * v.y, f * v.z, f * v.w);
}
inline bool D3DXQUATERNION::operator==(const D3DXQUATERNION& v) const {
    return x == v.x && y == v.y && z == v.z && w == v.w;
}
inline bool D3DXQUATERNION::operator!=(const D3DXQUATERNION& v) const {
    return x != v.x || y != v.y || z != v.z || w != v.w;
}

inline D3DXCOLOR::D3DXCOLOR(const FLOAT* pf) {
    r = pf[0];
    g = pf[1];
    b = pf[2];
    a = pf[3];
}
inline D3DXCOLOR::D3DXCOLOR(FLOAT fr, FLOAT fg, FLOAT fb, FLOAT fa) {
    r = fr;
    g = fg;
    b = fb;
    a = fa;
}
inline D3DXCOLOR::operator FLOAT*() { return &r; }
inline D3DXCOLOR::operator const FLOAT*() const { return &r; }
inline D3DXCOLOR& D3DXCOLOR::operator+=(const D3DXCOLOR& v) {
    r += v.r;
    g += v.g;
    b += v.b;
    a += v.a;
    return *this;
}
inline D3DXCOLOR& D3DXCOLOR::operator-=(const D3DXCOLOR& v) {
    r -= v.r;
    g -= v.g;
    b -= v.b;
    a -= v.a;
    return *this;
}
inline D3DXCOLOR& D3DXCOLOR::operator*=(FLOAT f) {
    r *= f;
    g *= f;
    b *= f;
    a *= f;
    return *this;
}
inline D3DXCOLOR& D3DXCOLOR::operator/=(FLOAT f) {
    const FLOAT inv = 1.0f / f;
    r *= inv;
    g *= inv;
    b *= inv;
    a *= inv;
    return *this;
}
inline D3DXCOLOR D3DXCOLOR::operator+() const { return *this; }
inline D3DXCOLOR D3DXCOLOR::operator-() const { return D3DXCOLOR(-r, -g, -b, -a); }
inline D3DXCOLOR D3DXCOLOR::operator+(const D3DXCOLOR& v) const {
    return D3DXCOLOR(r + v.r, g + v.g, b + v.b, a + v.a);
}
inline D3DXCOLOR D3DXCOLOR::operator-(const D3DXCOLOR& v) const {
    return D3DXCOLOR(r - v.r, g - v.g, b - v.b, a - v.a);
}
inline D3DXCOLOR D3DXCOLOR::operator*(FLOAT f) const { return D3DXCOLOR(r * f, g * f, b * f, a * f); }
inline D3DXCOLOR D3DXCOLOR::operator/(FLOAT f) const {
    const FLOAT inv = 1.0f / f;
    return D3DXCOLOR(r * inv, g * inv, b * inv, a * inv);
}
inline D3DXCOLOR operator*(FLOAT f, const D3DXCOLOR& v) {
    return D3DXCOLOR(f * v.r, f * v.g, f * v.b, f * v.a);
}
inline bool D3DXCOLOR::operator==(const D3DXCOLOR& v) const {
    return r == v.r && g == v.g && b == v.b && a == v.a;
}
inline bool D3DXCOLOR::operator!=(const D3DXCOLOR& v) const {
    return r != v.r || g != v.g || b != v.b || a != v.a;
}

// The D3DX types share the layouts of the plain structures they stand for.
static_assert(sizeof(D3DXVECTOR3) == 3 * sizeof(FLOAT));
static_assert(sizeof(D3DXMATRIX) == 16 * sizeof(FLOAT));
static_assert(sizeof(D3DXCOLOR) == sizeof(D3DCOLORVALUE));

// ---------------------------------------------------------------------------
// Matrix operators
// ---------------------------------------------------------------------------
inline D3DXMATRIX::D3DXMATRIX(const FLOAT* pf) { std::memcpy(&_11, pf, sizeof(D3DMATRIX)); }
inline D3DXMATRIX::D3DXMATRIX(const D3DMATRIX& mat) : D3DMATRIX(mat) {}
inline D3DXMATRIX::D3DXMATRIX(FLOAT f11, FLOAT f12, FLOAT f13, FLOAT f14, FLOAT f21, FLOAT f22, FLOAT f23,
                              FLOAT f24, FLOAT f31, FLOAT f32, FLOAT f33, FLOAT f34, FLOAT f41, FLOAT f42,
                              FLOAT f43, FLOAT f44) {
    _11 = f11;
    _12 = f12;
    _13 = f13;
    _14 = f14;
    _21 = f21;
    _22 = f22;
    _23 = f23;
    _24 = f24;
    _31 = f31;
    _32 = f32;
    _33 = f33;
    _34 = f34;
    _41 = f41;
    _42 = f42;
    _43 = f43;
    _44 = f44;
}
inline FLOAT& D3DXMATRIX::operator()(UINT row, UINT col) { return m[row][col]; }
inline FLOAT D3DXMATRIX::operator()(UINT row, UINT col) const { return m[row][col]; }
inline D3DXMATRIX::operator FLOAT*() { return &_11; }
inline D3DXMATRIX::operator const FLOAT*() const { return &_11; }

inline D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& mat) {
    D3DXMatrixMultiply(this, this, &mat);
    return *this;
}
inline D3DXMATRIX& D3DXMATRIX::operator+=(const D3DXMATRIX& mat) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) m[i][j] += mat.m[i][j];
    return *this;
}
inline D3DXMATRIX& D3DXMATRIX::operator-=(const D3DXMATRIX& mat) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) m[i][j] -= mat.m[i][j];
    return *this;
}
inline D3DXMATRIX& D3DXMATRIX::operator*=(FLOAT f) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) m[i][j] *= f;
    return *this;
}
inline D3DXMATRIX& D3DXMATRIX::operator/=(FLOAT f) { return *this *= 1.0f / f; }
inline D3DXMATRIX D3DXMATRIX::operator+() const { return *this; }
inline D3DXMATRIX D3DXMATRIX::operator-() const { return *this * -1.0f; }
inline D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& mat) const {
    D3DXMATRIX r;
    D3DXMatrixMultiply(&r, this, &mat);
    return r;
}
inline D3DXMATRIX D3DXMATRIX::operator+(const D3DXMATRIX& mat) const {
    D3DXMATRIX r(*this);
    return r += mat;
}
inline D3DXMATRIX D3DXMATRIX::operator-(const D3DXMATRIX& mat) const {
    D3DXMATRIX r(*this);
    return r -= mat;
}
inline D3DXMATRIX D3DXMATRIX::operator*(FLOAT f) const {
    D3DXMATRIX r(*this);
    return r *= f;
}
inline D3DXMATRIX D3DXMATRIX::operator/(FLOAT f) const {
    D3DXMATRIX r(*this);
    return r /= f;
}
inline D3DXMATRIX operator*(FLOAT f, const D3DXMATRIX& mat) { return mat * f; }
inline bool D3DXMATRIX::operator==(const D3DXMATRIX& mat) const {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (m[i][j] != mat.m[i][j]) return false;
    return true;
}
inline bool D3DXMATRIX::operator!=(const D3DXMATRIX& mat) const { return !(*this == mat); }

// ---------------------------------------------------------------------------
// Quaternion product operators
// ---------------------------------------------------------------------------
inline D3DXQUATERNION& D3DXQUATERNION::operator*=(const D3DXQUATERNION& q) {
    D3DXQuaternionMultiply(this, this, &q);
    return *this;
}
inline D3DXQUATERNION D3DXQUATERNION::operator*(const D3DXQUATERNION& q) const {
    D3DXQUATERNION r;
    D3DXQuaternionMultiply(&r, this, &q);
    return r;
}

// ---------------------------------------------------------------------------
// Colour conversions
// ---------------------------------------------------------------------------
inline D3DXCOLOR::D3DXCOLOR(DWORD argb) {
    const FLOAT k = 0.003921569f;  // 1/255
    r = k * (FLOAT)((argb >> 16) & 0xff);
    g = k * (FLOAT)((argb >> 8) & 0xff);
    b = k * (FLOAT)(argb & 0xff);
    a = k * (FLOAT)((argb >> 24) & 0xff);
}
inline D3DXCOLOR::D3DXCOLOR(const D3DCOLORVALUE& c) : r(c.r), g(c.g), b(c.b), a(c.a) {}

namespace plat {
// One channel to a byte: >= 1 is 255, <= 0 (and NaN) is 0, else c*255 + 0.5 truncated.
inline DWORD PackColorChannel(FLOAT c) {
    if (c >= 1.0f) return 0xff;
    if (!(c > 0.0f)) return 0;
    return (DWORD)(c * 255.0f + 0.5f);
}
}  // namespace plat

inline D3DXCOLOR::operator DWORD() const {
    return (plat::PackColorChannel(a) << 24) | (plat::PackColorChannel(r) << 16) |
           (plat::PackColorChannel(g) << 8) | plat::PackColorChannel(b);
}
inline D3DXCOLOR::operator D3DCOLORVALUE*() { return reinterpret_cast<D3DCOLORVALUE*>(&r); }
inline D3DXCOLOR::operator const D3DCOLORVALUE*() const { return reinterpret_cast<const D3DCOLORVALUE*>(&r); }
inline D3DXCOLOR::operator D3DCOLORVALUE&() { return *reinterpret_cast<D3DCOLORVALUE*>(&r); }
inline D3DXCOLOR::operator const D3DCOLORVALUE&() const {
    return *reinterpret_cast<const D3DCOLORVALUE*>(&r);
}

// ---------------------------------------------------------------------------
// Vector2
// ---------------------------------------------------------------------------
inline FLOAT D3DXVec2LengthSq(const D3DXVECTOR2* pV) { return pV->x * pV->x + pV->y * pV->y; }
inline FLOAT D3DXVec2Length(const D3DXVECTOR2* pV) { return std::sqrt(D3DXVec2LengthSq(pV)); }
inline FLOAT D3DXVec2Dot(const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2) {
    return pV1->x * pV2->x + pV1->y * pV2->y;
}
inline FLOAT D3DXVec2CCW(const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2) {
    return pV1->x * pV2->y - pV1->y * pV2->x;
}
inline D3DXVECTOR2* D3DXVec2Add(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2) {
    *pOut = *pV1 + *pV2;
    return pOut;
}
inline D3DXVECTOR2* D3DXVec2Subtract(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2) {
    *pOut = *pV1 - *pV2;
    return pOut;
}
inline D3DXVECTOR2* D3DXVec2Scale(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV, FLOAT s) {
    *pOut = *pV * s;
    return pOut;
}
inline D3DXVECTOR2* D3DXVec2Lerp(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2, FLOAT s) {
    *pOut = *pV1 + (*pV2 - *pV1) * s;
    return pOut;
}
inline D3DXVECTOR2* D3DXVec2Minimize(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2) {
    *pOut = D3DXVECTOR2(pV1->x < pV2->x ? pV1->x : pV2->x, pV1->y < pV2->y ? pV1->y : pV2->y);
    return pOut;
}
inline D3DXVECTOR2* D3DXVec2Maximize(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2) {
    *pOut = D3DXVECTOR2(pV1->x > pV2->x ? pV1->x : pV2->x, pV1->y > pV2->y ? pV1->y : pV2->y);
    return pOut;
}

// ---------------------------------------------------------------------------
// Vector3
// ---------------------------------------------------------------------------
inline FLOAT D3DXVec3LengthSq(const D3DXVECTOR3* pV) { return pV->x * pV->x + pV->y * pV->y + pV->z * pV->z; }
inline FLOAT D3DXVec3Length(const D3DXVECTOR3* pV) { return std::sqrt(D3DXVec3LengthSq(pV)); }
inline FLOAT D3DXVec3Dot(const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2) {
    return pV1->x * pV2->x + pV1->y * pV2->y + pV1->z * pV2->z;
}
inline D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2) {
    const D3DXVECTOR3 r(pV1->y * pV2->z - pV1->z * pV2->y, pV1->z * pV2->x - pV1->x * pV2->z,
                        pV1->x * pV2->y - pV1->y * pV2->x);
    *pOut = r;
    return pOut;
}
inline D3DXVECTOR3* D3DXVec3Add(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2) {
    *pOut = *pV1 + *pV2;
    return pOut;
}
inline D3DXVECTOR3* D3DXVec3Subtract(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2) {
    *pOut = *pV1 - *pV2;
    return pOut;
}
inline D3DXVECTOR3* D3DXVec3Scale(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, FLOAT s) {
    *pOut = *pV * s;
    return pOut;
}
inline D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2, FLOAT s) {
    *pOut = *pV1 + (*pV2 - *pV1) * s;
    return pOut;
}
inline D3DXVECTOR3* D3DXVec3Minimize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2) {
    *pOut = D3DXVECTOR3(pV1->x < pV2->x ? pV1->x : pV2->x, pV1->y < pV2->y ? pV1->y : pV2->y,
                        pV1->z < pV2->z ? pV1->z : pV2->z);
    return pOut;
}
inline D3DXVECTOR3* D3DXVec3Maximize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2) {
    *pOut = D3DXVECTOR3(pV1->x > pV2->x ? pV1->x : pV2->x, pV1->y > pV2->y ? pV1->y : pV2->y,
                        pV1->z > pV2->z ? pV1->z : pV2->z);
    return pOut;
}

// ---------------------------------------------------------------------------
// Vector4
// ---------------------------------------------------------------------------
inline FLOAT D3DXVec4LengthSq(const D3DXVECTOR4* pV) {
    return pV->x * pV->x + pV->y * pV->y + pV->z * pV->z + pV->w * pV->w;
}
inline FLOAT D3DXVec4Length(const D3DXVECTOR4* pV) { return std::sqrt(D3DXVec4LengthSq(pV)); }
inline FLOAT D3DXVec4Dot(const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2) {
    return pV1->x * pV2->x + pV1->y * pV2->y + pV1->z * pV2->z + pV1->w * pV2->w;
}
inline D3DXVECTOR4* D3DXVec4Add(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2) {
    *pOut = *pV1 + *pV2;
    return pOut;
}
inline D3DXVECTOR4* D3DXVec4Subtract(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2) {
    *pOut = *pV1 - *pV2;
    return pOut;
}
inline D3DXVECTOR4* D3DXVec4Scale(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV, FLOAT s) {
    *pOut = *pV * s;
    return pOut;
}
inline D3DXVECTOR4* D3DXVec4Lerp(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2, FLOAT s) {
    *pOut = *pV1 + (*pV2 - *pV1) * s;
    return pOut;
}

// ---------------------------------------------------------------------------
// Matrix and quaternion identities, quaternion basics
// ---------------------------------------------------------------------------
inline D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* pOut) {
    *pOut = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return pOut;
}
inline BOOL D3DXMatrixIsIdentity(const D3DXMATRIX* pM) {
    D3DXMATRIX id;
    D3DXMatrixIdentity(&id);
    return *pM == id ? TRUE : FALSE;
}
inline D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* pOut) {
    *pOut = D3DXQUATERNION(0, 0, 0, 1);
    return pOut;
}
inline BOOL D3DXQuaternionIsIdentity(const D3DXQUATERNION* pQ) {
    return (pQ->x == 0 && pQ->y == 0 && pQ->z == 0 && pQ->w == 1) ? TRUE : FALSE;
}
inline FLOAT D3DXQuaternionLengthSq(const D3DXQUATERNION* pQ) {
    return pQ->x * pQ->x + pQ->y * pQ->y + pQ->z * pQ->z + pQ->w * pQ->w;
}
inline FLOAT D3DXQuaternionLength(const D3DXQUATERNION* pQ) { return std::sqrt(D3DXQuaternionLengthSq(pQ)); }
inline FLOAT D3DXQuaternionDot(const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2) {
    return pQ1->x * pQ2->x + pQ1->y * pQ2->y + pQ1->z * pQ2->z + pQ1->w * pQ2->w;
}
inline D3DXQUATERNION* D3DXQuaternionConjugate(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ) {
    *pOut = D3DXQUATERNION(-pQ->x, -pQ->y, -pQ->z, pQ->w);
    return pOut;
}

// ---------------------------------------------------------------------------
// Colour
// ---------------------------------------------------------------------------
inline D3DXCOLOR* D3DXColorAdd(D3DXCOLOR* pOut, const D3DXCOLOR* pC1, const D3DXCOLOR* pC2) {
    *pOut = *pC1 + *pC2;
    return pOut;
}
inline D3DXCOLOR* D3DXColorSubtract(D3DXCOLOR* pOut, const D3DXCOLOR* pC1, const D3DXCOLOR* pC2) {
    *pOut = *pC1 - *pC2;
    return pOut;
}
inline D3DXCOLOR* D3DXColorScale(D3DXCOLOR* pOut, const D3DXCOLOR* pC, FLOAT s) {
    *pOut = *pC * s;
    return pOut;
}
inline D3DXCOLOR* D3DXColorModulate(D3DXCOLOR* pOut, const D3DXCOLOR* pC1, const D3DXCOLOR* pC2) {
    *pOut = D3DXCOLOR(pC1->r * pC2->r, pC1->g * pC2->g, pC1->b * pC2->b, pC1->a * pC2->a);
    return pOut;
}
inline D3DXCOLOR* D3DXColorLerp(D3DXCOLOR* pOut, const D3DXCOLOR* pC1, const D3DXCOLOR* pC2, FLOAT s) {
    *pOut = *pC1 + (*pC2 - *pC1) * s;
    return pOut;
}
inline D3DXCOLOR* D3DXColorNegative(D3DXCOLOR* pOut, const D3DXCOLOR* pC) {
    *pOut = D3DXCOLOR(1.0f - pC->r, 1.0f - pC->g, 1.0f - pC->b, pC->a);
    return pOut;
}
