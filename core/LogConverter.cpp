#include "LogConverter.h"

#include "Cp932Codec.h"
#include "LineReader.h"
#include "LogJournal.h"
#include "Prefault.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <sys/stat.h>

namespace parlowen {
namespace {

constexpr std::size_t PieceSize = 1 << 20;
// How much of the log a pass from its end reads before handing those pages back.
constexpr std::size_t ReleaseStep = 16 << 20;

bool SameFile(const struct stat& one, const struct stat& other) {
    return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

// Just before the overwrite: the file at the path is still the log that was read, and neither its size nor
// its modification time has moved, so no line another program wrote since can be lost.
bool StillTheLogThatWasRead(const std::string& path, const FileDescriptor& log, const struct stat& read) {
    struct stat atPath {};
    struct stat now {};
    return ::stat(path.c_str(), &atPath) == 0 && ::fstat(log.Get(), &now) == 0 && SameFile(atPath, read) &&
           SameFile(now, read) && now.st_size == read.st_size && now.st_mtim.tv_sec == read.st_mtim.tv_sec &&
           now.st_mtim.tv_nsec == read.st_mtim.tv_nsec;
}

} // namespace

std::u16string ConvertedText(const std::string& path, const FileDescriptor& log) {
    MappedFile written;
    struct stat now {};
    if (!MappedFile::Open(path, written).Ok() || ::fstat(log.Get(), &now) != 0 ||
        !SameFile(written.Status(), now)) {
        return {};
    }
    std::string_view bytes = written.Bytes();
    if (bytes.ends_with("\r\n")) {
        bytes.remove_suffix(2);
    }
    RequireMemory(bytes.size() * sizeof(char16_t));
    return Cp932Codec::Decode(bytes);
}

FileStatus ReverseKeptLines(MappedFile& log, const LoadAnswers& answers, double total,
                            const ConvertProgress& progress,
                            const std::function<FileStatus(std::string_view)>& write) {
    const std::string_view bytes = log.Bytes();
    // Reading the lines from the last one writes the new order front to back in one pass.
    std::string piece;
    piece.reserve(PieceSize);
    std::size_t released = bytes.size();
    std::int32_t count = 0;
    ReverseByteLineReader reader(bytes);
    std::string_view line;
    while (reader.Previous(line)) {
        const std::string_view cleaned = CleanLine(line, answers.EmptiesSeparators());
        if (!answers.DropsBlankLines() || !cleaned.empty()) {
            if (piece.size() + cleaned.size() + 2 > PieceSize && !piece.empty()) {
                if (FileStatus status = write(piece); !status.Ok()) {
                    return status;
                }
                piece.clear();
            }
            if (cleaned.size() + 2 > PieceSize) {
                FileStatus status = write(cleaned);
                if (status.Ok()) {
                    status = write("\r\n");
                }
                if (!status.Ok()) {
                    return status;
                }
            } else {
                piece += cleaned;
                piece += "\r\n";
            }
        }
        const auto start = static_cast<std::size_t>(line.data() - bytes.data());
        if (released - start >= ReleaseStep) {
            log.ReleaseFrom(start);
            released = start;
        }
        ++count;
        if (progress) {
            progress(count, total);
        }
    }
    return piece.empty() ? FileStatus{} : write(piece);
}

ConvertResult ConvertLog(const std::string& path, const LoadAnswers& answers, double total,
                         const ConvertProgress& progress) {
    ConvertResult result;
    MappedFile log;
    result.status = MappedFile::Open(path, log);
    if (result.status.Ok()) {
        result.status = ReverseKeptLines(log, answers, total, progress, [&result](std::string_view piece) {
            result.bytes += piece;
            return FileStatus{};
        });
    }
    return result;
}

FileStatus OpenForRewrite(const std::string& path, FileDescriptor& log) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return FileStatus::FromErrno(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return {FileStatus::Kind::NotAFile, 0};
    }
    // Root may write anything, so the permission bits themselves decide whether the user meant it to stay.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return {FileStatus::Kind::ReadOnly, 0};
    }
    // Never emptied by opening: the log changes only once its journal is valid. Read too, to move the lines
    // another program appends during the overwrite.
    FileDescriptor opened(::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    if (!opened.Valid() || ::fstat(opened.Get(), &info) != 0) {
        return FileStatus::FromErrno(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return {FileStatus::Kind::NotAFile, 0};
    }
    log = std::move(opened);
    return {};
}

RewriteResult RewriteLog(const std::string& path, const FileDescriptor& log, const LoadAnswers& answers,
                         double total, const ConvertProgress& progress) {
    using Stage = RewriteResult::Stage;
    MappedFile read;
    if (FileStatus status = MappedFile::Open(path, read); !status.Ok()) {
        return {status, Stage::Read};
    }
    struct stat opened {};
    if (::fstat(log.Get(), &opened) != 0 || !SameFile(opened, read.Status())) {
        return {{FileStatus::Kind::Changed, 0}, Stage::Log};
    }
    LogJournal journal;
    FileStatus status = LogJournal::Begin(path, read.Status(), journal);
    if (status.Ok()) {
        status = ReverseKeptLines(read, answers, total, progress,
                                  [&journal](std::string_view piece) { return journal.Append(piece); });
    }
    if (status.Ok()) {
        status = journal.Append("\r\n");
    }
    if (status.Ok()) {
        status = journal.Seal();
    }
    if (!status.Ok()) {
        return {status, Stage::Journal};
    }
    if (!StillTheLogThatWasRead(path, log, read.Status())) {
        journal.Remove();
        return {{FileStatus::Kind::Changed, 0}, Stage::Log};
    }
    const struct stat before = read.Status();
    read = MappedFile();
    bool started = false;
    if (status = journal.Apply(log.Get(), started); !status.Ok()) {
        if (started) {
            return {status, Stage::Unfinished};
        }
        journal.Remove();
        return {status, Stage::Log};
    }
    // Writing makes the system clear the set-user-ID and set-group-ID bits of a file written by anyone but
    // root; the log's owner may set them again, anyone else keeps what the system left.
    struct stat written {};
    if (::fstat(log.Get(), &written) == 0 && (written.st_mode & 07777) != (before.st_mode & 07777)) {
        ::fchmod(log.Get(), before.st_mode & 07777);
    }
    // Left behind, the journal would only be found already written and removed by the next recovery.
    journal.Remove();
    return {};
}

RewriteResult RewriteLog(const std::string& path, const LoadAnswers& answers, double total,
                         const ConvertProgress& progress) {
    FileDescriptor log;
    if (FileStatus status = OpenForRewrite(path, log); !status.Ok()) {
        return {status, RewriteResult::Stage::Log};
    }
    if (FileStatus status = LogJournal::PrepareFolder(); !status.Ok()) {
        return {status, RewriteResult::Stage::Journal};
    }
    return RewriteLog(path, log, answers, total, progress);
}

} // namespace parlowen
