#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "io/file_errors.h"
#include "model_test_files.h"
#include "scratch_folder.h"

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

struct ParseOutcome {
    bool loaded;
    Model model;
    std::string errors;
};

// The parser prints nothing: what the errors hold is its reason, or what it skipped, as the
// model's reader reports them.
ParseOutcome parseBytes(const std::vector<std::uint8_t>& bytes) {
    ParseOutcome outcome{false, {}, {}};
    const std::string path = "models\\damaged.omd";
    CaptureStderr();
    auto file = parseModelFile(bytes);
    outcome.loaded = static_cast<bool>(file);
    if (!file) {
        reported(file.result(), path);
    } else {
        for (const ReadResult& skipped : file->skipped) {
            reported(skipped, path);
        }
        outcome.model = Model(std::move(file->records));
    }
    outcome.errors = GetCapturedStderr();
    return outcome;
}

ModelFile twoNodeFile() {
    ModelFile file;
    file.textureNames = {"a.bmp", "b.tga"};
    file.nodes = {pointNode("root", ""), pointNode("child", "root", {1, 2, 3})};
    return file;
}

// Where node 1 starts in twoNodeFile(): node 0 is a point node without key frames.
constexpr std::size_t kNode0Start = 31 + 4 + 2 * 40;
constexpr std::size_t kPointNodeBody = 4 + 88 + 4 + 36 + 4 + 36 + 4 + 24 + 8;
constexpr std::size_t kNode1Start = kNode0Start + 40 + 4 + 40 + 40 + kPointNodeBody;

void putI32(std::vector<std::uint8_t>& bytes, std::size_t at, std::int32_t value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

std::vector<std::string> nodeNames(const Model& model) {
    std::vector<std::string> names;
    for (const ModelNode& node : model.nodes) {
        names.push_back(node.name);
    }
    return names;
}

}  // namespace

// The parser gives back every field the writer took: the header, the texture names, node 0's
// extra fields (node 1 has none: its names and arrays are only right if none were read), the
// transforms, meshes and key frames. The model built from the records holds them.
TEST(ModelReader, ReadsBackTheRecordsItWasWritten) {
    ModelFile file = twoNodeFile();
    for (std::size_t i = 0; i < file.header.size(); ++i) {
        file.header[i] = static_cast<std::uint8_t>(0xA0 + i);
    }
    file.nodes[0].rootExtraWord = 0x12345678;
    file.nodes[0].rootExtraValues = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    file.nodes[1].textureIndices = {1, 0};
    file.nodes[1].transform.rotationAngle = 0.5f;
    file.nodes[1].transform.offset = {4, 5, 6};
    file.nodes[1].faces[0].unused[9] = 0xEE;
    file.nodes[1].keyFrames = {{0, {0, 0, 0, 1}}, {700, {0, 1, 0, 0}}};
    const auto parsed = parseModelFile(modelFileBytes(file));
    ASSERT_TRUE(parsed) << parsed.reason();
    EXPECT_EQ(parsed->records, file);
    EXPECT_TRUE(parsed->skipped.empty());

    const Model model = parsedModel(file);
    EXPECT_EQ(model.header, file.header);
    EXPECT_EQ(model.textureNames, file.textureNames);
    ASSERT_EQ(model.nodes.size(), 2u);
    EXPECT_EQ(static_cast<const ModelFileNode&>(model.nodes[1]), file.nodes[1]);
    EXPECT_EQ(model.parentIndex, (std::vector<std::int32_t>{0, 0}));
    EXPECT_FALSE(model.nodes[0].singleNode);
    EXPECT_FALSE(model.nodes[1].singleNode);

    file.nodes.pop_back();
    EXPECT_TRUE(parsedModel(file).nodes[0].singleNode);
}

TEST(ModelReader, FollowsTheContinuationWordsBetweenNodesAndBeforeKeyFrames) {
    struct Case {
        const char* what;
        bool node0Animated;
        int zerosAfterFaces;  // when node 0 has no key frames
        bool hasNode1;
        int zerosBeforeNode1;
    };
    const Case cases[] = {
        {"one zero word after the faces; the next name is left to read", false, 1, true, 0},
        {"two zero words after the faces, then the next name", false, 2, true, 0},
        {"two zero words after the faces and one before the next name", false, 2, true, 1},
        {"two zero words after the faces, two more end the list", false, 2, false, 0},
        {"key frames, then the next name", true, 0, true, 0},
        {"key frames, then one zero word before the next name", true, 0, true, 1},
        {"key frames, then two zero words end the list", true, 0, false, 0},
    };
    for (const Case& c : cases) {
        ModelFile file;
        ModelFileLayout layout;
        file.nodes = {pointNode("a", "")};
        layout.zeroWordsAfterFaces = {c.zerosAfterFaces};
        if (c.node0Animated) {
            file.nodes[0].keyFrames = {{0, {0, 0, 0, 1}}, {500, {1, 0, 0, 0}}};
        }
        if (c.hasNode1) {
            file.nodes.push_back(pointNode("b", "a"));
            layout.zeroWordsBefore = {0, c.zerosBeforeNode1};
        }
        const ParseOutcome outcome = parseBytes(modelFileBytes(file, layout));
        EXPECT_TRUE(outcome.loaded) << c.what;
        const std::vector<std::string> expected =
            c.hasNode1 ? std::vector<std::string>{"a", "b"} : std::vector<std::string>{"a"};
        EXPECT_EQ(nodeNames(outcome.model), expected) << c.what;
        EXPECT_EQ(outcome.model.nodes[0].keyFrames.size(), c.node0Animated ? 2u : 0u) << c.what;
        EXPECT_EQ(outcome.errors, "") << c.what;
    }
}

TEST(ModelReader, ReadsThirtyNodesAndNothingAfter) {
    ModelFile file;
    for (int i = 0; i < 31; ++i) {
        file.nodes.push_back(pointNode("n" + std::to_string(i), "n0"));
    }
    std::vector<std::uint8_t> bytes = modelFileBytes(file);
    // What follows the thirtieth node is never looked at, however damaged.
    bytes.resize(bytes.size() - 30);
    const ParseOutcome outcome = parseBytes(bytes);
    EXPECT_TRUE(outcome.loaded);
    EXPECT_EQ(outcome.model.nodes.size(), 30u);
    EXPECT_EQ(outcome.model.nodes.back().name, "n29");
    EXPECT_EQ(outcome.errors, "");
}

TEST(ModelReader, LinksParentsByName) {
    ModelFile file;
    file.nodes = {pointNode("root", "c"),      pointNode("twin", "root"), pointNode("c", "root"),
                  pointNode("twin", "root"),   pointNode("leaf", "twin"), pointNode("self", "self"),
                  pointNode("stray", "nobody")};
    const Model model = parsedModel(file);
    // Node 0's parent name matches node 2, so entry 0 is replaced; the later "twin" wins; a
    // node naming itself or nothing hangs from the root.
    EXPECT_EQ(model.parentIndex, (std::vector<std::int32_t>{2, 0, 0, 0, 3, 0, 0}));

    file.nodes[0].parentName = "";
    EXPECT_EQ(parsedModel(file).parentIndex[0], 0);
}

TEST(ModelReader, DamagedHeaderOrTextureListFailsTheLoad) {
    const std::vector<std::uint8_t> whole = modelFileBytes(twoNodeFile());
    std::vector<std::uint8_t> negativeCount = whole;
    putI32(negativeCount, 31, -1);
    std::vector<std::uint8_t> hugeCount = whole;
    putI32(hugeCount, 31, 0x7fffffff);
    const std::vector<std::vector<std::uint8_t>> damaged = {
        {whole.begin(), whole.begin() + 20},
        {whole.begin(), whole.begin() + 33},
        {whole.begin(), whole.begin() + 35 + 60},
        negativeCount,
        hugeCount,
    };
    for (const auto& bytes : damaged) {
        const ParseOutcome outcome = parseBytes(bytes);
        EXPECT_FALSE(outcome.loaded) << bytes.size();
        EXPECT_EQ(outcome.model.nodes.size(), 0u);
        EXPECT_TRUE(outcome.model.textureNames.empty());
        EXPECT_TRUE(outcome.errors.ends_with(" - models\\damaged.omd\n")) << outcome.errors;
        EXPECT_EQ(std::count(outcome.errors.begin(), outcome.errors.end(), '\n'), 1);
    }
}

TEST(ModelReader, DamagedNodeEndsTheListKeepingTheNodesBefore) {
    const std::vector<std::uint8_t> whole = modelFileBytes(twoNodeFile());
    const auto withI32 = [&](std::size_t at, std::int32_t value) {
        std::vector<std::uint8_t> bytes = whole;
        putI32(bytes, at, value);
        return bytes;
    };
    const std::size_t node1Vertices = kNode1Start + 80 + 4 + 88;
    struct Case {
        std::vector<std::uint8_t> bytes;
        const char* error;
    };
    const Case cases[] = {
        {{whole.begin(), whole.begin() + kNode1Start + 100}, "model node 1: cut short"},
        {withI32(node1Vertices, -3), "model node 1: negative count -3"},
        {withI32(node1Vertices, 1000), "model node 1: cut short"},
    };
    for (const Case& c : cases) {
        const ParseOutcome outcome = parseBytes(c.bytes);
        EXPECT_TRUE(outcome.loaded) << c.error;
        EXPECT_EQ(nodeNames(outcome.model), std::vector<std::string>{"root"}) << c.error;
        EXPECT_TRUE(outcome.model.nodes[0].singleNode);
        EXPECT_EQ(outcome.errors, std::string(c.error) + " - models\\damaged.omd\n");
    }

    // Both nodes are whole; only the words that end the list are missing.
    ParseOutcome outcome = parseBytes({whole.begin(), whole.end() - 8});
    EXPECT_EQ(outcome.model.nodes.size(), 2u);
    EXPECT_EQ(outcome.errors, "model file ends inside its node list - models\\damaged.omd\n");

    ModelFile badIndex = twoNodeFile();
    badIndex.nodes[1].textureIndices = {0, 2};
    outcome = parseBytes(modelFileBytes(badIndex));
    EXPECT_EQ(outcome.model.nodes.size(), 1u);
    EXPECT_EQ(outcome.errors, "model node 1: texture index 2 out of range - models\\damaged.omd\n");
}

TEST(ModelReader, FileWithoutWholeNodeFailsTheLoad) {
    ModelFile empty = twoNodeFile();
    empty.nodes.clear();
    ParseOutcome outcome = parseBytes(modelFileBytes(empty));
    EXPECT_FALSE(outcome.loaded);
    EXPECT_EQ(outcome.model.nodes.size(), 0u);
    EXPECT_EQ(outcome.errors, "model file has no nodes - models\\damaged.omd\n");

    const std::vector<std::uint8_t> whole = modelFileBytes(twoNodeFile());
    outcome = parseBytes({whole.begin(), whole.begin() + kNode0Start + 50});
    EXPECT_FALSE(outcome.loaded);
    EXPECT_EQ(outcome.errors, "model node 0: cut short - models\\damaged.omd\n");
}

TEST(ModelReader, SkipsFacesWhoseIndicesAreOutOfRange) {
    ModelFile file;
    file.nodes = {triangleNode("a", "", {0, 0, 0}, {1, 0, 0}, {0, 1, 0})};
    file.nodes[0].faces = {
        modelFace({0, 1, 3}, {0, 1, 2}),    modelFace({0, 1, 2}, {0, -1, 2}),
        modelFace({2, 1, 0}, {2, 1, 0}, 4), modelFace({-1, 0, 0}, {0, 0, 0}),
        modelFace({0, 1, 2}, {3, 0, 0}),
    };
    const ParseOutcome outcome = parseBytes(modelFileBytes(file));
    ASSERT_TRUE(outcome.loaded);
    const ModelNode& node = outcome.model.nodes[0];
    ASSERT_EQ(node.faces.size(), 1u);
    ASSERT_EQ(node.faces.size(), 1u);
    EXPECT_EQ(node.faces[0].vertexIndices[0], 2);
    EXPECT_EQ(node.faces[0].textureIndex, 4);
    EXPECT_EQ(outcome.errors,
              "model node 0: 4 of 5 faces skipped, indices out of range - models\\damaged.omd\n");
}

// A node record may end the file right after its faces: it has no key frames, and the node
// list ends there. A part of a word after the faces leaves the record cut short.
TEST(ModelReader, ANodeMayEndTheFileRightAfterItsFaces) {
    ModelFile file;
    file.nodes = {pointNode("only", "")};
    const ModelFileLayout endingAfterFaces{{}, {0, 0}, 0};
    std::vector<std::uint8_t> bytes = modelFileBytes(file, endingAfterFaces);
    ParseOutcome outcome = parseBytes(bytes);
    EXPECT_TRUE(outcome.loaded);
    EXPECT_EQ(nodeNames(outcome.model), std::vector<std::string>{"only"});
    EXPECT_TRUE(outcome.model.nodes[0].singleNode);
    EXPECT_TRUE(outcome.model.nodes[0].keyFrames.empty());
    EXPECT_EQ(outcome.errors, "");
    for (int stray = 1; stray <= 3; ++stray) {
        bytes.push_back(0);
        outcome = parseBytes(bytes);
        EXPECT_FALSE(outcome.loaded) << stray;
        EXPECT_EQ(outcome.errors, "model node 0: cut short - models\\damaged.omd\n");
    }

    file = twoNodeFile();
    outcome = parseBytes(modelFileBytes(file, {{}, {2, 0}, 0}));
    EXPECT_EQ(nodeNames(outcome.model), (std::vector<std::string>{"root", "child"}));
    EXPECT_EQ(outcome.errors, "");
}

// Every prefix of a file keeps exactly the nodes that it holds whole, one cut right after its
// faces among them, and reads nothing past its end (the sanitizer build watches the reads).
TEST(ModelReader, EveryTruncationKeepsOnlyWholeNodes) {
    ModelFile file = twoNodeFile();
    file.nodes.push_back(triangleNode("spin", "child", {0, 0, 0}, {1, 0, 0}, {0, 0, 1}, 1));
    file.nodes[1].textureIndices = {1};
    file.nodes[2].keyFrames = {{0, {0, 0, 0, 1}}, {900, {0, 1, 0, 0}}};
    const std::vector<std::uint8_t> whole = modelFileBytes(file);
    const Model full = parsedModel(file);
    // Where each node's faces end, and where its record becomes whole: after one zero word, or
    // after its key frames.
    std::vector<std::size_t> facesEnd;
    std::vector<std::size_t> recordEnd;
    for (std::size_t i = 0; i < file.nodes.size(); ++i) {
        ModelFile upTo = file;
        upTo.nodes.resize(i + 1);
        ModelFileLayout layout{{}, std::vector<int>(i + 1, 2), 0};
        layout.zeroWordsAfterFaces[i] = 1;
        recordEnd.push_back(modelFileBytes(upTo, layout).size());
        layout.zeroWordsAfterFaces[i] = 0;
        upTo.nodes[i].keyFrames.clear();
        facesEnd.push_back(modelFileBytes(upTo, layout).size());
    }
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        const ParseOutcome outcome = parseBytes({whole.begin(), whole.begin() + length});
        const Model& model = outcome.model;
        std::int32_t expected = 0;
        while (expected < 3 && length >= recordEnd[expected]) {
            ++expected;
        }
        const bool endsAfterFaces = expected < 3 && length == facesEnd[expected];
        expected += endsAfterFaces ? 1 : 0;
        ASSERT_EQ(model.nodes.size(), static_cast<std::size_t>(expected)) << length;
        EXPECT_EQ(outcome.loaded, !model.nodes.empty());
        for (std::int32_t i = 0; i < expected; ++i) {
            EXPECT_EQ(model.nodes[i].name, full.nodes[i].name);
            EXPECT_EQ(model.nodes[i].faces.size(), full.nodes[i].faces.size());
            const bool cutAfterFaces = endsAfterFaces && i == expected - 1;
            EXPECT_EQ(model.nodes[i].keyFrames.size(),
                      cutAfterFaces ? 0u : full.nodes[i].keyFrames.size())
                << length;
        }
        if (endsAfterFaces) {
            EXPECT_EQ(outcome.errors, "") << length;
        }
    }
}

// A file larger than any real model is refused before a byte of it is read.
TEST(ModelReader, AFileLargerThan256MiBIsRefused) {
    const ScratchFolder folder;
    const std::string relative = "huge.omd";
    ASSERT_TRUE(writeModelFile((folder.path() / relative).string(), twoNodeFile()));
    if (!folder.extend(relative, std::uint64_t{1} << 40)) {
        GTEST_SKIP() << "the file system cannot make a sparse file of 1 TiB";
    }
    const std::string path = (folder.path() / relative).string();
    Model model;
    TextureCapabilities textures;
    SceneLoad scene(textures);
    CaptureStderr();
    const ReadResult result = model.load("root", path.c_str(), scene);
    EXPECT_FALSE(result);
    EXPECT_EQ(GetCapturedStderr(), "The file is larger than 256 MiB - " + path + "\n");
    EXPECT_EQ(result.kind(), Failure::tooLarge);
    EXPECT_EQ(model.nodes.size(), 0u);
    EXPECT_EQ(model.textureNames.size(), 0u);
}
