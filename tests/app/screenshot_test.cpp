#include "app/screenshot.h"

#include <gtest/gtest.h>

#include "scoped_variable.h"
#include "scratch_folder.h"

namespace {

TEST(Screenshot, GoesToThePicturesFolderTheUserNamed) {
    const ScratchFolder folder;
    const std::string home = folder.string();
    const ScopedVariable homeVariable("HOME", home.c_str());
    const ScopedVariable config("XDG_CONFIG_HOME", nullptr);
    {
        const ScopedVariable pictures("XDG_PICTURES_DIR", "/srv/pictures");
        EXPECT_EQ(screenshotFolder(), "/srv/pictures/Orvalis");
    }
    const ScopedVariable pictures("XDG_PICTURES_DIR", "relative");
    EXPECT_EQ(screenshotFolder(), folder.path() / "Pictures" / "Orvalis");

    folder.writeText(".config/user-dirs.dirs",
                     "# written by xdg-user-dirs-update\n"
                     "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                     "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    EXPECT_EQ(screenshotFolder(), folder.path() / "Bilder" / "Orvalis");

    const ScopedVariable otherConfig("XDG_CONFIG_HOME", (home + "/elsewhere").c_str());
    folder.writeText("elsewhere/user-dirs.dirs", "XDG_PICTURES_DIR=\"/media/photos\"\n");
    EXPECT_EQ(screenshotFolder(), "/media/photos/Orvalis");

    const ScopedVariable noHome("HOME", nullptr);
    const ScopedVariable noPictures("XDG_PICTURES_DIR", nullptr);
    EXPECT_EQ(screenshotFolder(), "");
}

TEST(Screenshot, IsNamedByTheTimeWithANumberForMoreInOneSecond) {
    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 8;
    when.tm_hour = 9;
    when.tm_min = 5;
    when.tm_sec = 2;
    EXPECT_EQ(screenshotName(when, 1), "orvalis-2026-12-08-09-05-02.png");
    EXPECT_EQ(screenshotName(when, 2), "orvalis-2026-12-08-09-05-02-2.png");
    EXPECT_EQ(screenshotName(when, 100), "orvalis-2026-12-08-09-05-02-100.png");
}

}  // namespace
