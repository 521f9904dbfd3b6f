#include "core/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace core {

namespace {

// Read once, before any worker thread runs: reading the mask means setting it,
// and two threads doing that at once could each see the other's zero.
mode_t ReadUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}
const mode_t kProcessUmask = ReadUmask();

}  // namespace

bool IsFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(std::filesystem::path(path), ec);
}

static ReadResult ReadFile(const std::string& path, ByteBuffer& out, uint64_t maxBytes,
                           bool refuseLarger) {
    out.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return ReadResult::CannotOpen;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ReadResult::CannotOpen;
    }
    uint64_t size = static_cast<uint64_t>(st.st_size);
    if (size > maxBytes) {
        if (refuseLarger) {
            ::close(fd);
            return ReadResult::TooLarge;
        }
        size = maxBytes;
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

ReadResult ReadWholeFile(const std::string& path, ByteBuffer& out, uint64_t maxBytes) {
    return ReadFile(path, out, maxBytes, true);
}

ReadResult ReadFilePrefix(const std::string& path, ByteBuffer& out, uint64_t maxBytes) {
    return ReadFile(path, out, maxBytes, false);
}

AtomicFileWriter::~AtomicFileWriter() {
    Abandon();
}

namespace {

// A name beside `target` that nothing else uses: created empty and exclusive by
// mkstemp, so it can be handed to link or rename afterwards.
int MakeTempBeside(const std::string& target, std::string& temp) {
    std::string pattern = target + ".skeinpress-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd >= 0) temp = pattern;
    return fd;
}

std::string RandomSuffix() {
    thread_local std::mt19937_64 generator{std::random_device{}()};
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string suffix(8, 'x');
    uint64_t bits = generator();
    for (char& c : suffix) {
        c = kLetters[bits % (sizeof kLetters - 1)];
        bits /= sizeof kLetters - 1;
    }
    return suffix;
}

bool ProcFdUsable() {
    static const bool usable = ::access("/proc/self/fd", X_OK) == 0;
    return usable;
}

}  // namespace

bool AtomicFileWriter::Open(const std::string& target) {
    Abandon();
    target_ = target;
    failed_ = false;
    unnamed_ = false;
    struct stat st {};
    const bool replacing = ::stat(target.c_str(), &st) == 0;
#ifdef O_TMPFILE
    // An unnamed file in the target's folder: nothing is left behind if the
    // program dies before Commit(), and the file system allocates it without
    // locking the folder, which keeps parallel writers into one folder apart.
    if (ProcFdUsable()) {
        const std::filesystem::path folder = std::filesystem::path(target).parent_path();
        fd_ = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
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
        const std::string temp = target_ + ".skeinpress-" + RandomSuffix();
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
    bool ok = !failed_;
    if (ok && unnamed_) ok = LinkUnnamed();
    if (::close(fd_) != 0) ok = false;
    fd_ = -1;
    if (!unnamed_) {
        if (ok && std::rename(temp_.c_str(), target_.c_str()) != 0) ok = false;
        if (!ok) ::unlink(temp_.c_str());
    }
    temp_.clear();
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

bool WriteFileAtomically(const std::string& target, const void* data, size_t size) {
    AtomicFileWriter writer;
    return writer.Open(target) && writer.Write(data, size) && writer.Commit();
}

}  // namespace core
