#include "LogConverter.h"

#include "Cp932Codec.h"
#include "LineReader.h"
#include "LogJournal.h"
#include "Prefault.h"
#include "UnicodeCodec.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

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

std::u16string ConvertedText(const std::string& path, const FileDescriptor& log,
                             const LogEncoding& encoding) {
    MappedFile written;
    struct stat now {};
    if (!MappedFile::Open(path, written).Ok() || ::fstat(log.Get(), &now) != 0 ||
        !SameFile(written.Status(), now)) {
        return {};
    }
    std::string_view bytes = encoding.Text(written.Bytes());
    if (bytes.ends_with(encoding.LineBreak())) {
        bytes.remove_suffix(encoding.LineBreak().size());
    }
    RequireMemory(bytes.size() * sizeof(char16_t));
    switch (encoding.kind) {
    case LogEncoding::Kind::ShiftJis:
        break;
    case LogEncoding::Kind::Utf8:
        return UnicodeCodec::DecodeUtf8(bytes);
    case LogEncoding::Kind::Utf16Le:
    case LogEncoding::Kind::Utf16Be: {
        std::u16string text = UnicodeCodec::Utf16Units(bytes, encoding.BigEndian());
        UnicodeCodec::RepairUtf16(text.data(), text.data() + text.size());
        return text;
    }
    }
    return Cp932Codec::Decode(bytes);
}

CheckFile ConvertedFile(const std::string& path, const FileDescriptor& log, const LogEncoding& encoding) {
    CheckFile converted;
    converted.utf8 = !encoding.IsShiftJis();
    FileDescriptor reader(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat now {};
    struct stat read {};
    if (!reader.Valid() || ::fstat(log.Get(), &now) != 0 || ::fstat(reader.Get(), &read) != 0 ||
        !SameFile(read, now)) {
        return converted;
    }
    converted.begin = std::min<std::uint64_t>(encoding.markSize, static_cast<std::uint64_t>(now.st_size));
    converted.end = static_cast<std::uint64_t>(now.st_size);
    const std::string_view lineBreak = encoding.LineBreak();
    std::string last(lineBreak.size(), '\0');
    if (converted.end - converted.begin >= last.size() &&
        ::pread(reader.Get(), last.data(), last.size(), static_cast<off_t>(converted.end - last.size())) ==
            static_cast<ssize_t>(last.size()) &&
        last == lineBreak) {
        converted.end -= last.size();
    }
    converted.file = std::move(reader);
    return converted;
}

namespace {

using Write = std::function<FileStatus(std::string_view)>;

// Gathers the rewritten log in pieces of about PieceSize; a line longer than that goes on by itself.
class PieceWriter {
  public:
    explicit PieceWriter(const Write& write) : write_(write) { piece_.reserve(PieceSize); }

    FileStatus Line(std::string_view line, std::string_view lineBreak) {
        if (piece_.size() + line.size() + lineBreak.size() > PieceSize && !piece_.empty()) {
            if (FileStatus status = write_(piece_); !status.Ok()) {
                return status;
            }
            piece_.clear();
        }
        if (line.size() + lineBreak.size() > PieceSize) {
            FileStatus status = write_(line);
            return status.Ok() ? write_(lineBreak) : status;
        }
        piece_ += line;
        piece_ += lineBreak;
        return {};
    }
    FileStatus Finish() { return piece_.empty() ? FileStatus{} : write_(piece_); }

  private:
    const Write& write_;
    std::string piece_;
};

// The byte encodings, where CR and LF are never inside a longer character: the lines are cut from the bytes.
FileStatus ReverseByteLines(MappedFile& log, std::size_t from, const LoadAnswers& answers, std::int64_t total,
                            const ConvertProgress& progress, const Write& write) {
    const std::string_view bytes = log.Bytes().substr(from);
    // Reading the lines from the last one writes the new order front to back in one pass.
    PieceWriter pieces(write);
    std::size_t released = bytes.size();
    std::int32_t count = 0;
    ReverseByteLineReader reader(bytes);
    std::string_view line;
    while (reader.Previous(line)) {
        const std::string_view cleaned = CleanLine(line, answers.removeSeparatorLines);
        if (!answers.removeBlankLines || !cleaned.empty()) {
            if (FileStatus status = pieces.Line(cleaned, "\r\n"); !status.Ok()) {
                return status;
            }
        }
        const auto start = static_cast<std::size_t>(line.data() - bytes.data());
        if (released - start >= ReleaseStep) {
            log.ReleaseFrom(from + start);
            released = start;
        }
        ++count;
        if (progress) {
            progress(count, total);
        }
    }
    return pieces.Finish();
}

// UTF-16: the lines end at the code units CR and LF, and each line's units go back in the log's byte order,
// lone surrogates and all.
FileStatus ReverseUtf16Lines(std::string_view bytes, const LogEncoding& encoding, const LoadAnswers& answers,
                             std::int64_t total, const ConvertProgress& progress, const Write& write) {
    RequireMemory(bytes.size() * 2);
    const std::u16string units = UnicodeCodec::Utf16Units(bytes, encoding.BigEndian());
    std::vector<std::pair<std::u16string_view, bool>> lines;
    ForEachCleanLine(units, answers,
                     [&lines](std::u16string_view cleaned, bool kept) { lines.emplace_back(cleaned, kept); });
    PieceWriter pieces(write);
    std::string line;
    std::int32_t count = 0;
    for (auto entry = lines.rbegin(); entry != lines.rend(); ++entry) {
        if (entry->second) {
            line.clear();
            UnicodeCodec::Utf16BytesAppend(entry->first, encoding.BigEndian(), line);
            if (FileStatus status = pieces.Line(line, encoding.LineBreak()); !status.Ok()) {
                return status;
            }
        }
        ++count;
        if (progress) {
            progress(count, total);
        }
    }
    return pieces.Finish();
}

} // namespace

FileStatus ReverseKeptLines(MappedFile& log, const LoadAnswers& answers, std::int64_t total,
                            const ConvertProgress& progress, const Write& write,
                            const LogEncoding& encoding) {
    // The mark stays first: it names the encoding of the whole file, not a part of its first line.
    if (encoding.markSize != 0) {
        if (FileStatus status = write(encoding.Mark(log.Bytes())); !status.Ok()) {
            return status;
        }
    }
    if (encoding.IsUtf16()) {
        return ReverseUtf16Lines(encoding.Text(log.Bytes()), encoding, answers, total, progress, write);
    }
    return ReverseByteLines(log, encoding.markSize, answers, total, progress, write);
}

ConvertResult ConvertLog(const std::string& path, const LoadAnswers& answers, std::int64_t total,
                         const ConvertProgress& progress, EncodingChoice choice) {
    ConvertResult result;
    MappedFile log;
    result.status = MappedFile::Open(path, log);
    EncodingDecision decision;
    if (result.status.Ok()) {
        decision = DecideEncoding(log, choice);
        result.status = decision.status;
    }
    if (result.status.Ok()) {
        result.status = ReverseKeptLines(
            log, answers, total, progress,
            [&result](std::string_view piece) {
                result.bytes += piece;
                return FileStatus{};
            },
            decision.encoding);
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
                         std::int64_t total, const ConvertProgress& progress, EncodingChoice choice) {
    using Stage = RewriteResult::Stage;
    MappedFile read;
    if (FileStatus status = MappedFile::Open(path, read); !status.Ok()) {
        return {status, Stage::Read};
    }
    const EncodingDecision decision = DecideEncoding(read, choice);
    if (!decision.status.Ok()) {
        return {decision.status, Stage::Read};
    }
    struct stat opened {};
    if (::fstat(log.Get(), &opened) != 0 || !SameFile(opened, read.Status())) {
        return {{FileStatus::Kind::Changed, 0}, Stage::Log};
    }
    LogJournal journal;
    FileStatus status = LogJournal::Begin(path, read.Status(), journal);
    if (status.Ok()) {
        status = ReverseKeptLines(
            read, answers, total, progress,
            [&journal](std::string_view piece) { return journal.Append(piece); }, decision.encoding);
    }
    if (status.Ok()) {
        status = journal.Append(decision.encoding.LineBreak());
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
    return {{}, Stage::Read, decision.encoding};
}

RewriteResult RewriteLog(const std::string& path, const LoadAnswers& answers, std::int64_t total,
                         const ConvertProgress& progress, EncodingChoice choice) {
    FileDescriptor log;
    if (FileStatus status = OpenForRewrite(path, log); !status.Ok()) {
        return {status, RewriteResult::Stage::Log};
    }
    if (FileStatus status = LogJournal::PrepareFolder(); !status.Ok()) {
        return {status, RewriteResult::Stage::Journal};
    }
    return RewriteLog(path, log, answers, total, progress, choice);
}

} // namespace parlowen
