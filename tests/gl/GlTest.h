// Every GL test runs against its own off-screen 640 x 480 context, made current in SetUp.
#pragma once

#include "platform/headless/EglContext.h"
#include "terrain/Viewer.h"

#include <gtest/gtest.h>

class GlTest : public ::testing::Test {
  protected:
    static constexpr int WIDTH = 640;
    static constexpr int HEIGHT = 480;

    void SetUp() override { ASSERT_EQ(context.create(WIDTH, HEIGHT), 1) << "no EGL context"; }
    void TearDown() override { context.destroy(); }

    EglContext context;
};
