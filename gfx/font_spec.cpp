#include "gfx/font_spec.h"

#include <charconv>
#include <cstddef>

namespace gfx {

namespace {

constexpr std::size_t k_longest_face = 32;  // characters, not bytes

char lower(char letter) {
    return (letter >= 'A' && letter <= 'Z') ? static_cast<char>(letter - 'A' + 'a') : letter;
}

std::size_t utf8_length(std::string_view text) {
    std::size_t characters = 0;
    for (const char byte : text) {
        if ((static_cast<unsigned char>(byte) & 0xC0u) != 0x80u) ++characters;
    }
    return characters;
}

// Reads the decimal number at the front of `rest` and drops it; nullopt when there is none
// or it does not fit an int.
std::optional<int> take_number(std::string_view& rest) {
    int value = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (error != std::errc{} || end == rest.data() || rest.front() == '-') return std::nullopt;
    rest.remove_prefix(static_cast<std::size_t>(end - rest.data()));
    return value;
}

}  // namespace

// Options follow each other with nothing in between; blanks between them are skipped. A repeated
// option takes its last value.
std::optional<FontSpec> parse_font_options(std::string_view options) {
    FontSpec request;
    std::string_view rest = options;
    while (!rest.empty()) {
        const char letter = lower(rest.front());
        rest.remove_prefix(1);
        switch (letter) {
            case ' ':
                break;
            case 't': {
                if (rest.empty() || rest.front() != '\'') return std::nullopt;
                rest.remove_prefix(1);
                const std::size_t close = rest.find('\'');
                if (close == std::string_view::npos) return std::nullopt;
                const std::string_view face = rest.substr(0, close);
                if (utf8_length(face) > k_longest_face) return std::nullopt;
                request.face = std::string(face);
                rest.remove_prefix(close + 1);
                break;
            }
            case 'h':
            case 'w': {
                const std::optional<int> value = take_number(rest);
                if (!value) return std::nullopt;
                (letter == 'h' ? request.height : request.width) = *value;
                break;
            }
            case 'i':
                request.italic = true;
                break;
            case 'b':
                request.best_fit = true;
                break;
            default:
                return std::nullopt;
        }
    }
    return request;
}

}  // namespace gfx
