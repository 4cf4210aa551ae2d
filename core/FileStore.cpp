#include "FileStore.h"

#include "FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace parlowen {
namespace {

std::u16string Widen(const char* ascii) {
    std::u16string text;
    for (; *ascii != '\0'; ++ascii) {
        text += static_cast<char16_t>(static_cast<unsigned char>(*ascii));
    }
    return text;
}

} // namespace

std::u16string DescribeFailure(const FileStatus& status) {
    switch (status.kind) {
    case FileStatus::Kind::Ok:
        return u"";
    case FileStatus::Kind::ReadOnly:
        return u"読み取り専用のファイルです。";
    case FileStatus::Kind::NotAFile:
        return u"通常のファイルではありません。";
    case FileStatus::Kind::Linked:
        return u"別の名前（ハードリンク）を持つファイルです。";
    case FileStatus::Kind::Unencodable:
        return u"Shift-JISで表せない文字が含まれています。";
    case FileStatus::Kind::Changed:
        return u"変換中に他のプログラムがファイルを変更したため、何も書き込みませんでした。";
    case FileStatus::Kind::NotPrivate:
        return u"自分専用のフォルダーではありません（所有者が違う、他のユーザーも書き込める、"
               u"またはシンボリックリンクです）。";
    case FileStatus::Kind::Utf32:
        return u"UTF-32のファイルは読み書きできません。";
    case FileStatus::Kind::OddUtf16:
        return u"UTF-16のファイルのバイト数が奇数で、途中で切れているおそれがあります。";
    case FileStatus::Kind::MarkMismatch:
        return u"ファイルの先頭のバイト順マークが指定の文字コードと合いません。";
    case FileStatus::Kind::KeywordUnfit:
        return u"キーワードにShift-JISで表せない文字があり、Shift-JISのログには使えません。";
    case FileStatus::Kind::System:
        break;
    }
    switch (status.errorNumber) {
    case ENOENT:
        return u"ファイルが見つかりません。";
    case EACCES:
    case EPERM:
        return u"アクセスが許可されていません。";
    case EISDIR:
        return u"フォルダーです。";
    case ENOSPC:
    case EDQUOT:
        return u"ディスクの空き容量が足りません。";
    case EFBIG:
        return u"ファイルが大きすぎます。";
    case EROFS:
        return u"読み取り専用のファイルシステムです。";
    case EIO:
        return u"入出力エラーが発生しました。";
    case ENOMEM:
        return u"メモリが足りません。";
    case ENAMETOOLONG:
        return u"ファイル名が長すぎます。";
    default:
        return u"システムエラー（" + Widen(std::strerror(status.errorNumber)) + u"）";
    }
}

FileStatus FileStore::WriteAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return FileStatus::FromErrno(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

FileStatus FileStore::WriteAllAt(int descriptor, std::string_view bytes, std::uint64_t offset) {
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(descriptor, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return FileStatus::FromErrno(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += static_cast<std::uint64_t>(written);
    }
    return {};
}

FileStatus FileStore::ReadAllAt(int descriptor, char* bytes, std::size_t size, std::uint64_t offset) {
    while (size > 0) {
        const ssize_t read = ::pread(descriptor, bytes, size, static_cast<off_t>(offset));
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read <= 0) {
            return FileStatus::FromErrno(read < 0 ? errno : EIO);
        }
        bytes += read;
        size -= static_cast<std::size_t>(read);
        offset += static_cast<std::uint64_t>(read);
    }
    return {};
}

std::string FileStore::FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

FileStatus FileStore::SyncFolder(const std::string& folder) {
    FileDescriptor descriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!descriptor.Valid() || ::fsync(descriptor.Get()) != 0) {
        return FileStatus::FromErrno(errno);
    }
    return {};
}

FileStatus FileStore::WriteBuffered(int descriptor, std::string& buffer, std::string_view bytes) {
    constexpr std::size_t bufferSize = 1 << 20;
    // A large piece is written where it lies rather than copied into the buffer first.
    constexpr std::size_t direct = bufferSize / 8;
    if (buffer.size() + bytes.size() > bufferSize || bytes.size() >= direct) {
        FileStatus status = WriteAll(descriptor, buffer);
        buffer.clear();
        if (!status.Ok() || bytes.size() >= direct) {
            return status.Ok() ? WriteAll(descriptor, bytes) : status;
        }
    }
    if (buffer.capacity() < bufferSize) {
        buffer.reserve(bufferSize);
    }
    buffer += bytes;
    return {};
}

namespace {

std::vector<std::string> ListNames(DIR* opened) {
    std::vector<std::string> names;
    struct CloseFolder {
        void operator()(DIR* listing) const { ::closedir(listing); }
    };
    std::unique_ptr<DIR, CloseFolder> listing(opened);
    while (listing) {
        const dirent* entry = ::readdir(listing.get());
        if (entry == nullptr) {
            break;
        }
        names.emplace_back(entry->d_name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

std::vector<std::string> FileStore::FolderNames(const std::string& folder) {
    return ListNames(::opendir(folder.c_str()));
}

std::vector<std::string> FileStore::FolderNames(int folder) {
    // A descriptor of its own, which closedir closes: the caller's stays where it was.
    const int own = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* listing = own < 0 ? nullptr : ::fdopendir(own);
    if (listing == nullptr && own >= 0) {
        ::close(own);
    }
    return ListNames(listing);
}

bool FileStore::ProcessEnded(unsigned long process) {
    return ::kill(static_cast<pid_t>(process), 0) != 0 && errno == ESRCH;
}

} // namespace parlowen
