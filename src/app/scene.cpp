#include "app/scene.h"

#include <algorithm>
#include <string>

#include "app/app_state.h"
#include "app/scene_load_reports.h"
#include "io/host_files.h"
#include "platform/gl.h"
#include "platform/platform.h"

namespace {

bool endsWith(std::string_view name, std::string_view ending) {
    return name.size() >= ending.size() && name.substr(name.size() - ending.size()) == ending;
}

// Tells the user that the scene's own file did not load, and whether it could be opened at all.
void reportSceneFailure(const std::string& name, const ReadResult& result) {
    const char* what = result.kind() == Failure::cannotOpen ? "Can't open " : "Can't read ";
    const std::string text = what + name;
    platform().messageBox(nullptr, text.c_str(), "Error", win32::MB_OK);
}

// The loads go into the current rendering context, whose largest texture side they keep to. They
// share one SceneLoad: its GL names belong to this context, and its budgets to this load.
ReadResult loadScene(AppState& app) {
    const std::string& name = app.names.front();
    const char* dataRoot = app.dataRoot.c_str();
    app.textureCapabilities.readMaxTextureSide();
    SceneLoad scene(app.textureCapabilities, app.loadBudgets);
    switch (app.sceneMode.value_or(sceneModeOf(name))) {
        case SceneMode::ground:
            app.groundMode = true;
            return app.ground.readGround(dataRoot, name.c_str(), scene);
        case SceneMode::world:
            app.worldMode = true;
            return app.world.readWorld(
                dataRoot, name.c_str(), scene,
                [&app](const std::string& title) {
                    setWindowTitle(app.window, "%s", title.c_str());
                },
                app.modelLogPath);
        case SceneMode::model:
            break;
    }
    app.models = std::vector<Model>(app.names.size());
    return app.models.front().load(dataRoot, name.c_str(), scene);
}

void setFog() {
    static const GLfloat kFogColour[] = {1, 1, 1, 1};
    glFogi(GL_FOG_MODE, GL_EXP2);
    glFogfv(GL_FOG_COLOR, kFogColour);
    glFogf(GL_FOG_DENSITY, 0.002f);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, 500);
    glFogf(GL_FOG_END, 1000);
    glEnable(GL_FOG);
}

// The arrays of an earlier set-up go before the scene loads again.
void releaseBatches(AppState& app) {
    app.groundBatches = GroundBatches();
    app.worldBatches = WorldBatches();
    app.modelBatches = ModelBatches();
}

// The arrays of the batched renderer for the scene just loaded; none for the immediate one.
void buildBatches(AppState& app) {
    if (app.renderer != Renderer::batched) {
        return;
    }
    if (app.groundMode) {
        app.groundBatches.build(app.ground);
    } else if (app.worldMode) {
        app.worldBatches.build(app.world);
    } else if (!app.models.empty()) {
        app.modelBatches.build(app.models.front());
    }
}

void drawScene(AppState& app, Renderer renderer) {
    const bool batched = renderer == Renderer::batched;
    if (app.groundMode) {
        batched ? app.groundBatches.draw(app.ground) : app.ground.drawGround();
    } else if (app.worldMode) {
        batched ? app.worldBatches.draw(app.world) : app.world.drawWorld();
    } else if (!app.models.empty() && !app.models.front().nodes.empty()) {
        if (batched) {
            app.modelBatches.draw(app.models.front(), 0, 0, 0, 0, 0, 0, 1, 1, 1);
        } else {
            app.models.front().draw(0, 0, 0, 0, 0, 0, 1, 1, 1);
        }
    }
}

}  // namespace

SceneMode sceneModeOfAnyCase(std::string_view name) {
    return sceneModeOf(
        asciiLowered(name.substr(name.size() - std::min<std::size_t>(3, name.size()))));
}

SceneMode sceneModeOf(std::string_view name) {
    if (endsWith(name, "gnd") || endsWith(name, "GND")) {
        return SceneMode::ground;
    }
    if (endsWith(name, "rsw") || endsWith(name, "RSW")) {
        return SceneMode::world;
    }
    return SceneMode::model;
}

Vector3 sceneOffset(bool groundOrWorld) {
    return groundOrWorld ? Vector3{0, -50, 0} : Vector3{0, 0, -100};
}

int setupScene() {
    const FolderListings listings;  // each folder the load looks into is listed once
    AppState& app = appState();
    glClearColor(1, 1, 1, 0);
    glShadeModel(GL_SMOOTH);
    const SceneLoadReports loadReports;
    releaseBatches(app);
    app.sceneRead = loadScene(app);
    if (!app.sceneRead) {
        reportSceneFailure(app.names.front(), app.sceneRead);
    }
    buildBatches(app);
    glEnable(GL_TEXTURE_2D);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    setFog();
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    // Meant: the set-up succeeds even when the scene could not be read; that has been reported,
    // and the window opens on what was loaded (the empty scene at worst).
    return 1;
}

void drawPlacedScene(Renderer renderer) {
    AppState& app = appState();
    const Vector3 offset = sceneOffset(app.groundMode || app.worldMode);
    glTranslatef(offset.x, offset.y, offset.z);
    glScalef(1, 1, -1);
    drawScene(app, renderer);
}

int renderFrame() {
    AppState& app = appState();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    app.camera.applyCamera();
    drawPlacedScene(app.renderer);
    platform().swapBuffers(app.deviceContext);
    glFlush();
    return 1;
}
