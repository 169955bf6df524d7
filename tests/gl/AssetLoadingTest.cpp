#include "GlTest.h"

#include "TestFiles.h"

#include <cstdlib>
#include <fstream>

namespace {

// Files that differ in size, so that the sizes tell where each one came from.
constexpr int MAP_HERE = 8, MAP_FALLBACK = 16, TEXTURE_HERE = 8, TEXTURE_FALLBACK = 16;
constexpr int NONE = 0, CHECKERBOARD = 4;

// Relative, inside the test's scratch folder, in the Windows folder's shape.
const std::filesystem::path FALLBACK = "c:/windows/system32";
const char* const FALLBACK_PREFIX = "c:/windows/system32/";

class AssetLoadingTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_TRUE(directory.ready());
    }

    static void writeMap(const std::filesystem::path& path, int size) {
        ASSERT_TRUE(writeTga(path, size, 2, 1, [](int column, int, int) { return column * 10; }));
    }
    static void writeTexture(const std::filesystem::path& path, int size) {
        ASSERT_TRUE(writeTga(path, size, size, 3, [](int, int, int c) { return 60 * c; }));
    }
    static int boundTextureWidth() {
        GLint width = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        return width;
    }

    ScratchDirectory directory;
};

TEST_F(AssetLoadingTest, MapAndTextureFallBackIndependently) {
    struct {
        bool mapHere, mapFallback, textureHere, textureFallback;
        int mapWidth, textureWidth;
    } const cases[] = {
        {true, true, true, true, MAP_HERE, TEXTURE_HERE},
        {true, false, true, false, MAP_HERE, TEXTURE_HERE},
        {false, true, false, true, MAP_FALLBACK, TEXTURE_FALLBACK},
        {true, false, false, true, MAP_HERE, TEXTURE_FALLBACK},
        {false, true, true, true, MAP_FALLBACK, TEXTURE_HERE},
        {false, false, true, false, NONE, TEXTURE_HERE},
        {true, true, false, false, MAP_HERE, CHECKERBOARD},
        {false, false, false, false, NONE, CHECKERBOARD},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "map " << c.mapHere << c.mapFallback << ", texture "
                                        << c.textureHere << c.textureFallback);
        std::filesystem::remove_all("c:");
        std::filesystem::remove("quellmoorMap.tga");
        std::filesystem::remove("quellmoorTex.tga");
        if (c.mapHere) {
            writeMap("quellmoorMap.tga", MAP_HERE);
        }
        if (c.mapFallback) {
            writeMap(FALLBACK / "quellmoorMap.tga", MAP_FALLBACK);
        }
        if (c.textureHere) {
            writeTexture("quellmoorTex.tga", TEXTURE_HERE);
        }
        if (c.textureFallback) {
            writeTexture(FALLBACK / "quellmoorTex.tga", TEXTURE_FALLBACK);
        }

        Terrain terrain;
        terrain.loadDefaultAssets(FALLBACK_PREFIX);
        EXPECT_EQ(terrain.mapFileName, "quellmoorMap.tga");
        EXPECT_EQ(terrain.textureFileName, "quellmoorTex.tga");
        EXPECT_EQ(terrain.tilingSize, 4.5599999f);
        EXPECT_EQ(terrain.heightMap.isLoaded(), c.mapWidth != NONE);
        EXPECT_EQ(terrain.heightMap.width, c.mapWidth);
        EXPECT_NE(terrain.textureId, 0u);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), terrain.textureId);
        EXPECT_EQ(boundTextureWidth(), c.textureWidth);
    }
}

TEST_F(AssetLoadingTest, ANameWithAFolderFallsBackBehindThePrefixWhole) {
    writeMap(FALLBACK / "data" / "x.tga", MAP_FALLBACK);
    writeTexture(FALLBACK / "data" / "t.tga", TEXTURE_FALLBACK);
    Terrain terrain;
    terrain.loadAssets("data/x.tga", "data/t.tga", 2.0f, FALLBACK_PREFIX);
    EXPECT_EQ(terrain.mapFileName, "data/x.tga");
    EXPECT_EQ(terrain.textureFileName, "data/t.tga");
    EXPECT_EQ(terrain.heightMap.width, MAP_FALLBACK);
    EXPECT_EQ(boundTextureWidth(), TEXTURE_FALLBACK);
    EXPECT_EQ(terrain.tilingSize, 2.0f);
}

TEST_F(AssetLoadingTest, AnUnreadableFileHereGivesWayToTheFallback) {
    std::ofstream("quellmoorMap.tga") << "not a picture";
    std::ofstream("quellmoorTex.tga") << "";
    writeMap(FALLBACK / "quellmoorMap.tga", MAP_FALLBACK);
    Terrain terrain;
    terrain.loadDefaultAssets(FALLBACK_PREFIX);
    EXPECT_EQ(terrain.heightMap.width, MAP_FALLBACK);
    EXPECT_EQ(boundTextureWidth(), CHECKERBOARD);
    EXPECT_EQ(terrain.tilingSize, 4.5599999f);
}

TEST_F(AssetLoadingTest, TheLoadedMapShapesTheGround) {
    writeMap("quellmoorMap.tga", MAP_HERE);
    Terrain terrain;
    terrain.loadDefaultAssets(FALLBACK_PREFIX);
    // Column c holds 10 * c out of 255; heights are five times the sample.
    for (int column = 0; column < MAP_HERE; ++column) {
        EXPECT_NEAR(terrain.heightAt(static_cast<float>(column), 1.0f), 50.0 * column / 255.0,
                    1e-5);
    }
}

TEST_F(AssetLoadingTest, AMissingTextureNameStillGetsTheCheckerboard) {
    GLuint name = 0;
    loadTexture(nullptr, FALLBACK_PREFIX, &name);
    EXPECT_NE(name, 0u);
    EXPECT_EQ(boundTextureWidth(), CHECKERBOARD);
}

} // namespace
