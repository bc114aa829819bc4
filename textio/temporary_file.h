#pragma once

#include <string>

// The temporary files in which a file's new contents are made before they take its name, and
// the sweep that removes those left behind by writers that died.
//
// A temporary is named <name>.tmp<process>.<n>, beside the file it is made for. Its writer
// holds an exclusive flock on it for as long as the temporary exists, so anyone can tell a
// temporary that is still being written from a leftover without trusting the process number
// in its name: that number may have been given to another process since, or belong to a
// program on another machine sharing the folder.
namespace textio {

class TemporaryFile {
  public:
    // Creates a new, empty file beside `name` that no one else uses, open for writing and
    // locked. See created() for the outcome.
    explicit TemporaryFile(const std::string& name);
    // Removes the file, unless it was moved to its final name, and then gives up the lock, so
    // no sweep can see it unlocked while it still has its name.
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool created() const { return create_error_ == 0; }
    // The errno of the failed creation; 0 when created.
    int create_error() const { return create_error_; }
    const std::string& name() const { return name_; }

    // The descriptor to write through; -1 once closed.
    int descriptor() const { return descriptor_; }
    // Closes the descriptor to write through, keeping the lock. Returns the errno of a failed
    // close, 0 on success.
    int close_descriptor();
    // The file was renamed to its final name: there is nothing left to remove.
    void moved() { moved_ = true; }

  private:
    std::string name_;
    int descriptor_ = -1;
    int lock_descriptor_ = -1;  // a second descriptor of the file, holding its lock to the end
    int create_error_ = 0;
    bool moved_ = false;
};

// Temporaries younger than this are left alone whether locked or not: their writer may have
// created the file and not yet locked it.
constexpr int k_stale_temporary_seconds = 60;

// Removes the temporaries beside `name` that no writer holds: named as TemporaryFile names
// them, regular files, at least k_stale_temporary_seconds old, and with no lock on them.
// Anything that does not fit, or that cannot be checked, stays. A failure only leaves a
// leftover for the next sweep, so nothing is reported.
void remove_stale_temporaries(const std::string& name);

}  // namespace textio
