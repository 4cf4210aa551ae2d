#pragma once

#include "FileDescriptor.h"
#include "FileStore.h"

#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace parlowen {

// The user's private state folder, where the redo journals live. It is used only when it is the user's
// own, writable by nobody else, and not reached through a symbolic link at its last step.
class StateFolder {
  public:
    // $XDG_STATE_HOME/parlowen, or ~/.local/state/parlowen when that variable is unset or not absolute.
    static std::string Path();
    // Opens the folder, made first when create is set (0700, its missing parents too); one that is not
    // private, or is a symbolic link, is refused (FileStatus::Kind::NotPrivate).
    static FileStatus Open(bool create, FileDescriptor& folder);
    // Journals are named after the log's device and inode, so that any log name fits.
    static std::string JournalName(std::uint64_t device, std::uint64_t inode);
    // The name a journal is written under until it is sealed; it ends in this process's number.
    static std::string TemporaryName(std::uint64_t device, std::uint64_t inode);
    // The names of the sealed journals in the open folder, sorted. Journals that a process that has ended
    // was still writing will never be finished: they are removed on the way.
    static std::vector<std::string> JournalNames(int folder);
    // Opens name in the open folder for reading, only when it is a regular file of the user's own, and
    // never in a way that could wait (a named pipe); an invalid descriptor otherwise. info is its status.
    static FileDescriptor OpenPrivateFile(int folder, const std::string& name, struct stat& info);
};

} // namespace parlowen
