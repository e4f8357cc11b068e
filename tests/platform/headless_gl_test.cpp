#include "gl_test.h"

namespace {

using HeadlessContext = HeadlessGlTest;

TEST_F(HeadlessContext, RendersIntoTheWindowAndReadsBack) {
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const auto pixel = pixelAt(10, 10);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);
}

TEST_F(HeadlessContext, FeedbackReportsWindowCoordinatesAndTextureCoordinates) {
    const auto polygons = recordFeedback([] {
        glBegin(GL_TRIANGLES);
        glTexCoord2f(0.25f, 0.75f);
        glVertex3f(0, 0, 0);
        glVertex3f(0.5f, 0, 0);
        glVertex3f(0, 0.5f, 0);
        glEnd();
    });
    ASSERT_EQ(polygons.size(), 1u);
    ASSERT_EQ(polygons[0].size(), 3u);
    EXPECT_FLOAT_EQ(polygons[0][1].x, 480.0f);
    EXPECT_FLOAT_EQ(polygons[0][2].y, 360.0f);
    EXPECT_FLOAT_EQ(polygons[0][0].s, 0.25f);
    EXPECT_FLOAT_EQ(polygons[0][0].t, 0.75f);
}

}  // namespace
