#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace parlowen {

struct FileStatus {
    enum class Kind {
        Ok,
        ReadOnly,     // the file's permission bits allow nobody to write it
        NotAFile,     // a folder, a device or a symbolic link where a regular file was expected
        Linked,       // a file with a second name, which replacing it would split
        Unencodable,  // the text holds a character that Shift-JIS cannot hold
        Changed,      // another program changed the log while it was being converted
        NotPrivate,   // a state folder that is not the user's own, others may write, or is a symbolic link
        Utf32,        // the log is UTF-32, which the program does not read
        OddUtf16,     // a UTF-16 log with an odd number of bytes: cut short or not UTF-16 at all
        MarkMismatch, // the byte-order mark names another encoding than the one asked for
        KeywordUnfit, // a keyword holds a character that the Shift-JIS log cannot hold
        System,       // the system refused; errorNumber says why
    };
    Kind kind = Kind::Ok;
    int errorNumber = 0;

    bool Ok() const { return kind == Kind::Ok; }
    static FileStatus FromErrno(int errorNumber) { return {Kind::System, errorNumber}; }
};

// The reason for a failure, in Japanese, as the notices show it.
std::u16string DescribeFailure(const FileStatus& status);

// The small file operations that every writer of the user's files shares.
class FileStore {
  public:
    static FileStatus WriteAll(int descriptor, std::string_view bytes);
    // Gathers small pieces in buffer and writes them a megabyte at a time; a large piece goes straight on.
    static FileStatus WriteBuffered(int descriptor, std::string& buffer, std::string_view bytes);
    // Writes at a position, in as many calls as the system needs.
    static FileStatus WriteAllAt(int descriptor, std::string_view bytes, std::uint64_t offset);
    // Reads exactly size bytes at a position; a file that ends first is an error (EIO).
    static FileStatus ReadAllAt(int descriptor, char* bytes, std::size_t size, std::uint64_t offset);
    static std::string FolderOf(const std::string& path);
    // Makes a rename or a removal in the folder survive a power cut.
    static FileStatus SyncFolder(const std::string& folder);
    // The names in a folder, sorted; none when it cannot be read.
    static std::vector<std::string> FolderNames(const std::string& folder);
    // The same for a folder already open; the descriptor stays open and is not moved.
    static std::vector<std::string> FolderNames(int folder);
    // Whether the process that wrote a temporary file has ended, so that the file will never be finished.
    static bool ProcessEnded(unsigned long process);
};

} // namespace parlowen
