#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <span>
#include <vector>

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

// A rectangle of a picture that holds one text and nothing else, both corners included.
struct TextArea {
    const char* what;
    int left, top, right, bottom;
};

// As above, except inside the text areas: there only the text's ink is compared, the colours
// that differ from the area's paper (its top-left pixel) and the box they fill, which may move
// by up to `slack` pixels on each side. Glyphs drawn by another version of a font pass; a text
// that moved, changed colour or is missing does not.
::testing::AssertionResult matches_golden(std::span<const gfx::Colour> picture, int width,
                                          int height, const std::filesystem::path& golden,
                                          std::span<const TextArea> text_areas, int slack = 2);

}  // namespace testing_support
