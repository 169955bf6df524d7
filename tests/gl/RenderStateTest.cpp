#include "GlTest.h"

#include "image/TextureUpload.h"
#include "terrain/Flight.h"

#include <cmath>

namespace {

class RenderStateTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        setStartUpValues(viewer);
        Image empty;
        uploadTexture(empty, &viewer.terrain.textureId, 1);
    }
    Viewer viewer;
};

TEST_F(RenderStateTest, TheLightStaysFixedInTheWorldWhileTheCameraTurns) {
    const double k = 1.0 / std::sqrt(6.0);
    const double light[3] = {k, k, 2 * k};
    for (float heading : {0.0f, 0.5f, 1.5707964f, 2.0f, 3.1415927f, -1.0f, -2.8f, 10.0f}) {
        viewer.heading = heading;
        viewer.x = 37.0f;
        viewer.y = -12.5f;
        viewer.setCamera();
        viewer.setRenderState();
        GLfloat position[4];
        glGetLightfv(GL_LIGHT0, GL_POSITION, position);
        // Eye axes in the world: +x to the right of the heading, +y up, -z ahead.
        const double cosH = std::cos(heading), sinH = std::sin(heading);
        const double expected[4] = {light[0] * sinH - light[1] * cosH, light[2],
                                    -(light[0] * cosH + light[1] * sinH), 0.0};
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(position[i], expected[i], 1e-5)
                << "heading " << heading << " component " << i;
        }
    }
}

TEST_F(RenderStateTest, ColoursSwitchesAndFilters) {
    viewer.setCamera();
    viewer.setRenderState();

    GLfloat diffuse[4], ambient[4];
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    const GLfloat expectedDiffuse[4] = {1.0f, 1.0f, 0.8f, 0.0f};
    const GLfloat expectedAmbient[4] = {0.0f, 0.0f, 0.2f, 0.0f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(diffuse[i], expectedDiffuse[i]) << i;
        EXPECT_FLOAT_EQ(ambient[i], expectedAmbient[i]) << i;
    }

    for (GLenum capability :
         {GL_CULL_FACE, GL_DEPTH_TEST, GL_TEXTURE_2D, GL_COLOR_MATERIAL, GL_LIGHTING, GL_LIGHT0}) {
        EXPECT_EQ(glIsEnabled(capability), GL_TRUE) << std::hex << capability;
    }
    GLint value = 0;
    glGetIntegerv(GL_COLOR_MATERIAL_FACE, &value);
    EXPECT_EQ(value, GL_FRONT_AND_BACK);
    glGetIntegerv(GL_COLOR_MATERIAL_PARAMETER, &value);
    EXPECT_EQ(value, GL_DIFFUSE);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
