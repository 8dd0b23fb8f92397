// Clipping stage: Sutherland-Hodgman against the six planes of the view volume.
#include "platform/d3d9/pipeline/clipping.h"

namespace plat::d3d9 {

namespace {

float Distance(const ClipVertex& v, uint32_t plane) {
    switch (plane) {
        case kClipLeft:
            return v.x + kGuardBand * v.w;
        case kClipRight:
            return kGuardBand * v.w - v.x;
        case kClipBottom:
            return v.y + kGuardBand * v.w;
        case kClipTop:
            return kGuardBand * v.w - v.y;
        case kClipNear:
            return v.z;
        default:
            return v.w - v.z;
    }
}

ClipVertex Lerp(const ClipVertex& a, const ClipVertex& b, float t) {
    ClipVertex r;
    r.x = a.x + (b.x - a.x) * t;
    r.y = a.y + (b.y - a.y) * t;
    r.z = a.z + (b.z - a.z) * t;
    r.w = a.w + (b.w - a.w) * t;
    for (int i = 0; i < 4; ++i) r.color[i] = a.color[i] + (b.color[i] - a.color[i]) * t;
    for (int i = 0; i < 3; ++i) r.specular[i] = a.specular[i] + (b.specular[i] - a.specular[i]) * t;
    for (int s = 0; s < kPipelineTexStages; ++s)
        for (int i = 0; i < 2; ++i) r.tex[s][i] = a.tex[s][i] + (b.tex[s][i] - a.tex[s][i]) * t;
    r.outcode = Outcode(r);
    return r;
}

}  // namespace

uint32_t Outcode(const ClipVertex& v) {
    uint32_t code = 0;
    float g = kGuardBand * v.w;
    if (v.x < -g) code |= kClipLeft;
    if (v.x > g) code |= kClipRight;
    if (v.y < -g) code |= kClipBottom;
    if (v.y > g) code |= kClipTop;
    if (v.z < 0.0f) code |= kClipNear;
    if (v.z > v.w) code |= kClipFar;
    return code;
}

int ClipPolygon(const ClipVertex* in, int count, ClipVertex* out) {
    ClipVertex bufA[kMaxClippedVertices], bufB[kMaxClippedVertices];
    const ClipVertex* src = in;
    ClipVertex* dst = bufA;
    uint32_t any = 0;
    for (int i = 0; i < count; ++i) any |= in[i].outcode;
    for (uint32_t plane = 1; plane <= kClipFar; plane <<= 1) {
        if (!(any & plane)) continue;
        int n = 0;
        for (int i = 0; i < count; ++i) {
            const ClipVertex& p = src[i];
            const ClipVertex& q = src[(i + 1) % count];
            float dp = Distance(p, plane), dq = Distance(q, plane);
            if (dp >= 0.0f && n < kMaxClippedVertices) dst[n++] = p;
            if ((dp >= 0.0f) != (dq >= 0.0f) && n < kMaxClippedVertices)
                dst[n++] = Lerp(p, q, dp / (dp - dq));
        }
        count = n;
        if (count < 3) return 0;
        src = dst;
        dst = (dst == bufA) ? bufB : bufA;
    }
    for (int i = 0; i < count; ++i) out[i] = src[i];
    return count;
}

bool ClipSegment(ClipVertex& a, ClipVertex& b) {
    for (uint32_t plane = 1; plane <= kClipFar; plane <<= 1) {
        if (!((a.outcode | b.outcode) & plane)) continue;
        float da = Distance(a, plane), db = Distance(b, plane);
        if (da < 0.0f && db < 0.0f) return false;
        if (da < 0.0f)
            a = Lerp(a, b, da / (da - db));
        else if (db < 0.0f)
            b = Lerp(b, a, db / (db - da));
    }
    return true;
}

}  // namespace plat::d3d9
