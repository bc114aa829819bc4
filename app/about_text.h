#pragma once

#include <string>

namespace app {

// The text that "User guide" shows: six paragraphs, carriage returns between them.
std::string about_text();

}  // namespace app
