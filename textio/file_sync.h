#pragma once

#include <functional>

// The one place where this layer makes what it wrote durable. Every sync of a file or a folder
// goes through sync_to_disk, so that a test can make a sync fail, or see when it happens, by
// putting its own call in place of the system's.
namespace textio {

enum class SyncTarget {
    file_data,   // the bytes of a file and what is needed to read them back (fdatasync)
    whole_file,  // a new file, with everything the system keeps about it (fsync)
    folder,      // the names in a folder: a rename or a link made in it (fsync of the folder)
};

// Returns 0 on success, else the errno of the failure.
using SyncCall = std::function<int(int descriptor, SyncTarget target)>;

int sync_to_disk(int descriptor, SyncTarget target);

// The system's own syncs, which sync_to_disk makes unless a test replaced them.
int system_sync(int descriptor, SyncTarget target);

// Puts `call` in the place of the system's syncs while it lives, for the whole process; the
// call it replaced comes back at the end of its scope. For tests, set before and removed after
// the writes they watch, not while other threads write.
class ScopedSyncCall {
  public:
    explicit ScopedSyncCall(SyncCall call);
    ~ScopedSyncCall();
    ScopedSyncCall(const ScopedSyncCall&) = delete;
    ScopedSyncCall& operator=(const ScopedSyncCall&) = delete;

  private:
    SyncCall replaced_;
};

}  // namespace textio
