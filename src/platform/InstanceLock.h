#pragma once
// A per-user lock that marks a running copy of a program, in place of a named mutex.
// The kernel frees it when the process ends, also after a crash.

#include <string>
#include <string_view>

struct InstanceLock {
    int handle = -1;             // the open lock file, held for the life of the process; -1: none
    bool alreadyExists = false;  // another process holds the lock under this name
};

// Takes an exclusive flock on $XDG_RUNTIME_DIR/<name>.lock, or /tmp/<name>-<uid>.lock
// when there is no runtime folder. A lock file that cannot be opened gives handle -1
// and alreadyExists false: the caller then runs without a guard.
InstanceLock CreateInstanceLock(std::string_view name);

// Where the copy that holds the lock listens for later starts: beside the lock, as
// <name>.socket (in /tmp: <name>-<uid>.socket).
std::string InstanceSocketPath(std::string_view name);
