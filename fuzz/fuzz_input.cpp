#include "fuzz_input.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fuzz {

namespace {

struct PrivateFolder {
    std::string path;

    PrivateFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pelidor-fuzz.XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        path = pattern;
    }
    ~PrivateFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

const std::string& private_folder() {
    static const PrivateFolder folder;
    return folder.path;
}

}  // namespace

std::string write_input(std::string_view name, std::string_view data) {
    std::string path = private_folder() + "/" + std::string(name);
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    require(descriptor >= 0, "cannot create the input file");
    while (!data.empty()) {
        const ssize_t written = ::write(descriptor, data.data(), data.size());
        require(written > 0, "cannot write the input file");
        data.remove_prefix(static_cast<size_t>(written));
    }
    ::close(descriptor);
    return path;
}

void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "property violated: %s\n", what);
    std::abort();
}

}  // namespace fuzz
