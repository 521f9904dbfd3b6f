// The system calls of file_io on Linux and other POSIX systems.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "core/io/file_io.h"
#include "core/io/file_io_detail.h"

namespace core {

using namespace file_io_detail;

namespace {

// Read once, before any worker thread runs: reading the mask means setting it,
// and two threads doing that at once could each see the other's zero.
mode_t ReadUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}
const mode_t kProcessUmask = ReadUmask();

// Drops O_NONBLOCK again once the descriptor is known to be a regular file.
void MakeBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

}  // namespace

bool IsFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(std::filesystem::path(path), ec);
}

bool ListFolder(const std::string& folder, std::vector<FolderItem>& items, std::string& problem) {
    namespace fs = std::filesystem;
    items.clear();
    problem.clear();
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        FolderItem item;
        item.name = it->path().filename().string();
        std::error_code typeEc;
        item.regularFile = it->is_regular_file(typeEc);
        item.folder = it->is_directory(typeEc) && !it->is_symlink(typeEc);
        if (item.regularFile) {
            const auto size = it->file_size(typeEc);
            if (!typeEc) item.size = size;
        }
        items.push_back(std::move(item));
    }
    if (ec) {
        items.clear();
        problem = ec.message();
        return false;
    }
    return true;
}

std::string CanonicalPath(const std::string& path, std::string& problem) {
    std::error_code ec;
    const std::filesystem::path canonical = std::filesystem::canonical(path, ec);
    problem = ec ? ec.message() : std::string();
    return ec ? std::string() : canonical.string();
}

FileKind ExamineFile(const std::string& path) {
    struct stat st {};
    if (path.empty()) return FileKind::Missing;
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? FileKind::Missing : FileKind::Unreachable;
    return S_ISREG(st.st_mode) ? FileKind::Regular : FileKind::NotRegular;
}

std::string ReadRefusal(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        if (path.empty() || errno == ENOENT || errno == ENOTDIR)
            return "File not found : " + Quoted(path);
        return Quoted(path) + " cannot be opened: " + std::strerror(errno);
    }
    if (!S_ISREG(st.st_mode)) return Quoted(path) + " is not a regular file";
    // A file the user may not read is there all the same: say why it is not read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return Quoted(path) + " cannot be opened: " + std::strerror(errno);
    ::close(fd);
    return std::string();
}

int OpenRegularForReading(const std::string& path) {
    // The type is checked before the open, so that a FIFO or device is never
    // opened at all, and again on the descriptor, in case the name was given
    // to something else in between; O_NONBLOCK keeps even that open from
    // waiting for a FIFO's writer.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    MakeBlocking(fd);
    return fd;
}

ReadResult file_io_detail::ReadFileBytes(const std::string& path, ByteBuffer& out,
                                         uint64_t maxBytes, bool refuseLarger) {
    out.clear();
    const int fd = OpenRegularForReading(path);
    if (fd < 0) return ReadResult::CannotOpen;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return ReadResult::CannotOpen;
    }
    uint64_t size = static_cast<uint64_t>(st.st_size);
    if (!file_io_detail::BytesToRead(size, maxBytes, refuseLarger)) {
        ::close(fd);
        return ReadResult::TooLarge;
    }
    out.resize(static_cast<size_t>(size));
    size_t done = 0;
    while (done < out.size()) {
        ssize_t n = ::read(fd, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            out.clear();
            return ReadResult::ReadError;
        }
        if (n == 0) break;  // the file shrank while we read it: keep what arrived
        done += static_cast<size_t>(n);
    }
    out.resize(done);
    ::close(fd);
    return ReadResult::Ok;
}

// ---- Writing -----------------------------------------------------------------

namespace {

// An error of fsync that means the data may not be on the disk; file systems
// that cannot flush at all say EINVAL, which loses nothing a flush would keep.
bool FlushFile(int fd, const std::string& path) {
    if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP) return false;
    NoteFlush(path);
    return true;
}

void FlushFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
    NoteFlush(folder);
}

// Temporaries of a program that was killed before it could remove them. One
// younger than an hour may belong to a program still writing, so it stays.
void RemoveStaleTemporaries(const std::string& folder) {
    const time_t now = std::time(nullptr);
    if (!FolderDueForSweep(folder, now)) return;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTemporaryName(entry->d_name)) continue;
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISREG(st.st_mode) && now - st.st_mtime > kStaleTempSeconds)
            ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(dir);
}

// A name beside `target` that nothing else uses: created empty and exclusive by
// mkstemp, so it can be handed to link or rename afterwards.
int MakeTempBeside(const std::string& target, std::string& temp) {
    std::string pattern = TempNameBeside(target, std::string(kTempSuffixLength, 'X'));
    const int fd = ::mkstemp(pattern.data());
    if (fd >= 0) temp = pattern;
    return fd;
}

bool ProcFdUsable() {
    static const bool usable = ::access("/proc/self/fd", X_OK) == 0;
    return usable;
}

// Why `target` may not be replaced, or empty. The read-only mark is the
// owner's write permission; root could write anyway, but the mark is the
// user's word that the file stays as it is.
std::string TargetRefusal(const std::string& target, const struct stat& st) {
    if (!S_ISREG(st.st_mode)) return Quoted(target) + " is not a regular file";
    if ((st.st_mode & S_IWUSR) == 0) return Quoted(target) + " is read-only";
    return std::string();
}

}  // namespace

bool AtomicFileWriter::TargetRefuses() {
    struct stat st {};
    // A link is replaced, not written through: what it leads to is not asked.
    if (::lstat(target_.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) return false;
    refusal_ = TargetRefusal(target_, st);
    return !refusal_.empty();
}

bool AtomicFileWriter::Open(const std::string& target) {
    Abandon();
    target_ = target;
    failed_ = false;
    unnamed_ = false;
    refusal_.clear();
    if (TargetRefuses()) {
        failed_ = true;
        return false;
    }
    struct stat st {};
    // A replaced file keeps its mode; a file replacing a link gets a new one's.
    const bool replacing = ::lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    const std::string folder = FolderOf(target);
    RemoveStaleTemporaries(folder);
#ifdef O_TMPFILE
    // An unnamed file in the target's folder: nothing is left behind if the
    // program dies before Commit(), and the file system allocates it without
    // locking the folder, which keeps parallel writers into one folder apart.
    if (ProcFdUsable()) {
        fd_ = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd_ >= 0) unnamed_ = true;
    }
#endif
    if (fd_ < 0) {
        fd_ = MakeTempBeside(target, temp_);
        if (fd_ < 0) {
            failed_ = true;
            return false;
        }
        // mkstemp makes the file private; give it the permissions a new file would get.
        if (!replacing) ::fchmod(fd_, 0666 & ~kProcessUmask);
    }
    if (replacing) ::fchmod(fd_, st.st_mode & 07777);  // keep the old file's mode
    return true;
}

bool AtomicFileWriter::Write(const void* data, size_t size) {
    if (fd_ < 0 || failed_) return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd_, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed_ = true;
            return false;
        }
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool AtomicFileWriter::LinkUnnamed() {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    // A new file gets its name directly; an existing one is replaced by a
    // rename from a second name, as rename is what replaces atomically.
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    if (errno != EEXIST) return false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = TempNameBeside(target_, RandomSuffix());
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST) continue;  // taken in the meantime: another name
            return false;
        }
        if (std::rename(temp.c_str(), target_.c_str()) == 0) return true;
        ::unlink(temp.c_str());
        return false;
    }
    return false;
}

bool AtomicFileWriter::Commit() {
    if (fd_ < 0) return false;
    const bool durable = DurableWritesActive();
    // The mark may have been set while the file was being written.
    bool ok = !failed_ && !TargetRefuses();
    if (ok && durable) ok = FlushFile(fd_, target_);
    if (ok && unnamed_) ok = LinkUnnamed();
    if (::close(fd_) != 0) ok = false;
    fd_ = -1;
    if (!unnamed_) {
        if (ok && std::rename(temp_.c_str(), target_.c_str()) != 0) ok = false;
        if (!ok) ::unlink(temp_.c_str());
    }
    temp_.clear();
    if (ok && durable) FlushFolder(FolderOf(target_));
    return ok;
}

void AtomicFileWriter::Abandon() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

// ---- Appending ---------------------------------------------------------------

bool AppendFile::Open(const std::string& path, std::string& refusal) {
    Close();
    refusal.clear();
    // The checks are made on what was opened, and a link is never followed:
    // a log linked elsewhere would carry its lines into another file.
    const int fd = ::open(
        path.c_str(),
        O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW, 0666);
    if (fd < 0) {
        struct stat st {};
        if (errno == ELOOP) {
            refusal = Quoted(path) + " is a symbolic link";
        } else if (::lstat(path.c_str(), &st) == 0) {
            refusal = TargetRefusal(path, st);  // a FIFO, the read-only mark, said as such
        }
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !(refusal = TargetRefusal(path, st)).empty()) {
        if (refusal.empty()) refusal = Quoted(path) + " is not a regular file";
        ::close(fd);
        return false;
    }
    MakeBlocking(fd);
    fd_ = fd;
    failed_ = false;
    return true;
}

bool AppendFile::Append(std::string_view text) {
    if (!Good()) return false;
    while (!text.empty()) {
        const ssize_t n = ::write(fd_, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed_ = true;
            return false;
        }
        text.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

void AppendFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    failed_ = false;
}

}  // namespace core
