#include "textio/file_sync.h"

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace textio {

namespace {

SyncCall& current_call() {
    static SyncCall call = system_sync;
    return call;
}

}  // namespace

int sync_to_disk(int descriptor, SyncTarget target) {
    return current_call()(descriptor, target);
}

int system_sync(int descriptor, SyncTarget target) {
    for (;;) {
        const int result =
            target == SyncTarget::file_data ? ::fdatasync(descriptor) : ::fsync(descriptor);
        if (result == 0) return 0;
        if (errno != EINTR) return errno;
    }
}

ScopedSyncCall::ScopedSyncCall(SyncCall call)
    : replaced_(std::exchange(current_call(), std::move(call))) {}

ScopedSyncCall::~ScopedSyncCall() {
    current_call() = std::move(replaced_);
}

}  // namespace textio
