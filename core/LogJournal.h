#pragma once

#include "FileDescriptor.h"
#include "FileStore.h"
#include "JournalHeader.h"
#include "OwnedPath.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace parlowen {

// The redo journal of a log rewritten in place: the log's new bytes, kept in the user's state folder until
// they are all in the log. It is written under a temporary name and renamed once complete and on the disk,
// so a journal under its final name is always whole, and one that a killed run left is redone onto its log.
// It names the log by path, device, inode and birth time, with the size and modification time the log had,
// and is redone only onto that same file, unchanged or part-way through this rewrite.
class LogJournal {
  public:
    LogJournal();
    // Removes the file of a journal that was never sealed.
    ~LogJournal();
    LogJournal(LogJournal&& other) noexcept;
    LogJournal& operator=(LogJournal&& other) noexcept;

    // $XDG_STATE_HOME/parlowen, or ~/.local/state/parlowen when that variable is unset or not absolute.
    static std::string Folder();
    // The folder, made where it is missing (0700, its missing parents too); an existing folder that is not
    // the user's own and private, or is a symbolic link, is refused (FileStatus::Kind::NotPrivate).
    static FileStatus PrepareFolder();

    // Starts the journal of the log at logPath, which is the file described by log.
    static FileStatus Begin(const std::string& logPath, const struct stat& log, LogJournal& journal);
    FileStatus Append(std::string_view bytes);
    // Flushes the journal to the disk and makes it valid in one rename.
    FileStatus Seal();
    // Writes the new bytes over the log from its start, moves lines that another program appended meanwhile
    // to follow them, cuts the log after those and flushes it. Disk space is reserved first, so a full disk
    // fails before the log changes; started says whether it did change.
    FileStatus Apply(int logDescriptor, bool& started) const;
    // Removes the journal: the rewrite is then complete.
    FileStatus Remove();

    // What became of a journal that a killed run left.
    struct Recovery {
        enum class Outcome {
            Redone,
            Dropped, // the file at the path is not the log the journal was made for: it is left alone
            Failed,
            Refused, // the state folder is not private: logPath is the folder, and nothing was redone
        };
        Outcome outcome = Outcome::Redone;
        std::string logPath;
        FileStatus status;
    };
    // Redoes every valid journal in the state folder onto its log; incomplete ones are removed silently.
    static std::vector<Recovery> RecoverAll();
    // The same for the journal of the file now at logPath, if it has one. A state folder that is not
    // private is not looked at.
    static std::vector<Recovery> RecoverFor(const std::string& logPath);

  private:
    enum class Found { Valid, Invalid, OldFormat, Skipped };
    static Found OpenSealed(int folder, const std::string& name, LogJournal& journal);
    static Recovery Redo(LogJournal& journal);
    // Redoes, drops or skips the journal called name in folder, adding what became of it to recoveries.
    static void RecoverNamed(FileDescriptor& folder, const std::string& name,
                             std::vector<Recovery>& recoveries);
    FileStatus CopyToLog(int logDescriptor, std::uint64_t from, std::uint64_t to) const;
    bool LogStartsWithText(int logDescriptor, std::uint64_t length) const;

    FileDescriptor folder_; // the state folder, opened once and checked
    FileDescriptor file_;
    OwnedPath path_; // the journal's file in folder_, ours to remove until it is sealed
    JournalHeader header_;
    std::string buffer_;
    FileDescriptor log_; // the log as it was read, until the journal is sealed
};

} // namespace parlowen
