// The viewer: camera position and heading, the settings of the fan of rays, and the terrain.
#pragma once

#include "StripPath.h"
#include "Terrain.h"

#include <vector>

struct Vec3 {
    float x, y, z;
    Vec3 operator-(const Vec3& b) const { return {x - b.x, y - b.y, z - b.z}; }
    Vec3 cross(const Vec3& b) const {
        return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x};
    }
};

struct Vec2 {
    float x, y;
    // Multiplies by the reciprocal, computed once.
    Vec2 operator/(float s) const {
        float r = 1.0f / s;
        return {x * r, y * r};
    }
};

// Handed to GL member by member, so each member must be its floats side by side.
struct StripVertex {
    // Left unset: buildRayStrip writes every member, so a new strip's array is not zeroed first.
    StripVertex() {}
    Vec3 position;
    Vec3 normal;
    float texCoord[2];
};

using RayStrip = std::vector<StripVertex>;

struct Viewer {
    float x;
    float y;
    float eyeHeight;
    float heading;
    float fieldOfView;
    int samplesPerRay;
    int raySegments;
    float nearDistance;
    float spacingStep;
    Terrain terrain;
    // How buildRayStrip computes its vertices: the fastest path here unless set otherwise; a path
    // that this processor cannot run is taken as the plain one.
    StripPath stripPath;

    Viewer();

    // The strip's vertex array is its one allocation; the caller owns the strip.
    RayStrip buildRayStrip(float angle);
    void drawFan();
    void drawStripPair(const RayStrip& older, const RayStrip& newer);
    void setCamera();
    void setRenderState();
};
