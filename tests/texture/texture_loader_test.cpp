#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "bound_texture.h"
#include "formats/image_writer.h"
#include "gl_test.h"
#include "io/host_files.h"
#include "io/input_limits.h"
#include "texture/texture_loader.h"
#include "texture_files.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kUnwritten = 7;

class TextureLoading : public HeadlessGlTest {
  protected:
    void SetUp() override {
        HeadlessGlTest::SetUp();
        glGenTextures(1, &texture);
        textures = TextureCapabilities::ofCurrentContext();
    }

    // Loads `name` into `texture` as the first texture of a scene, returning the result;
    // `printed` receives standard output.
    bool load(const std::string& name, std::uint8_t* fromTga, std::string* printed = nullptr) {
        SceneLoad scene(textures);
        return loadInto(scene, name, fromTga, printed);
    }

    // The same, as one more texture of `scene`.
    bool loadInto(SceneLoad& scene, const std::string& name, std::uint8_t* fromTga = nullptr,
                  std::string* printed = nullptr) {
        testing::internal::CaptureStdout();
        const bool loaded = static_cast<bool>(
            loadTexture(folder.root().c_str(), name.c_str(), texture, scene, fromTga));
        const std::string output = testing::internal::GetCapturedStdout();
        if (printed != nullptr) {
            *printed = output;
        }
        glBindTexture(GL_TEXTURE_2D, texture);
        return loaded;
    }

    GLint textureParameter(GLenum parameter) {
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
        return value;
    }

    TextureFolder folder;
    GLuint texture = 0;
    TextureCapabilities textures;
};

Bytes bmpOf(const RgbaPicture& picture) {
    return bmpFile(bmpPictureOf(picture));
}

// The picture's rows in reverse order.
Bytes reversedRows(const RgbaPicture& picture) {
    Bytes rows;
    for (std::int32_t row = picture.height - 1; row >= 0; --row) {
        const auto start = picture.rgba.begin() + std::ptrdiff_t(row) * picture.width * 4;
        rows.insert(rows.end(), start, start + picture.width * 4);
    }
    return rows;
}

TEST_F(TextureLoading, NamesChooseTheReaderByTheirLastThreeCharactersAsWritten) {
    const RgbaPicture picture = patternPicture(2, 2);
    // The flag each name leaves: 0 for a BMP, 1 for a TGA, unwritten for an unknown type.
    const std::vector<std::pair<std::string, std::uint8_t>> names{
        {"wall.bmp", 0}, {"WALL.BMP", 0},          {"wallbmp", 0},        {"a.tga", 1},
        {"A.TGA", 1},    {"wall.Bmp", kUnwritten}, {"a.tGA", kUnwritten}, {"ga", kUnwritten}};
    for (const auto& [name, flag] : names) {
        const bool bmp = name.find_first_of("bB") != std::string::npos;
        folder.write(name, bmp ? bmpOf(picture) : tgaFile(picture));
        glGenTextures(1, &texture);
        std::uint8_t fromTga = kUnwritten;
        EXPECT_EQ(load(name, &fromTga), flag != kUnwritten) << name;
        EXPECT_EQ(fromTga, flag) << name;
        EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH), flag != kUnwritten ? 2 : 0) << name;
    }
    ASSERT_EQ(headless.messageBoxes.size(), 3u);
    for (const auto& box : headless.messageBoxes) {
        EXPECT_EQ(box.text, "Unknown texture type");
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_EQ(box.type, win32::MB_OK);
    }
}

TEST_F(TextureLoading, BmpTexturesGetTheColourKeyAndReversedRows) {
    // The first stored row is the bottom of the picture; near magenta turns transparent.
    const RgbaPicture picture = pictureOf(4, 2,
                                          {{255, 0, 255, 0},
                                           {254, 0, 254, 0},
                                           {255, 1, 255, 255},
                                           {253, 0, 255, 255},
                                           {255, 0, 253, 255},
                                           {255, 0, 254, 0},
                                           {0, 0, 0, 255},
                                           {10, 20, 30, 255}});
    folder.write("key.bmp", bmpOf(picture));
    std::uint8_t fromTga = kUnwritten;
    EXPECT_TRUE(load("key.bmp", &fromTga));
    EXPECT_EQ(fromTga, 0);
    EXPECT_EQ(boundTexels(GL_RGBA, 4), reversedRows(picture));

    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH, 1), 2);  // mipmaps built
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);

    // Without a flag nothing is written; the texture loads all the same.
    EXPECT_TRUE(load("key.bmp", nullptr));
}

TEST_F(TextureLoading, TgaTexturesKeepTheirAlphaAndSwitchTheUnitToReplace) {
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);

    const RgbaPicture picture =
        pictureOf(2, 2, {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {255, 0, 255, 255}});
    folder.write("alpha.tga", tgaFile(picture));
    std::uint8_t fromTga = kUnwritten;
    EXPECT_TRUE(load("alpha.tga", &fromTga));
    EXPECT_EQ(fromTga, 1);
    EXPECT_EQ(boundTexels(GL_RGBA, 4), reversedRows(picture));
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_REPLACE);

    // 24-bit files arrive opaque; the unit stays at GL_REPLACE after a BMP load.
    folder.write("opaque.tga", tgaFile(picture, {.imageType = 10, .bitsPerPixel = 24}));
    EXPECT_TRUE(load("opaque.tga", &fromTga));
    RgbaPicture opaque = picture;
    for (std::size_t i = 3; i < opaque.rgba.size(); i += 4) {
        opaque.rgba[i] = 255;
    }
    EXPECT_EQ(boundTexels(GL_RGBA, 4), reversedRows(opaque));
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
    folder.write("after.bmp", bmpOf(picture));
    EXPECT_TRUE(load("after.bmp", &fromTga));
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_REPLACE);
}

TEST_F(TextureLoading, BmpFailuresLeaveTheTextureEmptyAndTheFlagAlone) {
    folder.write("damaged.bmp", Bytes{'B', 'M', 0, 0, 0, 0});
    const std::string longName = std::string(600, 'x') + ".bmp";
    for (const std::string& name :
         {std::string("missing.bmp"), std::string("damaged.bmp"), longName}) {
        std::uint8_t fromTga = kUnwritten;
        EXPECT_FALSE(load(name, &fromTga)) << name;
        EXPECT_EQ(fromTga, kUnwritten) << name;
        EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH), 0) << name;
    }
    // Only the damaged file reaches the reader, which shows its message.
    ASSERT_EQ(headless.messageBoxes.size(), 1u);
    EXPECT_EQ(headless.messageBoxes[0].text, "Unknown DIB file format.");
    EXPECT_EQ(headless.messageBoxes[0].owner, window);
}

TEST_F(TextureLoading, AFifoInPlaceOfATextureIsRefusedWithOneLine) {
    for (const std::string name : {"pipe.bmp", "pipe.tga"}) {
        const std::string path = folder.write(name, {});
        const std::string hosted = hostPath(path);
        std::remove(hosted.c_str());
        ASSERT_EQ(::mkfifo(hosted.c_str(), 0600), 0) << name;
        testing::internal::CaptureStderr();
        std::string printed;
        EXPECT_FALSE(load(name, nullptr, &printed)) << name;
        const std::string lines = testing::internal::GetCapturedStderr() + printed;
        EXPECT_EQ(lines, "Not a regular file - " + path + "\n") << name;
    }
}

TEST_F(TextureLoading, AFailedTgaShowsItsCheckerboardInTheScene) {
    folder.write("flat.tga", tgaFile(patternPicture(2, 2), {.bitsPerPixel = 16}));
    const std::string longName = std::string(600, 'x') + ".tga";
    const std::string texturePath = folder.root() + "\\data\\texture\\";
    const std::vector<std::pair<std::string, std::string>> failures{
        {"missing.tga", "File not found - " + texturePath + "missing.tga\n"},
        {"flat.tga", "Unsupported RGB format - " + texturePath + "flat.tga\n"},
        {longName, "File not found - " + longName + "\n"},
    };
    for (const auto& [name, line] : failures) {
        std::uint8_t fromTga = kUnwritten;
        std::string printed;
        EXPECT_FALSE(load(name, &fromTga, &printed));
        EXPECT_EQ(printed, line);
        EXPECT_EQ(fromTga, 0);
        EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH), 128);
        EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    }

    // The texture is complete, so a textured quad over the window shows the squares.
    glEnable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    for (const auto& [s, t] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
        glTexCoord2i(s, t);
        glVertex2i(2 * s - 1, 2 * t - 1);
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    const int square = kWidth / 8;  // 16 of 128 texels
    EXPECT_EQ(pixelAt(square / 2, 10)[0], 255);
    EXPECT_EQ(pixelAt(square + square / 2, 10)[0], 0);
    EXPECT_EQ(pixelAt(square + square / 2, kHeight / 8 + 30)[0], 255);
}

// Refused files fail as files that cannot be read: the BMP with one line on standard error and no
// image, the TGA through its own line and checkerboard. Files of 60 and 22 bytes that claim
// 16384 x 16384 pixels are refused before their pixels are allocated, files of 2 x 2 pixels
// followed by zeros to one byte over 256 MiB before they are read.
TEST_F(TextureLoading, RefusedFilesFailAsFilesThatCannotBeRead) {
    const Bytes bmp =
        bmpFile(BmpPicture{16384, 16384, {}, {{1, 2, 3}}}, {.bitCount = 8,
                                                            .compression = BmpCompression::rle8,
                                                            .coloursUsed = 1,
                                                            .pixelData = Bytes{0, 1}});
    const Bytes tga = tgaFile(RgbaPicture{16384, 16384, {}}, {.pixelData = Bytes{1, 2, 3, 4}});
    ASSERT_EQ(bmp.size(), 60u);
    ASSERT_EQ(tga.size(), 22u);
    folder.write("claims.bmp", bmp);
    folder.write("claims.tga", tga);
    folder.write("huge.bmp", bmpOf(patternPicture(2, 2)));
    folder.write("huge.tga", tgaFile(patternPicture(2, 2)));
    for (const char* name : {"huge.bmp", "huge.tga"}) {
        if (!folder.extend(name, kMaxDataFileBytes + 1)) {
            GTEST_SKIP() << "the file system cannot make a sparse file over 256 MiB";
        }
    }
    const std::string texturePath = folder.root() + "\\data\\texture\\";
    for (const auto& [file, why] :
         {std::pair{"claims", "The image has more pixels than its file can describe - "},
          std::pair{"huge", "The file is larger than 256 MiB - "}}) {
        const std::string bmpName = file + std::string(".bmp");
        const std::string tgaName = file + std::string(".tga");
        std::uint8_t fromTga = kUnwritten;
        std::string printed;
        glGenTextures(1, &texture);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(load(bmpName, &fromTga, &printed));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), why + texturePath + bmpName + "\n");
        EXPECT_EQ(printed, "");
        EXPECT_EQ(fromTga, kUnwritten);
        EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH), 0);

        glGenTextures(1, &texture);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(load(tgaName, &fromTga, &printed));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(printed, why + texturePath + tgaName + "\n");
        EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH), 128);
        EXPECT_EQ(boundLevelParameter(GL_TEXTURE_INTERNAL_FORMAT), GL_LUMINANCE4);
        EXPECT_EQ(boundTexels(GL_LUMINANCE, 1)[16], 0);  // the checkerboard's second square
    }
    EXPECT_TRUE(headless.messageBoxes.empty());
}

TEST_F(TextureLoading, ImagesWiderThanTheLargestTextureAreRefused) {
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    for (const GLint width : {side, side + 1}) {
        const BmpPicture row{
            width, 1, std::vector<std::uint32_t>(std::size_t(width), 0x102030), {}};
        folder.write("row.bmp", bmpFile(row, {.bitCount = 24}));
        glGenTextures(1, &texture);
        testing::internal::CaptureStderr();
        EXPECT_EQ(load("row.bmp", nullptr), width == side) << width;
        const std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH), width == side ? side : 0);
        EXPECT_EQ(errors, width == side ? ""
                                        : "The image is larger than the largest texture - " +
                                              folder.root() + "\\data\\texture\\row.bmp\n");
    }
}

// The side that counts is the one the caller's capabilities give, whatever the context takes.
TEST_F(TextureLoading, TheCapabilitiesGiveTheLargestSide) {
    folder.write("four.bmp", bmpOf(patternPicture(4, 4)));
    folder.write("four.tga", tgaFile(patternPicture(4, 4)));
    textures = TextureCapabilities{3};
    const std::string texturePath = folder.root() + "\\data\\texture\\";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(load("four.bmp", nullptr));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "The image is larger than the largest texture - " + texturePath + "four.bmp\n");
    std::string printed;
    EXPECT_FALSE(load("four.tga", nullptr, &printed));
    EXPECT_EQ(printed,
              "The image is larger than the largest texture - " + texturePath + "four.tga\n");
    textures = TextureCapabilities{4};
    EXPECT_TRUE(load("four.bmp", nullptr));
    EXPECT_TRUE(load("four.tga", nullptr));
}

// One colour as run-length data: the file is far smaller than the pixels, and all of them arrive.
TEST_F(TextureLoading, RunLengthImagesOfOneColourLoadWhole) {
    constexpr int kSide = 512;
    const BmpPicture indices{
        kSide, kSide, std::vector<std::uint32_t>(kSide * kSide), {{200, 100, 50}}};
    folder.write(
        "flat.bmp",
        bmpFile(indices, {.bitCount = 8, .compression = BmpCompression::rle8, .coloursUsed = 1}));
    RgbaPicture flat{kSide, kSide, {}};
    for (int i = 0; i < kSide * kSide; ++i) {
        flat.rgba.insert(flat.rgba.end(), {200, 100, 50, 255});
    }
    folder.write("flat.tga", tgaFile(flat, {.imageType = 10, .bitsPerPixel = 24}));
    for (const char* name : {"flat.bmp", "flat.tga"}) {
        glGenTextures(1, &texture);
        EXPECT_TRUE(load(name, nullptr)) << name;
        EXPECT_EQ(boundTexels(GL_RGBA, 4), flat.rgba) << name;
    }
}

}  // namespace

// Within one scene every name that reaches a file, by any letter case or path, gets the texture
// of its first load, its flag and its result; the file is read once, so a damaged one shows one
// message. Each name's own texture stays empty.
TEST_F(TextureLoading, EveryNameOfOneFileSharesItsFirstLoad) {
    const RgbaPicture picture = patternPicture(2, 2);
    folder.write("wall.bmp", bmpOf(picture));
    folder.write("glow.tga", tgaFile(picture));
    folder.write("damaged.bmp", Bytes{'B', 'M', 0, 0, 0, 0});
    SceneLoad scene(textures);
    const std::vector<std::vector<std::string>> spellings{
        {"wall.bmp", "WALL.BMP", ".\\wall.bmp", ".\\.\\Wall.bmp"},
        {"glow.tga", ".\\GLOW.TGA"},
        {"damaged.bmp", "DAMAGED.bmp"}};
    for (const std::vector<std::string>& names : spellings) {
        std::vector<GLuint> loaded;
        std::vector<std::uint8_t> flags;
        std::vector<bool> results;
        for (const std::string& name : names) {
            glGenTextures(1, &texture);
            const GLuint own = texture;
            std::uint8_t fromTga = kUnwritten;
            results.push_back(loadInto(scene, name, &fromTga));
            loaded.push_back(texture);
            flags.push_back(fromTga);
            if (loaded.size() > 1) {
                glBindTexture(GL_TEXTURE_2D, own);
                EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH), 0) << name;
            }
        }
        EXPECT_EQ(loaded, std::vector<GLuint>(names.size(), loaded[0])) << names[0];
        EXPECT_EQ(flags, std::vector<std::uint8_t>(names.size(), flags[0])) << names[0];
        EXPECT_EQ(results, std::vector<bool>(names.size(), names[0] != "damaged.bmp"));
    }
    EXPECT_EQ(headless.messageBoxes.size(), 1u);
    // A new scene reads the file again, into its own texture.
    glGenTextures(1, &texture);
    const GLuint fresh = texture;
    EXPECT_TRUE(load("WALL.BMP", nullptr));
    EXPECT_EQ(texture, fresh);
    EXPECT_EQ(boundTexels(GL_RGB, 3).size(), 12u);
}

// However many names fail, one checkerboard shows them all: a missing file named a thousand times,
// in any letter case, is looked for and reported once, and every other TGA that cannot be read
// shows the same texture. A TGA that loads after them still gets its own.
TEST_F(TextureLoading, EveryTgaThatCannotBeReadSharesOneCheckerboard) {
    folder.write("flat.tga", tgaFile(patternPicture(2, 2), {.bitsPerPixel = 16}));
    folder.write("good.tga", tgaFile(patternPicture(2, 2)));
    SceneLoad scene(textures);
    std::vector<std::string> names(1000, "missing.tga");
    names.insert(names.end(), {"other.tga", "flat.tga", "MISSING.tga"});
    std::string printed;
    std::vector<GLuint> loaded;
    for (const std::string& name : names) {
        glGenTextures(1, &texture);
        std::string line;
        EXPECT_FALSE(loadInto(scene, name, nullptr, &line));
        printed += line;
        loaded.push_back(texture);
    }
    const std::string texturePath = folder.root() + "\\data\\texture\\";
    EXPECT_EQ(printed, "File not found - " + texturePath + "missing.tga\n" + "File not found - " +
                           texturePath + "other.tga\n" + "Unsupported RGB format - " + texturePath +
                           "flat.tga\n");
    EXPECT_EQ(loaded, std::vector<GLuint>(names.size(), loaded[0]));

    glGenTextures(1, &texture);
    const GLuint own = texture;
    EXPECT_TRUE(loadInto(scene, "good.tga"));
    EXPECT_EQ(texture, own);
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH), 2);
    glBindTexture(GL_TEXTURE_2D, loaded[0]);
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH), 128);
    EXPECT_EQ(boundTexels(GL_LUMINANCE, 1)[16], 0);  // the checkerboard's second square
}

// A texture that would take the scene past its budget of texels, or has more than one texture
// may, is left out before its pixels are allocated, with one line: a BMP stays empty, a TGA shows
// the checkerboard. Smaller textures
// that still fit load, and a file loaded before costs nothing when named again.
TEST_F(TextureLoading, TexturesPastTheSceneBudgetAreLeftOut) {
    for (const char* name : {"a.bmp", "b.bmp"}) {
        folder.write(name, bmpOf(patternPicture(4, 4)));
    }
    folder.write("c.tga", tgaFile(patternPicture(4, 4)));
    folder.write("d.tga", tgaFile(patternPicture(2, 2)));
    folder.write("e.bmp", bmpOf(patternPicture(1, 1)));
    folder.write("wide.tga", tgaFile(patternPicture(5, 4)));
    SceneLoad scene(textures, {.texturePixels = 20, .texturePixelsEach = 16});
    const std::string texturePath = folder.root() + "\\data\\texture\\";
    const std::vector<std::tuple<std::string, bool, std::string, std::string, GLint>> loads{
        {"wide.tga", false, "", "The image passes the scene's texture budget - ", 128},
        {"a.bmp", true, "", "", 4},
        {"b.bmp", false, "The image passes the scene's texture budget - ", "", 0},
        {"c.tga", false, "", "The image passes the scene's texture budget - ", 128},
        {"d.tga", true, "", "", 2},
        {"A.BMP", true, "", "", 4},
        {"e.bmp", false, "The image passes the scene's texture budget - ", "", 0}};
    for (const auto& [name, fits, error, printedLine, width] : loads) {
        glGenTextures(1, &texture);
        std::string printed;
        testing::internal::CaptureStderr();
        EXPECT_EQ(loadInto(scene, name, nullptr, &printed), fits) << name;
        const std::string errors = testing::internal::GetCapturedStderr();
        const std::string file = texturePath + name + "\n";
        EXPECT_EQ(errors, error.empty() ? "" : error + file) << name;
        EXPECT_EQ(printed, printedLine.empty() ? "" : printedLine + file) << name;
        EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH), width) << name;
    }
    EXPECT_TRUE(headless.messageBoxes.empty());
}
