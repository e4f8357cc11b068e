#pragma once
// The viewer's GL state for drawing a ground or a world: the fixed state of its scene set-up, its
// projection, and a frame's transforms up to the scene (the camera's look-at, the scene offset
// (0, -50, 0) and the z mirror).

#include "platform/gl.h"

struct ViewerPose {
    GLdouble eye[3];
    GLdouble centre[3];
    GLdouble up[3] = {0, 1, 0};
};

// A pose with the name a benchmark reports it by.
struct NamedPose {
    const char* name;
    ViewerPose pose;
};

inline void applyViewerPose(const ViewerPose& pose) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(40, 640.0 / 480.0, 10, 10000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(pose.eye[0], pose.eye[1], pose.eye[2], pose.centre[0], pose.centre[1], pose.centre[2],
              pose.up[0], pose.up[1], pose.up[2]);
    glTranslatef(0, -50, 0);
    glScalef(1, 1, -1);
}

// White clear colour and fog, texturing and the depth test.
inline void useSceneState() {
    glClearColor(1, 1, 1, 0);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    const GLfloat white[4] = {1, 1, 1, 1};
    glFogi(GL_FOG_MODE, GL_EXP2);
    glFogfv(GL_FOG_COLOR, white);
    glFogf(GL_FOG_DENSITY, 0.002f);
    glEnable(GL_FOG);
}
