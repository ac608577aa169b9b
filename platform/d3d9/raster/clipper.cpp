#include "d3d9/raster/clipper.h"

#include <algorithm>

namespace platform::d3d9::raster {
namespace {

enum Plane { kNear, kFar, kLeft, kRight, kBottom, kTop, kPositiveW, kPlaneCount };

// w must stay clear of zero for the perspective divide, whatever the projection.
constexpr double kMinimumW = 1e-7;

ClipVertex Lerp(const ClipVertex& a, const ClipVertex& b, double t) {
    auto mix = [t](double p, double q) { return p + (q - p) * t; };
    ClipVertex r;
    r.x = mix(a.x, b.x);
    r.y = mix(a.y, b.y);
    r.z = mix(a.z, b.z);
    r.w = mix(a.w, b.w);
    for (int c = 0; c < 4; ++c) r.color[c] = mix(a.color[c], b.color[c]);
    r.u = mix(a.u, b.u);
    r.v = mix(a.v, b.v);
    return r;
}

}  // namespace

Clipper::Clipper(int viewportWidth, int viewportHeight)
    : guardX(kGuardBandPixels / (0.5 * std::max(viewportWidth, 1))),
      guardY(kGuardBandPixels / (0.5 * std::max(viewportHeight, 1))) {}

double Clipper::Distance(const ClipVertex& v, int plane) const {
    switch (plane) {
        case kNear:
            return v.z;
        case kFar:
            return v.w - v.z;
        case kLeft:
            return v.x + guardX * v.w;
        case kRight:
            return guardX * v.w - v.x;
        case kBottom:
            return v.y + guardY * v.w;
        case kTop:
            return guardY * v.w - v.y;
        default:
            return v.w - kMinimumW;
    }
}

unsigned Clipper::Outcode(const ClipVertex& v) const {
    unsigned code = 0;
    for (int plane = 0; plane < kPlaneCount; ++plane)
        if (!(Distance(v, plane) >= 0.0)) code |= 1u << plane;  // NaN counts as outside
    return code;
}

void Clipper::ClipTriangle(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c,
                           ClipPolygon& out) const {
    ClipPolygon scratch;
    ClipPolygon* source = &out;
    ClipPolygon* target = &scratch;
    source->vertices[0] = a;
    source->vertices[1] = b;
    source->vertices[2] = c;
    source->count = 3;
    for (int plane = 0; plane < kPlaneCount && source->count > 0; ++plane) {
        target->count = 0;
        for (int i = 0; i < source->count; ++i) {
            const ClipVertex& from = source->vertices[i];
            const ClipVertex& to = source->vertices[(i + 1) % source->count];
            const double dFrom = Distance(from, plane);
            const double dTo = Distance(to, plane);
            const bool fromInside = dFrom >= 0.0;
            const bool toInside = dTo >= 0.0;
            if (fromInside) target->vertices[target->count++] = from;
            if (fromInside != toInside && target->count < ClipPolygon::kMaxVertices)
                target->vertices[target->count++] = Lerp(from, to, dFrom / (dFrom - dTo));
        }
        std::swap(source, target);
    }
    if (source != &out) out = *source;
}

}  // namespace platform::d3d9::raster
