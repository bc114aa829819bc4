#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Helpers shared by the fuzz targets. The readers take a file name, so each input is written
// to a file in a folder private to the fuzzing process and read back from there.
namespace fuzz {

// Replaces the file `name` in the private folder with the bytes of `data`; returns its path.
// The folder is made on first use and removed when the process exits normally.
std::string write_input(std::string_view name, std::string_view data);

inline std::string_view as_text(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Stops the run with `what` when a property of the reader does not hold; libFuzzer keeps the
// input that did it.
void require(bool holds, const char* what);

}  // namespace fuzz
