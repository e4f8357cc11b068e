#pragma once
// The one global record of the shell: flags, key table, argument data, scene objects and the
// window's handles. It lives for the whole run.

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/scene.h"
#include "ground/ground.h"
#include "model/model.h"
#include "platform/win32_types.h"
#include "texture/scene_load.h"
#include "texture/texture_capabilities.h"
#include "view/camera.h"
#include "view/frame_timer.h"
#include "world/world.h"
#include "world/world_batches.h"

struct AppState {
    bool active = true;      // the window is not minimised: frames are drawn, Esc is noticed
    bool fullscreen = true;  // the current window is (or is being opened as) fullscreen
    bool fogToggle = true;   // the next F2 enables fog when set, disables it when clear
    std::array<std::uint8_t, 256> keys{};  // 1 while the virtual key is down
    // A press of Esc, F1, F2 or F3 waits here until the main loop has acted on it, so that a press
    // and its release that both arrive between two frames still count.
    std::bitset<256> pendingPresses;

    std::string dataRoot;                      // first line of the argument file
    std::vector<std::string> names;            // the file names that follow, at most kMaxNames
    std::string modelLogPath = kModelLogName;  // where a world logs its models; empty: nowhere

    Camera camera;
    FrameTimer frameTimer;
    TextureCapabilities textureCapabilities;  // of the driver, for every load of the run
    LoadBudgets loadBudgets;                  // what each load of the scene may take on
    Ground ground;                            // the scene of ground mode
    World world;                              // the scene of world mode
    std::vector<Model> models;  // the scene of model mode: one per name, only the first loaded
    std::optional<SceneMode> sceneMode;  // the scene's kind, when its caller chose it; else by the
                                         // ending of its name as written
    bool groundMode = false;
    bool worldMode = false;
    Renderer renderer = Renderer::immediate;  // orvalis.arg's; the command line chooses its own
    // The batched renderer's arrays of the scene of each mode, made by each set-up.
    GroundBatches groundBatches;
    WorldBatches worldBatches;
    ModelBatches modelBatches;
    ReadResult sceneRead;  // what became of the scene's own file at the last set-up

    // Kept from the first window on, so every window asks for the same pixel format.
    PixelFormatDescriptor pixelFormat;
    bool pixelFormatFilled = false;

    InstanceHandle instance = nullptr;
    WindowHandle window = nullptr;
    DeviceContextHandle deviceContext = nullptr;
    RenderingContextHandle renderingContext = nullptr;
};

AppState& appState();
