// Frames of the batched renderer, one after another as the viewer draws them, take no fresh pages
// from the system once the process keeps its freed memory: the driver's buffers of one frame serve
// the next. Only the C library's own allocator shows this, which the sanitizers replace, so this
// test runs in the build without them.

#include <sys/resource.h>

#include <filesystem>

#include "demo/demo_scene.h"
#include "gl_test.h"
#include "platform/frame_memory.h"
#include "scratch_folder.h"
#include "texture/texture_loader.h"
#include "viewer_pose.h"
#include "world/world.h"
#include "world/world_batches.h"

namespace {

// Without kept memory a frame of this pose faults in about 4,000 pages.
constexpr long kMostFreshPagesPerFrame = 64;
constexpr int kFramesBefore = 5;
constexpr int kFramesCounted = 20;

long freshPagesSoFar() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt + usage.ru_majflt;
}

class FrameMemory : public HeadlessGlTest {};

TEST_F(FrameMemory, BatchedFramesOfTheDemoWorldTakeNoFreshPages) {
    ScratchFolder folder;
    ASSERT_TRUE(writeDemoScene(folder.string()));
    const std::filesystem::path data = folder.path() / "GameData";
    World world;
    TextureCapabilities textures = TextureCapabilities::ofCurrentContext();
    SceneLoad load(textures);
    world.readWorld(data.string().c_str(), (data / "data/maps/valley.rsw").string().c_str(), load,
                    {}, "");
    ASSERT_FALSE(world.instances.empty());
    WorldBatches batches;
    batches.build(world);
    keepFreedMemoryBetweenFrames();
    useSceneState();
    applyViewerPose({{0, 250, 600}, {0, 0, 0}});
    const auto frame = [&] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        batches.draw(world);
        glFinish();
    };
    for (int i = 0; i < kFramesBefore; ++i) {
        frame();
    }
    const long before = freshPagesSoFar();
    for (int i = 0; i < kFramesCounted; ++i) {
        frame();
    }
    const long perFrame = (freshPagesSoFar() - before) / kFramesCounted;
    EXPECT_LE(perFrame, kMostFreshPagesPerFrame);
}

}  // namespace
