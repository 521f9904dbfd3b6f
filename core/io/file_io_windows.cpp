// The system calls of file_io on Windows. Names are UTF-8 inside the program
// and reach the system as UTF-16 (core/io/wide_names.h), in the long form where
// they need it. The descriptors handed out are the C runtime's, made from the
// system's handles, so that callers read them as on POSIX systems.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <ctime>
#include <string>
#include <vector>

#include "core/io/file_io.h"
#include "core/io/file_io_detail.h"
#include "core/io/paths.h"
#include "core/io/wide_names.h"

namespace core {

using namespace file_io_detail;

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// The longest path the system takes, in UTF-16 units (in its long form).
constexpr size_t kLongestName = 32767;

bool IsMissingError(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH ||
           error == ERROR_INVALID_DRIVE || error == ERROR_BAD_PATHNAME;
}

// What a name leads to, links followed: its attributes, or the error that
// kept it from being looked at. Devices (CON, NUL, pipes) are not files.
struct Facts {
    FileKind kind = FileKind::Missing;
    DWORD attributes = 0;
    DWORD error = 0;
};

Facts Examine(const std::string& path) {
    Facts facts;
    const std::wstring name = SystemName(path);
    if (name.empty()) return facts;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) {
        facts.error = ::GetLastError();
        facts.kind = IsMissingError(facts.error) ? FileKind::Missing : FileKind::Unreachable;
        return facts;
    }
    facts.attributes = data.dwFileAttributes;
    if (facts.attributes & FILE_ATTRIBUTE_DIRECTORY) {
        facts.kind = FileKind::NotRegular;
        return facts;
    }
    // Opening without access rights reads nothing and waits for nothing; it
    // follows a link to its target and tells a disk file from a device.
    const HANDLE handle = ::CreateFileW(name.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        facts.error = ::GetLastError();
        facts.kind = IsMissingError(facts.error) ? FileKind::Missing : FileKind::Unreachable;
        return facts;
    }
    BY_HANDLE_FILE_INFORMATION info;
    const bool disk = ::GetFileType(handle) == FILE_TYPE_DISK &&
                      ::GetFileInformationByHandle(handle, &info) &&
                      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (disk) facts.attributes = info.dwFileAttributes;
    ::CloseHandle(handle);
    facts.kind = disk ? FileKind::Regular : FileKind::NotRegular;
    return facts;
}

// Why `target` may not be replaced, or empty: the read-only attribute is the
// mark.
std::string TargetRefusal(const std::string& target, const Facts& facts) {
    if (facts.kind == FileKind::NotRegular) return Quoted(target) + " is not a regular file";
    if (facts.attributes & FILE_ATTRIBUTE_READONLY) return Quoted(target) + " is read-only";
    return std::string();
}

// A handle known to be a disk file, or INVALID_HANDLE_VALUE.
HANDLE OpenDiskFile(const std::string& path, DWORD access, DWORD creation, DWORD flags) {
    const std::wstring name = SystemName(path);
    if (name.empty()) return INVALID_HANDLE_VALUE;
    const HANDLE handle =
        ::CreateFileW(name.c_str(), access, kShareAll, nullptr, creation, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return handle;
    BY_HANDLE_FILE_INFORMATION info;
    if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::CloseHandle(handle);
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

// The C runtime's descriptor for a handle; the descriptor owns it from then on.
int DescriptorOf(HANDLE handle, int flags) {
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
    if (fd < 0) ::CloseHandle(handle);
    return fd;
}

HANDLE HandleOf(int fd) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

bool WriteAll(HANDLE handle, const uint8_t* bytes, size_t size) {
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(size < (1u << 30) ? size : (1u << 30));
        DWORD written = 0;
        if (!::WriteFile(handle, bytes, chunk, &written, nullptr) || written == 0) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

std::time_t UnixTime(const FILETIME& time) {
    ULARGE_INTEGER ticks;
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = time.dwHighDateTime;
    // 100-nanosecond ticks since 1601.
    return static_cast<std::time_t>(ticks.QuadPart / 10000000ULL - 11644473600ULL);
}

// Temporaries of a program that was killed before it could remove them. One
// younger than an hour may belong to a program still writing, so it stays.
void RemoveStaleTemporaries(const std::string& folder) {
    const std::time_t now = std::time(nullptr);
    if (!FolderDueForSweep(folder, now)) return;
    const std::string prefix =
        folder.empty() || folder.back() == '\\' || folder.back() == '/' ? folder : folder + "\\";
    WIN32_FIND_DATAW entry;
    const HANDLE find =
        ::FindFirstFileW(SystemName(prefix + "*" + kTempMark + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = Utf8FromWide(entry.cFileName);
        if (!IsTemporaryName(name)) continue;
        if (entry.dwFileAttributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY))
            continue;
        if (now - UnixTime(entry.ftLastWriteTime) > kStaleTempSeconds)
            ::DeleteFileW(SystemName(prefix + name).c_str());
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
}

}  // namespace

bool IsFile(const std::string& path) {
    return !path.empty() && Examine(path).kind == FileKind::Regular;
}

bool IsFolder(const std::string& path) {
    if (path.empty()) return false;
    const std::wstring name = SystemName(path);
    const DWORD attributes =
        name.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ListFolder(const std::string& folder, std::vector<FolderItem>& items, std::string& problem) {
    items.clear();
    problem.clear();
    if (folder.empty()) {
        problem = SystemErrorText(ERROR_PATH_NOT_FOUND);
        return false;
    }
    const bool separated = folder.back() == '\\' || folder.back() == '/';
    WIN32_FIND_DATAW entry;
    const HANDLE find =
        ::FindFirstFileExW(SystemName(folder + (separated ? "*" : "\\*")).c_str(), FindExInfoBasic,
                           &entry, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // An empty drive root has no entries at all, not even ".".
        if (error == ERROR_FILE_NOT_FOUND && IsFolder(folder)) return true;
        problem = SystemErrorText(error);
        return false;
    }
    do {
        const std::wstring_view name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        FolderItem item;
        item.name = Utf8FromWide(name);
        const DWORD attributes = entry.dwFileAttributes;
        const bool link = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
        item.folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) && !link;
        item.hiddenMark = attributes & FILE_ATTRIBUTE_HIDDEN;
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            // A link's own entry says nothing of its target.
            item.regularFile = !link || IsFile(JoinPath(folder, item.name));
            item.size = (static_cast<uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
        }
        items.push_back(std::move(item));
    } while (::FindNextFileW(find, &entry));
    const DWORD error = ::GetLastError();
    ::FindClose(find);
    if (error != ERROR_NO_MORE_FILES) {
        items.clear();
        problem = SystemErrorText(error);
        return false;
    }
    return true;
}

// "C:" of a name that starts with a drive (in its plain or its long form),
// else empty.
static std::wstring DriveOf(const std::wstring& name) {
    const size_t start = name.rfind(L"\\\\?\\", 0) == 0 ? 4 : 0;
    if (name.size() < start + 2 || name[start + 1] != L':') return std::wstring();
    return name.substr(start, 2);
}

std::string CanonicalPath(const std::string& path, std::string& problem) {
    problem.clear();
    const std::wstring name = SystemName(path);
    const HANDLE handle = name.empty()
                              ? INVALID_HANDLE_VALUE
                              : ::CreateFileW(name.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        problem = SystemErrorText(name.empty() ? ERROR_INVALID_NAME : ::GetLastError());
        return std::string();
    }
    // Room for the longest name the system allows, so that one call does:
    // what a short buffer gets back differs between Windows and Wine.
    std::wstring full(kLongestName + 1, L'\0');
    DWORD length = ::GetFinalPathNameByHandleW(handle, full.data(), static_cast<DWORD>(full.size()),
                                               FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    DWORD error = ::GetLastError();
    if (length == 0 && error == ERROR_MORE_DATA) {
        // Wine gives no name longer than MAX_PATH this way, but it does give
        // the name within the drive, to which the drive letter is added.
        const std::wstring drive = DriveOf(name);
        std::vector<char> buffer(sizeof(FILE_NAME_INFO) + kLongestName * sizeof(wchar_t));
        auto* info = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
        if (!drive.empty() && ::GetFileInformationByHandleEx(handle, FileNameInfo, info,
                                                             static_cast<DWORD>(buffer.size()))) {
            full = drive + std::wstring(info->FileName, info->FileNameLength / sizeof(wchar_t));
            length = static_cast<DWORD>(full.size());
            full += L'\0';
        } else {
            error = ::GetLastError();
        }
    }
    ::CloseHandle(handle);
    if (length == 0 || length >= full.size()) {
        problem = SystemErrorText(error);
        return std::string();
    }
    full.resize(length);
    // The system answers in the long form; the program's names are plain.
    if (full.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        full = L"\\\\" + full.substr(8);
    } else if (full.rfind(L"\\\\?\\", 0) == 0) {
        full = full.substr(4);
    }
    return Utf8FromWide(full);
}

FileKind ExamineFile(const std::string& path) {
    if (path.empty()) return FileKind::Missing;
    return Examine(path).kind;
}

std::string ReadRefusal(const std::string& path) {
    const Facts facts = path.empty() ? Facts{} : Examine(path);
    switch (facts.kind) {
        case FileKind::Regular:
            return std::string();
        case FileKind::Missing:
            return "File not found : " + Quoted(path);
        case FileKind::NotRegular:
            return Quoted(path) + " is not a regular file";
        case FileKind::Unreachable:
            break;
    }
    return Quoted(path) + " cannot be opened: " + SystemErrorText(facts.error);
}

int OpenRegularForReading(const std::string& path) {
    const HANDLE handle =
        OpenDiskFile(path, GENERIC_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
    if (handle == INVALID_HANDLE_VALUE) return -1;
    return DescriptorOf(handle, _O_RDONLY);
}

ReadResult file_io_detail::ReadFileBytes(const std::string& path, ByteBuffer& out,
                                         uint64_t maxBytes, bool refuseLarger) {
    out.clear();
    const HANDLE handle =
        OpenDiskFile(path, GENERIC_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
    if (handle == INVALID_HANDLE_VALUE) return ReadResult::CannotOpen;
    LARGE_INTEGER fileSize;
    if (!::GetFileSizeEx(handle, &fileSize)) {
        ::CloseHandle(handle);
        return ReadResult::CannotOpen;
    }
    uint64_t size = static_cast<uint64_t>(fileSize.QuadPart);
    if (!file_io_detail::BytesToRead(size, maxBytes, refuseLarger)) {
        ::CloseHandle(handle);
        return ReadResult::TooLarge;
    }
    out.resize(static_cast<size_t>(size));
    size_t done = 0;
    while (done < out.size()) {
        const size_t left = out.size() - done;
        const DWORD chunk = static_cast<DWORD>(left < (1u << 30) ? left : (1u << 30));
        DWORD got = 0;
        if (!::ReadFile(handle, out.data() + done, chunk, &got, nullptr)) {
            ::CloseHandle(handle);
            out.clear();
            return ReadResult::ReadError;
        }
        if (got == 0) break;  // the file shrank while we read it: keep what arrived
        done += got;
    }
    out.resize(done);
    ::CloseHandle(handle);
    return ReadResult::Ok;
}

// ---- Writing -----------------------------------------------------------------

bool AtomicFileWriter::TargetRefuses() {
    const Facts facts = Examine(target_);
    if (facts.kind == FileKind::Missing) return false;  // a new file
    refusal_ = TargetRefusal(target_, facts);
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
    const Facts old = Examine(target);
    RemoveStaleTemporaries(FolderOf(target));
    // A replaced file keeps its hidden and system marks.
    const DWORD kept = old.kind == FileKind::Regular
                           ? old.attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)
                           : 0;
    // CREATE_NEW makes the name this writer's alone; a taken one is retried.
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        const std::string temp = TempNameBeside(target, RandomSuffix());
        const std::wstring name = SystemName(temp);
        if (name.empty()) break;
        const HANDLE handle =
            ::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL | kept, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            if (::GetLastError() == ERROR_FILE_EXISTS) continue;
            break;
        }
        fd_ = DescriptorOf(handle, _O_WRONLY);
        if (fd_ >= 0) temp_ = temp;
    }
    if (fd_ < 0) {
        failed_ = true;
        return false;
    }
    return true;
}

bool AtomicFileWriter::Write(const void* data, size_t size) {
    if (fd_ < 0 || failed_) return false;
    if (!WriteAll(HandleOf(fd_), static_cast<const uint8_t*>(data), size)) {
        failed_ = true;
        return false;
    }
    return true;
}

bool AtomicFileWriter::Commit() {
    if (fd_ < 0) return false;
    const bool durable = DurableWritesActive();
    // The mark may have been set while the file was being written.
    bool ok = !failed_ && !TargetRefuses();
    if (ok && durable) {
        ok = ::FlushFileBuffers(HandleOf(fd_)) != 0;
        if (ok) NoteFlush(target_);
    }
    if (::_close(fd_) != 0) ok = false;
    fd_ = -1;
    // The rename replaces the target in one step; it fails, and the target
    // stays as it was, while another program holds the target open without
    // letting others delete it. Write-through puts the new name on the disk
    // before the call returns, which is what flushing the folder does elsewhere.
    const std::wstring from = SystemName(temp_);
    const std::wstring to = SystemName(target_);
    if (ok)
        ok = !to.empty() &&
             ::MoveFileExW(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | (durable ? MOVEFILE_WRITE_THROUGH : 0));
    if (!ok) ::DeleteFileW(from.c_str());
    temp_.clear();
    if (ok && durable) NoteFlush(FolderOf(target_));
    return ok;
}

void AtomicFileWriter::Abandon() {
    if (fd_ >= 0) {
        ::_close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::DeleteFileW(SystemName(temp_).c_str());
        temp_.clear();
    }
}

// ---- Appending ---------------------------------------------------------------

bool AppendFile::Open(const std::string& path, std::string& refusal) {
    Close();
    refusal.clear();
    // Appending through a link would write into whatever file it names.
    const std::wstring name = SystemName(path);
    const DWORD own = name.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(name.c_str());
    if (own != INVALID_FILE_ATTRIBUTES && (own & FILE_ATTRIBUTE_REPARSE_POINT)) {
        refusal = Quoted(path) + " is a symbolic link";
        return false;
    }
    const Facts facts = Examine(path);
    if (facts.kind != FileKind::Missing) {
        refusal = TargetRefusal(path, facts);
        if (!refusal.empty()) return false;
    }
    // Append-only access: every write lands at the end, whoever else writes.
    const HANDLE handle =
        OpenDiskFile(path, FILE_APPEND_DATA | SYNCHRONIZE, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (handle == INVALID_HANDLE_VALUE) {
        if (Examine(path).kind == FileKind::NotRegular)
            refusal = Quoted(path) + " is not a regular file";
        return false;
    }
    fd_ = DescriptorOf(handle, _O_WRONLY | _O_APPEND);
    failed_ = false;
    return fd_ >= 0;
}

bool AppendFile::Append(std::string_view text) {
    if (!Good()) return false;
    if (!WriteAll(HandleOf(fd_), reinterpret_cast<const uint8_t*>(text.data()), text.size())) {
        failed_ = true;
        return false;
    }
    return true;
}

void AppendFile::Close() {
    if (fd_ >= 0) ::_close(fd_);
    fd_ = -1;
    failed_ = false;
}

}  // namespace core
