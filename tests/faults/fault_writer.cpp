// Writes the program's files in an endless loop, the way the program writes them, so that a
// test can kill it at any moment and then look at what is on the disk.
//
//   fault_writer append FOLDER [READY_FD]  appends the records of fault_writer.h to the log
//   fault_writer save FOLDER [READY_FD]    saves the two parameter sets of fault_writer.h in turn
//
// With READY_FD it writes one byte to that descriptor just before its first write, so the
// test can time its kill from the start of the writing rather than from the start of the
// process. It runs until it is killed; a failed write ends it with status 2.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fault_writer.h"
#include "params/parameter_file.h"
#include "results/results_log.h"
#include "textio/line_file.h"

int main(int argc, char** argv) {
    if ((argc != 3 && argc != 4) || ::chdir(argv[2]) != 0) {
        std::fprintf(stderr, "usage: fault_writer append|save FOLDER [READY_FD]\n");
        return 1;
    }
    if (argc == 4) {
        const int ready = std::atoi(argv[3]);
        const char byte = 1;
        if (::write(ready, &byte, 1) != 1) return 1;
        ::close(ready);
    }
    const std::string_view mode = argv[1];
    if (mode == "append") {
        const std::vector<std::string> records = faults::record_lines();
        const std::string header = results::log_header();
        for (size_t i = 0;; ++i) {
            const std::string& record = records[i % records.size()];
            if (!textio::append_record(results::k_log_file, record, header)) return 2;
        }
    }
    if (mode == "save") {
        const state::Parameters sets[] = {faults::old_parameters(), faults::new_parameters()};
        for (size_t i = 0;; ++i) {
            if (!params::write_parameter_file(sets[i % 2])) return 2;
        }
    }
    std::fprintf(stderr, "unknown mode %s\n", argv[1]);
    return 1;
}
