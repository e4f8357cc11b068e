#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <vector>

#include "scoped_variable.h"
#include "scratch_folder.h"

namespace {

CommandLine parse(std::initializer_list<std::string_view> arguments) {
    const std::vector<std::string_view> list(arguments);
    return parseCommandLine(list);
}

TEST(CommandLine, NothingReadsTheArgumentFileAndASceneMayComeWithOptions) {
    EXPECT_EQ(parse({}).action, CommandLine::Action::argumentFile);

    CommandLine line = parse({"maps/valley.rsw"});
    EXPECT_EQ(line.action, CommandLine::Action::showScene);
    EXPECT_EQ(line.scene, "maps/valley.rsw");
    EXPECT_FALSE(line.windowed);
    EXPECT_EQ(line.dataRoot, "");
    EXPECT_EQ(line.logPath, "");

    line = parse({"--windowed", "--data", "/games/valley", "--log=/tmp/models.txt", "a.gnd"});
    EXPECT_EQ(line.action, CommandLine::Action::showScene);
    EXPECT_TRUE(line.windowed);
    EXPECT_EQ(line.dataRoot, "/games/valley");
    EXPECT_EQ(line.logPath, "/tmp/models.txt");
    EXPECT_EQ(line.scene, "a.gnd");

    line = parse({"--data=root", "--", "-odd name.omd"});
    EXPECT_EQ(line.action, CommandLine::Action::showScene);
    EXPECT_EQ(line.dataRoot, "root");
    EXPECT_EQ(line.scene, "-odd name.omd");

    EXPECT_EQ(parse({"a.gnd", "--help"}).action, CommandLine::Action::help);
    EXPECT_EQ(parse({"--version", "--bogus"}).action, CommandLine::Action::version);
    EXPECT_EQ(parse({"--bogus", "-h"}).action, CommandLine::Action::help);
    EXPECT_EQ(parse({"-v"}).action, CommandLine::Action::version);
    // After "--" they are names like any other.
    line = parse({"--", "--help"});
    EXPECT_EQ(line.action, CommandLine::Action::showScene);
    EXPECT_EQ(line.scene, "--help");

    line = parse({"a.gnd", "--verbose"});
    EXPECT_TRUE(line.verbose);
    EXPECT_FALSE(line.windowed);
    EXPECT_FALSE(parse({"a.gnd"}).verbose);
}

// A scene of the command line is drawn batched unless --renderer says otherwise; the option goes
// with --output too.
TEST(CommandLine, TheRendererIsBatchedUnlessNamed) {
    EXPECT_EQ(parse({"a.gnd"}).renderer, Renderer::batched);
    EXPECT_EQ(parse({"--renderer", "immediate", "a.gnd"}).renderer, Renderer::immediate);
    EXPECT_EQ(parse({"a.gnd", "--renderer=immediate"}).renderer, Renderer::immediate);
    EXPECT_EQ(parse({"--renderer=batched", "a.gnd"}).renderer, Renderer::batched);
    const CommandLine picture = parse({"--renderer=immediate", "--output=p.png", "a.gnd"});
    EXPECT_EQ(picture.action, CommandLine::Action::writePicture);
    EXPECT_EQ(picture.renderer, Renderer::immediate);
}

TEST(CommandLine, WrongArgumentsSayWhatIsWrong) {
    const struct {
        std::vector<std::string_view> arguments;
        const char* error;
    } cases[] = {
        {{"--fullscreen", "a.gnd"}, "unknown option --fullscreen"},
        {{"-w", "a.gnd"}, "unknown option -w"},
        {{"-odd.gnd"}, "unknown option -odd.gnd"},
        {{"-"}, "unknown option -"},
        {{"a.gnd", "--verbose=yes"}, "unknown option --verbose=yes"},
        {{"a.gnd", "--data"}, "--data needs a folder"},
        {{"--data=", "a.gnd"}, "--data needs a folder"},
        {{"a.gnd", "--log"}, "--log needs a file"},
        {{"a.gnd", "--renderer"}, "--renderer needs immediate or batched"},
        {{"--renderer=fast", "a.gnd"}, "--renderer needs immediate or batched"},
        {{"--renderer", "Batched", "a.gnd"}, "--renderer needs immediate or batched"},
        {{"a.gnd", "b.rsw"}, "more than one scene: a.gnd, b.rsw"},
        {{"--windowed"}, "no scene file given"},
        {{"a.gnd", "--output"}, "--output needs a file"},
        {{"--output", "p.png"}, "no scene file given"},
        {{"--size", "320x240", "a.gnd"}, "--size, --eye and --look-at go with --output"},
        {{"--eye=1,2,3", "a.gnd"}, "--size, --eye and --look-at go with --output"},
        {{"--output=p.png", "--size", "320", "a.gnd"},
         "--size needs WIDTHxHEIGHT, each side from 16 to 4096"},
        {{"--output=p.png", "--size", "15x240", "a.gnd"},
         "--size needs WIDTHxHEIGHT, each side from 16 to 4096"},
        {{"--output=p.png", "--size", "320x4097", "a.gnd"},
         "--size needs WIDTHxHEIGHT, each side from 16 to 4096"},
        {{"--output=p.png", "--size", "320x240x2", "a.gnd"},
         "--size needs WIDTHxHEIGHT, each side from 16 to 4096"},
        {{"--output=p.png", "--size", "99999999999x240", "a.gnd"},
         "--size needs WIDTHxHEIGHT, each side from 16 to 4096"},
        {{"--output=p.png", "--eye", "1,2", "a.gnd"}, "--eye needs X,Y,Z"},
        {{"--output=p.png", "--eye", "1,2,3,4", "a.gnd"}, "--eye needs X,Y,Z"},
        {{"--output=p.png", "--eye", "1,,3", "a.gnd"}, "--eye needs X,Y,Z"},
        {{"--output=p.png", "--eye", "1,nan,3", "a.gnd"}, "--eye needs X,Y,Z"},
        {{"--output=p.png", "--eye", "1,2,1e39", "a.gnd"}, "--eye needs X,Y,Z"},
        {{"--output=p.png", "--look-at", "x,2,3", "a.gnd"}, "--look-at needs X,Y,Z"},
        // A view straight up or down has no side to turn the picture's up towards.
        {{"--output=p.png", "--eye", "0,0,0", "a.gnd"},
         "--eye and --look-at lie on one vertical line"},
        {{"--output=p.png", "--eye", "5,100,-3", "--look-at", "5,0,-3", "a.gnd"},
         "--eye and --look-at lie on one vertical line"},
    };
    for (const auto& c : cases) {
        const CommandLine line = parseCommandLine(c.arguments);
        EXPECT_EQ(line.action, CommandLine::Action::usageError) << c.error;
        EXPECT_EQ(line.error, c.error);
    }
}

TEST(CommandLine, OutputDrawsOnePictureAtTheStartPoseOrTheGivenOne) {
    CommandLine line = parse({"--output", "valley.png", "maps/valley.rsw"});
    EXPECT_EQ(line.action, CommandLine::Action::writePicture);
    EXPECT_EQ(line.output, "valley.png");
    EXPECT_EQ(line.scene, "maps/valley.rsw");
    EXPECT_EQ(line.width, 640);
    EXPECT_EQ(line.height, 480);
    EXPECT_FALSE(line.eye);
    EXPECT_FALSE(line.lookAt);

    line = parse({"--size=16x4096", "--eye", "-120.5,80,1e3", "--look-at=0,-2.25,.5", "--output",
                  "p.png", "--data", "root", "a.gnd"});
    ASSERT_EQ(line.action, CommandLine::Action::writePicture) << line.error;
    EXPECT_EQ(line.width, 16);
    EXPECT_EQ(line.height, 4096);
    ASSERT_TRUE(line.eye && line.lookAt);
    EXPECT_EQ(line.eye->x, -120.5f);
    EXPECT_EQ(line.eye->y, 80.0f);
    EXPECT_EQ(line.eye->z, 1000.0f);
    EXPECT_EQ(line.lookAt->y, -2.25f);
    EXPECT_EQ(line.lookAt->z, 0.5f);
    EXPECT_EQ(line.dataRoot, "root");

    // Only the look-at point moved: the eye stays at the start pose's.
    EXPECT_EQ(parse({"--output=p.png", "--look-at", "0,50,-10", "a.gnd"}).action,
              CommandLine::Action::writePicture);
}

TEST(CommandLine, TheDataRootIsTheNearestFolderAboveTheSceneThatHoldsAData) {
    const ScratchFolder folder;
    const std::filesystem::path game = folder.path() / "Game";
    const std::filesystem::path world = folder.writeText("Game/DATA/Maps/valley.rsw", "");
    EXPECT_EQ(findDataRoot(world.string()), game.string());
    EXPECT_EQ(dataRootAbove(world.string()), game.string());

    // A nearer folder with its own data folder wins; a file named data does not count.
    folder.writeText("Game/DATA/Maps/Data/readme.txt", "");
    EXPECT_EQ(findDataRoot(world.string()), (game / "DATA" / "Maps").string());
    const std::filesystem::path loose = folder.writeText("loose/model.omd", "");
    folder.writeText("loose/data", "not a folder");
    EXPECT_EQ(findDataRoot(loose.string()), (folder.path() / "loose").string());
    EXPECT_EQ(dataRootAbove(loose.string()), std::nullopt);

    // A relative scene name is looked up from the current folder.
    const CurrentDirectory inGame(game);
    EXPECT_EQ(findDataRoot("DATA/Maps/valley.rsw"), (game / "DATA" / "Maps").string());
}

TEST(CommandLine, TheModelLogGoesToTheUsersStateFolder) {
    {
        const ScopedVariable state("XDG_STATE_HOME", "/var/state");
        const ScopedVariable home("HOME", "/home/pat");
        EXPECT_EQ(defaultLogPath(), "/var/state/orvalis/sortie.txt");
    }
    {
        const ScopedVariable state("XDG_STATE_HOME", "relative/state");
        const ScopedVariable home("HOME", "/home/pat");
        EXPECT_EQ(defaultLogPath(), "/home/pat/.local/state/orvalis/sortie.txt");
    }
    const ScopedVariable state("XDG_STATE_HOME", nullptr);
    const ScopedVariable home("HOME", nullptr);
    EXPECT_EQ(defaultLogPath(), "");
}

}  // namespace
