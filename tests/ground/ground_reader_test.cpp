#include <gtest/gtest.h>

#include <filesystem>

#include "gl_test.h"
#include "ground/ground.h"
#include "ground_scratch.h"
#include "io/input_limits.h"

namespace {

using GroundReading = HeadlessGlTest;

void expectHolds(const Ground& ground, const GroundFile& file) {
    EXPECT_EQ(ground.width, file.width);
    EXPECT_EQ(ground.height, file.height);
    EXPECT_EQ(ground.textures.size(), file.textureNames.size());
    EXPECT_EQ(ground.cells, file.cells);
    EXPECT_EQ(ground.surfaces, file.surfaces);
    EXPECT_EQ(ground.blocks, file.blocks);
}

// The first texel of a texture's level 0, or nothing when it has no image.
std::optional<std::array<GLubyte, 4>> firstTexel(GLuint texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    if (width == 0) {
        return std::nullopt;
    }
    std::vector<GLubyte> texels(static_cast<std::size_t>(width) * width * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return std::array<GLubyte, 4>{texels[0], texels[1], texels[2], texels[3]};
}

TEST_F(GroundReading, LoadsTheTexturesInFileOrderEachIntoItsOwnName) {
    const ScratchFolder scratch;
    const auto root = scratch.path();
    ASSERT_TRUE(writeSolidTexture(root, "red.tga", {255, 0, 0, 255}));
    ASSERT_TRUE(writeSolidTexture(root, "blue.tga", {0, 0, 255, 255}));
    const GroundFile file = terracedGround(4, 4, {"red.tga", "missing.bmp", "blue.tga"});
    Ground ground;
    ASSERT_TRUE(writeAndRead(ground, file, root, "g.gnd"));
    expectHolds(ground, file);
    ASSERT_EQ(ground.textures.size(), 3u);
    EXPECT_NE(ground.textures[0], ground.textures[1]);
    EXPECT_NE(ground.textures[1], ground.textures[2]);
    EXPECT_EQ(firstTexel(ground.textures[0]), (std::array<GLubyte, 4>{255, 0, 0, 255}));
    EXPECT_EQ(firstTexel(ground.textures[1]), std::nullopt);  // kept its name, has no image
    EXPECT_EQ(firstTexel(ground.textures[2]), (std::array<GLubyte, 4>{0, 0, 255, 255}));
}

TEST_F(GroundReading, ReadingAgainReplacesEverythingAndAFailedReadLeavesItEmpty) {
    const ScratchFolder scratch;
    const auto root = scratch.path();
    GroundFile first = terracedGround(5, 3, {"a.bmp", "b.bmp"});
    first.blocks.resize(2);
    const GroundFile second = flatGround(2, 1, "c.bmp");
    Ground ground;
    ASSERT_TRUE(writeAndRead(ground, first, root, "first.gnd"));
    expectHolds(ground, first);
    ASSERT_TRUE(writeAndRead(ground, second, root, "second.gnd"));
    expectHolds(ground, second);

    auto truncated = groundFileBytes(second);
    truncated.pop_back();
    const std::string damagedPath = (root / "damaged.gnd").string();
    ASSERT_TRUE(writeFile(damagedPath, truncated));
    TextureCapabilities textures = TextureCapabilities::ofCurrentContext();
    SceneLoad scene(textures);
    ::testing::internal::CaptureStderr();
    ReadResult result = ground.readGround(root.c_str(), damagedPath.c_str(), scene);
    EXPECT_FALSE(result);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "The cells run past the end of the file - " + damagedPath + "\n");
    EXPECT_EQ(result.kind(), Failure::tooShort);
    expectHolds(ground, GroundFile{});

    ASSERT_TRUE(writeAndRead(ground, first, root, "first.gnd"));
    const std::string missingPath = (root / "missing.gnd").string();
    ::testing::internal::CaptureStderr();
    result = ground.readGround(root.c_str(), missingPath.c_str(), scene);
    EXPECT_FALSE(result);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Cannot open the ground file - " + missingPath + "\n");
    EXPECT_EQ(result.kind(), Failure::cannotOpen);
    expectHolds(ground, GroundFile{});

    // A folder opens, but cannot be read.
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ground.readGround(root.c_str(), root.c_str(), scene).kind(), Failure::unreadable);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Cannot open the ground file - " + root.string() + "\n");

    // A whole ground followed by zeros, one byte more than any ground file may have.
    ASSERT_TRUE(writeAndRead(ground, first, root, "first.gnd"));
    const std::string hugePath = (root / "huge.gnd").string();
    ASSERT_TRUE(writeGroundFile(hugePath, second));
    if (!scratch.extend("huge.gnd", kMaxDataFileBytes + 1)) {
        GTEST_SKIP() << "the file system cannot make a sparse file over 256 MiB";
    }
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(ground.readGround(root.c_str(), hugePath.c_str(), scene));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "The file is larger than 256 MiB - " + hugePath + "\n");
    expectHolds(ground, GroundFile{});
}

}  // namespace

// Names that reach one texture file share the texture of its first load; a ground file that would
// pass what is left of the scene's budget of file bytes is left out with one line.
TEST_F(GroundReading, NamesOfOneTextureShareItAndTheFileBudgetHolds) {
    const ScratchFolder scratch;
    const auto root = scratch.path();
    ASSERT_TRUE(writeSolidTexture(root, "red.tga", {255, 0, 0, 255}));
    ASSERT_TRUE(writeSolidTexture(root, "blue.tga", {0, 0, 255, 255}));
    const GroundFile file =
        terracedGround(4, 4, {"red.tga", ".\\RED.TGA", "missing.bmp", "blue.tga", "Missing.BMP"});
    Ground ground;
    ASSERT_TRUE(writeAndRead(ground, file, root, "g.gnd"));
    ASSERT_EQ(ground.textures.size(), 5u);
    EXPECT_EQ(ground.textures[1], ground.textures[0]);
    EXPECT_EQ(ground.textures[4], ground.textures[2]);
    EXPECT_NE(ground.textures[3], ground.textures[0]);
    EXPECT_EQ(firstTexel(ground.textures[1]), (std::array<GLubyte, 4>{255, 0, 0, 255}));
    EXPECT_EQ(firstTexel(ground.textures[3]), (std::array<GLubyte, 4>{0, 0, 255, 255}));

    const std::string path = (root / "g.gnd").string();
    const auto size = std::filesystem::file_size(path);
    TextureCapabilities textures = TextureCapabilities::ofCurrentContext();
    SceneLoad scene(textures, {.dataFileBytes = 2 * size - 1});
    ASSERT_TRUE(ground.readGround(root.c_str(), path.c_str(), scene));
    ::testing::internal::CaptureStderr();
    const ReadResult again = ground.readGround(root.c_str(), path.c_str(), scene);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "The scene's model and ground files pass their budget - " + path + "\n");
    EXPECT_EQ(again.kind(), Failure::overBudget);
    expectHolds(ground, GroundFile{});
}
