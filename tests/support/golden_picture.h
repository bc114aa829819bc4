#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <span>

#include "gfx/types.h"

namespace testing_support {

// The file of a stored picture: tests/<folder>/golden/<name> in the source tree.
std::filesystem::path golden_path(const char* folder, const char* name);

// Compares `picture`, `width` colours a row from the top row down, with the PNG stored at
// `golden`, and names the first differing pixel. With PELIDOR_UPDATE_GOLDEN=1 it writes the
// picture there instead and marks the test skipped, so a new golden file is looked at before
// it is trusted.
::testing::AssertionResult matches_golden(std::span<const gfx::Colour> picture, int width,
                                          int height, const std::filesystem::path& golden);

}  // namespace testing_support
