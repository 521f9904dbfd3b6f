#include "core/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace core {

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

AtomicFileWriter::~AtomicFileWriter() { Abandon(); }

bool AtomicFileWriter::Open(const std::string& target) {
    Abandon();
    target_ = target;
    failed_ = false;
    std::string pattern = target + ".skeinpress-XXXXXX";
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) {
        failed_ = true;
        return false;
    }
    temp_ = pattern;
    // mkstemp makes the file private; give it the permissions a new file would get.
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode_t mode = 0666 & ~mask;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) mode = st.st_mode & 07777;  // keep the old file's mode
    ::fchmod(fd_, mode);
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

bool AtomicFileWriter::Commit() {
    if (fd_ < 0) return false;
    bool ok = !failed_;
    if (::close(fd_) != 0) ok = false;
    fd_ = -1;
    if (ok && std::rename(temp_.c_str(), target_.c_str()) != 0) ok = false;
    if (!ok) {
        ::unlink(temp_.c_str());
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
