// LineReader against a plain in-memory splitting of the same bytes. The low bits of the first
// byte choose the longest line kept; the second can put the rest of the input just before the
// end of the reader's 64 KiB buffer, so line ends (a CR and its LF above all) fall across a
// refill.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_input.h"
#include "textio/line_file.h"

namespace {

constexpr size_t k_buffer_size = size_t{1} << 16;

// Records end at CR LF, a lone LF or a lone CR; a last line without an ending still counts.
std::vector<std::string> expected_records(std::string_view text, size_t max_line_length) {
    std::vector<std::string> records;
    std::string line;
    bool started = false;
    bool after_cr = false;
    for (const char c : text) {
        if (after_cr && c == '\n') {
            after_cr = false;
            continue;
        }
        after_cr = false;
        if (c == '\r' || c == '\n') {
            records.push_back(line.substr(0, max_line_length));
            line.clear();
            started = false;
            after_cr = c == '\r';
        } else {
            line += c;
            started = true;
        }
    }
    if (started) records.push_back(line.substr(0, max_line_length));
    return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t max_line_length = (data[0] & 0x7f) < 100
                                       ? (data[0] & 0x7f) % 40
                                       : textio::LineReader::k_default_max_line_length;
    std::string text;
    if ((data[1] & 0x80) != 0) text.assign(k_buffer_size - 1 - (data[1] & 0x7f), 'p');
    text.append(fuzz::as_text(data + 2, size - 2));

    const std::string path = fuzz::write_input("lines.txt", text);
    std::vector<std::string> records;
    {
        textio::LineReader reader(path, max_line_length);
        fuzz::require(reader.is_open(), "the input file did not open");
        while (std::optional<std::string> line = reader.next_line()) {
            records.push_back(std::move(*line));
        }
        fuzz::require(!reader.read_failed(), "a plain file reported a read error");
        fuzz::require(!reader.next_line(), "a record came after the end of the file");
    }
    fuzz::require(records == expected_records(text, max_line_length),
                  "the records differ from the line ends in the file");
    return 0;
}
