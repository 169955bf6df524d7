// The landscape: a height map that tiles the plane, and the texture drawn over it.
#pragma once

#include "image/GlIncludes.h"
#include "image/Image.h"

#include <string>

// The two files that the screensaver reads, and the texture's repeat in world units.
#define TERRAIN_MAP_FILE_NAME "quellmoorMap.tga"
#define TERRAIN_TEXTURE_FILE_NAME "quellmoorTex.tga"
constexpr float TERRAIN_TILING_SIZE = 4.56f;

struct Terrain {
    float tilingSize;
    std::string mapFileName;
    Image heightMap;
    std::string textureFileName;
    GLuint textureId;
    // Scratch of heightAt, kept in the record and zero at start; nothing else reads it.
    int cellX, cellY;
    float fracX, fracY;
    float texel00[4], texel10[4], texel01[4], texel11[4];

    Terrain();

    float heightAt(float x, float y);
    // Each file that does not load from the working directory is tried once more with
    // FALLBACK_DIRECTORY (ending in a slash) in front of its name.
    void loadDefaultAssets(const char* fallbackDirectory);
    void loadAssets(std::string mapFileName, std::string textureFileName, float tilingSize,
                    const char* fallbackDirectory);
};

void loadTexture(const char* fileName, const char* fallbackDirectory, GLuint* textureId);
