// Fills the terrain from its two image files, each tried in place and then in the fallback folder.
#include "terrain/Terrain.h"

#include "image/TextureUpload.h"

#include <utility>

void Terrain::loadDefaultAssets(const char* fallbackDirectory) {
    loadAssets(TERRAIN_MAP_FILE_NAME, TERRAIN_TEXTURE_FILE_NAME, TERRAIN_TILING_SIZE,
               fallbackDirectory);
}

void Terrain::loadAssets(std::string mapFileName, std::string textureFileName, float tilingSize,
                         const char* fallbackDirectory) {
    this->mapFileName = std::move(mapFileName);
    heightMap.load(this->mapFileName.c_str());
    if (!heightMap.isLoaded()) {
        heightMap.load((fallbackDirectory + this->mapFileName).c_str());
    }
    this->textureFileName = std::move(textureFileName);
    loadTexture(this->textureFileName.c_str(), fallbackDirectory, &textureId);
    this->tilingSize = tilingSize;
}

void loadTexture(const char* fileName, const char* fallbackDirectory, GLuint* textureId) {
    Image image;
    // A missing name still gets a texture: the upload's checkerboard.
    if (fileName != nullptr) {
        image.load(fileName);
        if (!image.isLoaded()) {
            image.load((std::string(fallbackDirectory) + fileName).c_str());
        }
    }
    uploadTexture(image, textureId, 1);
}
