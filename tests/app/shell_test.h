#pragma once
// The shell on the headless backend: a fresh application state whose current directory, as the
// platform answers it, and model log are in a scratch folder, and small scenes to load. The
// process's own working directory stays where it is.

#include <gtest/gtest.h>

#include <string>

#include "app/app_state.h"
#include "headless_test_platform.h"
#include "scratch_folder.h"

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A 2 x 2 ground without textures, as the scene's first name; gives its path.
    std::string useGroundScene();
    // A one-triangle model, as the first of `nameCount` names; gives its path.
    std::string useModelScene(int nameCount = 1);
    // Writes orvalis.arg in the current directory: the data root, then the names.
    void writeArgumentFile(const std::string& text) const;
    int boxesCaptioned(const std::string& caption) const;

    HeadlessTestPlatform headless;
    ScratchFolder folder;
};
