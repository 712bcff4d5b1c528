#include "platform/file_bytes.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <memory>
#include <new>
#include <string>

#include "platform/codepage.h"

namespace qrlogo::platform {
namespace {

// A file of 2 GiB or more does not fit the positive 32-bit count the program keeps sizes in.
constexpr off_t kLargestFileLength = std::numeric_limits<std::int32_t>::max();

// How many fresh names a temporary file gets before the write gives up.
constexpr int kTemporaryNameAttempts = 16;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { Close(); }

    bool IsOpen() const { return m_fd >= 0; }
    int Get() const { return m_fd; }
    // False when the system reports an error on closing (data that never reached the file).
    bool Close() {
        if (m_fd < 0) return true;
        const int fd = m_fd;
        m_fd = -1;
        return close(fd) == 0;
    }

private:
    int m_fd;
};

// A file that is being written under a hidden name; it is removed unless Commit moved it
// onto its real name.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& folder) {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
            std::string candidate = folder + "/.qrlogo-" + std::to_string(getpid()) + "-" +
                                    std::to_string(counter++) + ".tmp";
            // 0666 lets the umask decide the mode, as for any newly created file.
            const int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                m_file = std::make_unique<FileDescriptor>(fd);
                m_path = std::move(candidate);
                return;
            }
            if (errno != EEXIST) return;
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (m_file == nullptr) return;
        m_file->Close();
        unlink(m_path.c_str());
    }

    bool IsOpen() const { return m_file != nullptr && m_file->IsOpen(); }
    int Get() const { return m_file->Get(); }
    bool Close() { return m_file->Close(); }
    bool Commit(const std::string& name) {
        if (std::rename(m_path.c_str(), name.c_str()) != 0) return false;
        m_file.reset();
        return true;
    }

private:
    std::unique_ptr<FileDescriptor> m_file;
    std::string m_path;
};

std::string FileSystemName(std::string_view codePageName) {
    return CodePageToUtf8(codePageName.substr(0, codePageName.find('\0')));
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool WriteAll(int fd, std::span<const std::uint8_t> part) {
    while (!part.empty()) {
        const ssize_t written = write(fd, part.data(), part.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        part = part.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

// The rename itself reaches the disk only with its folder; failing that is not fatal, as
// the content is already safe under one name or the other.
void SyncFolder(const std::string& folder) {
    FileDescriptor directory(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.IsOpen()) fsync(directory.Get());
}

}  // namespace

std::vector<std::uint8_t> ReadFileBytes(std::string_view codePagePath) {
    const std::string path = FileSystemName(codePagePath);
    if (path.empty()) return {};
    // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; only regular files are read.
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.IsOpen()) return {};
    struct stat status {};
    if (fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) return {};
    // Shared with other readers, refused while a writer holds its exclusive lock.
    if (flock(file.Get(), LOCK_SH | LOCK_NB) != 0) return {};
    if (status.st_size <= 0 || status.st_size >= kLargestFileLength) return {};

    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(status.st_size));
    } catch (const std::bad_alloc&) {
        return {};
    }
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = read(file.Get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return {};
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return bytes;
}

bool WriteFileBytes(std::string_view codePageName,
                    std::initializer_list<std::span<const std::uint8_t>> parts) {
    const std::string path = FileSystemName(codePageName);
    if (path.empty()) return false;

    // The file now under the name stays locked until it has been replaced, so nobody else
    // reads or writes it meanwhile; a file someone else holds, or one we may not write,
    // stays as it is.
    FileDescriptor existing(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (existing.IsOpen() && flock(existing.Get(), LOCK_EX | LOCK_NB) != 0) return false;
    if (access(path.c_str(), F_OK) == 0 && access(path.c_str(), W_OK) != 0) return false;

    const std::string folder = FolderOf(path);
    TemporaryFile temporary(folder);
    if (!temporary.IsOpen()) return false;
    if (flock(temporary.Get(), LOCK_EX | LOCK_NB) != 0) return false;
    for (const auto part : parts) {
        if (!WriteAll(temporary.Get(), part)) return false;
    }
    if (fsync(temporary.Get()) != 0 || !temporary.Close()) return false;
    if (!temporary.Commit(path)) return false;
    SyncFolder(folder);
    return true;
}

}  // namespace qrlogo::platform
