#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <vector>

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
        {{"a.gnd", "b.rsw"}, "more than one scene: a.gnd, b.rsw"},
        {{"--windowed"}, "no scene file given"},
    };
    for (const auto& c : cases) {
        const CommandLine line = parseCommandLine(c.arguments);
        EXPECT_EQ(line.action, CommandLine::Action::usageError) << c.error;
        EXPECT_EQ(line.error, c.error);
    }
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

// Sets an environment variable for one test and puts the old value back.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        set(value);
    }
    ~ScopedVariable() { set(old_ ? old_->c_str() : nullptr); }

  private:
    void set(const char* value) {
        if (value != nullptr) {
            ::setenv(name_, value, 1);
        } else {
            ::unsetenv(name_);
        }
    }
    const char* name_;
    std::optional<std::string> old_;
};

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
