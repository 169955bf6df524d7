// The landscape: a height map that tiles the plane, and the texture drawn over it.
#pragma once

#include "image/GlIncludes.h"
#include "image/Image.h"

#include <string>

// Tried behind a file name that does not load from the working directory: the Windows folder,
// unless the build of a product for another system names its own.
#ifndef TERRAIN_FALLBACK_DIRECTORY
#define TERRAIN_FALLBACK_DIRECTORY "c:/windows/system32/"
#endif
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
    void loadDefaultAssets();
    void loadAssets(std::string mapFileName, std::string textureFileName, float tilingSize);
};

void loadTexture(const char* fileName, GLuint* textureId);
