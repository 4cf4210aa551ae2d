#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace parlowen {

struct FileStatus {
    enum class Kind {
        Ok,
        ReadOnly,    // the file's permission bits allow nobody to write it
        NotAFile,    // a folder or a device where a regular file was expected
        Unencodable, // the text holds a character that Shift-JIS cannot hold
        System,      // the system refused; errorNumber says why
    };
    Kind kind = Kind::Ok;
    int errorNumber = 0;

    bool Ok() const { return kind == Kind::Ok; }
    static FileStatus FromErrno(int errorNumber) { return {Kind::System, errorNumber}; }
};

// The reason for a failure, in Japanese, as the notices show it.
std::u16string DescribeFailure(const FileStatus& status);

// Crash-safe replacement of a user's files.
class FileStore {
  public:
    // Writes bytes to a temporary file beside the target, flushes it to the disk and renames it over the
    // target, so the old content stays whole until the new one is complete. A symbolic link is followed
    // and stays a link; the permission bits of an existing file are kept; an existing file that nobody
    // may write is refused. On failure the target is untouched and no temporary file remains. A temporary
    // file that a killed process left beside the target is removed by the next replacement of that target.
    static FileStatus Replace(const std::string& path, std::string_view bytes);
    // The same for content in pieces, written one after another without joining them first.
    static FileStatus Replace(const std::string& path, std::initializer_list<std::string_view> pieces);
    // The same for content made while it is written: produce gets the function that writes the next bytes
    // and returns what stops it. Nothing replaces the target unless produce succeeds.
    using Writer = std::function<FileStatus(std::string_view bytes)>;
    static FileStatus Replace(const std::string& path,
                              const std::function<FileStatus(const Writer&)>& produce);

    // What Replace would refuse before writing anything: a file that is not a regular file, or read-only.
    static FileStatus CheckReplaceable(const std::string& path);
};

} // namespace parlowen
