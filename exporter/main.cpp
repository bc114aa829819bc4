#include <sys/stat.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "exporter/command_line.h"
#include "exporter/graph_picture.h"
#include "exporter/log_location.h"
#include "exporter/results_table.h"
#include "textio/io_error.h"
#include "textio/line_file.h"

// pelidor-export: the progress graph (PNG) or the records (CSV) of a results log, written
// without a display. The log is only read; a file is written whole or not at all.
namespace {

constexpr const char* k_program = "pelidor-export";

int fail(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", k_program, message.c_str());
    return 1;
}

// True when both paths name one existing file.
bool same_file(const std::string& first, const std::string& second) {
    struct stat first_status {};
    struct stat second_status {};
    return ::stat(first.c_str(), &first_status) == 0 &&
           ::stat(second.c_str(), &second_status) == 0 &&
           first_status.st_dev == second_status.st_dev &&
           first_status.st_ino == second_status.st_ino;
}

bool write_standard_output(std::string_view bytes) {
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
    return std::fflush(stdout) == 0 && written;
}

std::string joined_rows(const std::vector<std::string>& rows) {
    std::string text;
    for (const std::string& row : rows) text += row + "\r\n";
    return text;
}

int export_results(const exporter::Command& command, const std::string& log_path) {
    const bool to_standard_output = command.output == "-";
    if (!to_standard_output && same_file(command.output, log_path)) {
        return fail("will not write over the results log " + log_path);
    }

    // Read once before anything is drawn or written: a log that cannot be read gives no file.
    const exporter::ReadResults results = exporter::read_results_table(log_path);
    if (!results.table) {
        return fail("cannot read the results log " + log_path + ": " +
                    std::string(textio::describe(results.error)));
    }
    if (results.table->skipped > 0) {
        std::fprintf(stderr, "%s: %d line%s of %s skipped: not a record the graph can draw\n",
                     k_program, results.table->skipped, results.table->skipped == 1 ? "" : "s",
                     log_path.c_str());
    }

    std::string bytes;
    if (command.action == exporter::Action::graph) {
        try {
            bytes = exporter::graph_png(log_path);
        } catch (const textio::IoError& error) {
            return fail("cannot read the results log " + log_path + ": " +
                        std::string(textio::describe(error.kind())));
        }
    } else {
        bytes = joined_rows(results.table->rows);
    }

    if (to_standard_output) {
        if (!write_standard_output(bytes)) return fail("cannot write to the standard output");
        return 0;
    }
    const textio::IoStatus written = textio::write_bytes_atomically(command.output, bytes);
    if (!written) {
        return fail("cannot write " + command.output + ": " +
                    std::string(textio::describe(written.error())));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const std::optional<exporter::Command> command = exporter::parse_command_line(arguments);
    if (!command) {
        std::fwrite(exporter::usage_text().data(), 1, exporter::usage_text().size(), stderr);
        return 2;
    }
    switch (command->action) {
        case exporter::Action::help:
            std::fwrite(exporter::usage_text().data(), 1, exporter::usage_text().size(), stdout);
            return 0;
        case exporter::Action::version:
            std::printf("%s %s\n", k_program, PELIDOR_VERSION);
            return 0;
        case exporter::Action::graph:
        case exporter::Action::csv:
            break;
    }
    const std::optional<std::string> log_path =
        command->log ? command->log : exporter::default_log_path(std::getenv);
    if (!log_path) {
        return fail("no results log: none of PELIDOR_HOME, XDG_DATA_HOME and HOME is set");
    }
    return export_results(*command, *log_path);
}
