// File access shared by the readers and writers: whole-file reads bounded by
// the file's own size, and writes that replace their target only when complete.
#pragma once

#include <cstdint>
#include <string>

#include "core/image_store.h"

namespace core {

// Whether `path` names an existing regular file, or folder; an empty path or
// one that cannot be examined does not.
bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);

enum class ReadResult { Ok, CannotOpen, TooLarge, ReadError };

// Reads the whole file into `out`. Files larger than `maxBytes` are refused
// without reading them.
ReadResult ReadWholeFile(const std::string& path, ByteBuffer& out, uint64_t maxBytes);
// Reads at most the first `maxBytes` bytes of the file: for formats whose size is
// known from their header, so that trailing data never costs memory.
ReadResult ReadFilePrefix(const std::string& path, ByteBuffer& out, uint64_t maxBytes);

// Writes to a temporary file in the target's folder (unnamed where the system
// allows) and gives it the target's name on Commit(). Until then the target is
// untouched; a writer destroyed without Commit() removes its temporary file.
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates the temporary file. False when the folder is not writable.
    bool Open(const std::string& target);
    // Writes all bytes; false on any short write (the writer then stays failed).
    bool Write(const void* data, size_t size);
    // Closes and renames over the target. False if any step failed.
    bool Commit();
    // Removes the temporary file without touching the target.
    void Abandon();

private:
    bool LinkUnnamed();

    std::string target_;
    std::string temp_;  // the named temporary file, when the file is not unnamed
    int fd_ = -1;
    bool failed_ = false;
    bool unnamed_ = false;
};

// Writes `size` bytes as the whole new content of `target`, atomically.
bool WriteFileAtomically(const std::string& target, const void* data, size_t size);

}  // namespace core
