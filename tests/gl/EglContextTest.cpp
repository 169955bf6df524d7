#include "platform/headless/EglContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(EglContext, RefusesSidesThatAreNotPositive) {
    const int sides[][2] = {{0, 480}, {640, 0}, {-1, 10}, {10, -640}, {0, 0}};
    for (const auto& side : sides) {
        EglContext context;
        EXPECT_EQ(context.create(side[0], side[1]), 0) << side[0] << " x " << side[1];
        EXPECT_EQ(context.makeCurrent(), 0);
        EXPECT_EQ(context.swap(), 0);
        std::vector<unsigned char> rgba(3, 7);
        context.readPixels(rgba);
        EXPECT_TRUE(rgba.empty());
    }
}

TEST(EglContext, GivesADepthBufferAndReadsTheTopRowFirst) {
    EglContext context;
    ASSERT_EQ(context.create(32, 24), 1);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 32);
    EXPECT_EQ(viewport[3], 24);

    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // GL counts rows from the bottom: the scissor box (0, 20)..(32, 24) is the top four rows.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 20, 32, 4);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    EXPECT_EQ(context.swap(), 1);

    std::vector<unsigned char> rgba;
    context.readPixels(rgba);
    ASSERT_EQ(rgba.size(), 32u * 24u * 4u);
    for (int row : {0, 3, 4, 23}) {
        const unsigned char* p = &rgba[static_cast<size_t>(row * 32 * 4)];
        const bool top = row < 4;
        EXPECT_EQ(p[0], top ? 255 : 0) << "row " << row;
        EXPECT_EQ(p[2], top ? 0 : 255) << "row " << row;
        EXPECT_EQ(p[3], 255) << "row " << row;
    }
}

TEST(EglContext, ContextsLiveSideBySideAndOutliveEachOther) {
    EglContext first, second;
    ASSERT_EQ(first.create(8, 8), 1);
    ASSERT_EQ(second.create(16, 4), 1);
    first.destroy();
    first.destroy();
    EXPECT_EQ(second.makeCurrent(), 1);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    std::vector<unsigned char> rgba;
    second.readPixels(rgba);
    ASSERT_EQ(rgba.size(), 16u * 4u * 4u);
    EXPECT_EQ(rgba[1], 255);
    EXPECT_EQ(rgba[0], 0);
    // Creating again replaces the old surface with one of the new size.
    ASSERT_EQ(second.create(4, 2), 1);
    second.readPixels(rgba);
    EXPECT_EQ(rgba.size(), 4u * 2u * 4u);
}

} // namespace
