#pragma once

#include "FileDescriptor.h"
#include "FileStore.h"
#include "LogEncoding.h"
#include "LogLoader.h"
#include "MappedFile.h"
#include "WindowOperations.h"

#include <cstdint>
#include <functional>
#include <string>

namespace parlowen {

using ConvertProgress = std::function<void(std::int32_t, std::int64_t)>;

// Hands the log's byte-order mark, then its kept lines in reverse file order, each followed by CR LF in the
// log's encoding, to write in pieces of about a megabyte: the lines are moved, never re-encoded, so every
// byte of the log survives the rewrite as it was, invalid ones included. progress gets the count of lines
// read so far (dropped lines included) and the total from the load.
FileStatus ReverseKeptLines(MappedFile& log, const LoadAnswers& answers, std::int64_t total,
                            const ConvertProgress& progress,
                            const std::function<FileStatus(std::string_view)>& write,
                            const LogEncoding& encoding = {});

struct ConvertResult {
    FileStatus status;
    std::string bytes; // the converted text, without the extra CR LF of the rewritten file
};

// Reads the log again and reverses its kept lines into memory; a refused encoding is a failed read.
ConvertResult ConvertLog(const std::string& path, const LoadAnswers& answers, std::int64_t total,
                         const ConvertProgress& progress, EncodingChoice choice = EncodingChoice::Auto);

// Opens the log for its rewrite in place, with the system's own permission check. A file that is not a
// regular file, or one whose permission bits let nobody write it, is refused (also for root).
FileStatus OpenForRewrite(const std::string& path, FileDescriptor& log);

struct RewriteResult {
    enum class Stage {
        Read,       // the log could not be read, or its encoding was refused: nothing was written
        Journal,    // the journal could not be written in the state folder: the log is as it was
        Log,        // the log could not be written, or had changed: it is as it was
        Unfinished, // the overwrite stopped part-way: the journal stays and finishes it later
    };
    FileStatus status;
    Stage stage = Stage::Read;
    LogEncoding encoding = {}; // the log's, as the rewrite decided it
};

// The rewritten log: the converted lines and one more CR LF, written first to a journal and then over the
// log itself (the file opened by OpenForRewrite), only if the log is still the file that was read, with the
// size and modification time it had.
RewriteResult RewriteLog(const std::string& path, const FileDescriptor& log, const LoadAnswers& answers,
                         std::int64_t total, const ConvertProgress& progress,
                         EncodingChoice choice = EncodingChoice::Auto);

// OpenForRewrite, the state folder and RewriteLog in one, for work without a window.
RewriteResult RewriteLog(const std::string& path, const LoadAnswers& answers, std::int64_t total,
                         const ConvertProgress& progress, EncodingChoice choice = EncodingChoice::Auto);

// The check view's text after a rewrite: the log as it is now, read in the encoding the rewrite decided,
// without the mark and the extra CR LF that ends the file; empty when the file at the path is no longer the
// one rewritten.
std::u16string ConvertedText(const std::string& path, const FileDescriptor& log,
                             const LogEncoding& encoding = {});
// The same where it lies in the log, for a Shift-JIS or UTF-8 log: the file opened again for reading, without
// the mark and the extra line break; an empty range when the file at the path is no longer the one rewritten.
CheckFile ConvertedFile(const std::string& path, const FileDescriptor& log, const LogEncoding& encoding);

} // namespace parlowen
