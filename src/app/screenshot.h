#pragma once
// F12's screenshots: the frame on screen saved as a PNG named by the date and time in the user's
// pictures folder. Not on Windows, whose build has no PNG encoder.

#include <ctime>
#include <filesystem>
#include <string>

// $XDG_PICTURES_DIR/Orvalis; when that is not set (or not absolute), the pictures folder that
// user-dirs.dirs in $XDG_CONFIG_HOME or ~/.config names, else ~/Pictures/Orvalis. Empty when no
// home folder is known.
std::filesystem::path screenshotFolder();

// "orvalis-YYYY-MM-DD-HH-MM-SS.png" for the time `when`; from `number` 2 on "-2", "-3"... before
// ".png", for more pictures within one second.
std::string screenshotName(const std::tm& when, int number);

// Saves the frame the window shows as a new file in the screenshot folder (made
// if need be) and tells where it went, or why it did not, in a few words for the window's title.
// Needs the window's rendering context current.
std::string saveScreenshot();
