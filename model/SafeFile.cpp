// Whole-file reads and atomic replacement of a file, on POSIX calls: standard
// C++ has no way to flush a file to disk or to create a file exclusively.
#include "model/SafeFile.h"

#include "model/Cp1251.h"
#include "model/Errors.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace model {

namespace {

// How many names a save tries for its temporary file before giving up.
constexpr int TemporaryNameAttempts = 100;

// The largest file a reader takes in. A quest of a million long locations is
// a few hundred megabytes; a larger file is no quest, and reading it whole
// would only exhaust memory.
constexpr std::uint64_t MaxReadFileBytes = std::uint64_t{1} << 30;

// Paths are UTF-8 on this system; messages are cp1251 like all model text.
std::string pathForMessage(const std::string& path) {
    try {
        return Utf8ToCp1251(path);
    } catch (const EncodingError&) {
        return path;
    }
}

[[noreturn]] void failWith(const char* what, const std::string& path, int error) {
    throw InOutError(Utf8ToCp1251(what) + " \xAB" + pathForMessage(path) +
                     "\xBB: " + std::strerror(error));
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and reports the result, since a close may be where a write fails.
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

std::string ReadFileBytes(const std::string& path) {
    // Without O_NONBLOCK opening a FIFO waits for a writer that may never come.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        if (errno == ENOENT)
            throw InOutError("File not found");
        failWith("Не удаётся открыть файл", path, errno);
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        failWith("Не удаётся прочитать файл", path, errno);
    if (S_ISDIR(info.st_mode))
        failWith("Не удаётся прочитать файл", path, EISDIR);
    // A FIFO, a device or a socket may never end, or never give anything.
    if (!S_ISREG(info.st_mode))
        throw InOutError(Utf8ToCp1251("Не удаётся прочитать \u00AB") + pathForMessage(path) +
                         Utf8ToCp1251("\u00BB: это не обычный файл, а канал, устройство "
                                      "или сокет"));
    const auto tooLarge = [&] {
        throw InOutError(Utf8ToCp1251("Не удаётся прочитать файл \u00AB") + pathForMessage(path) +
                         Utf8ToCp1251("\u00BB: он больше " +
                                      std::to_string(MaxReadFileBytes >> 20) +
                                      " МиБ, квест не бывает таким большим"));
    };
    if (static_cast<std::uint64_t>(info.st_size) > MaxReadFileBytes)
        tooLarge();

    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[1 << 16];
    while (true) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            failWith("Не удаётся прочитать файл", path, errno);
        }
        if (got == 0)
            return bytes;
        // The file may grow while it is read.
        if (bytes.size() + static_cast<std::size_t>(got) > MaxReadFileBytes)
            tooLarge();
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

void WriteFileAtomically(const std::string& path, std::string_view bytes, mode_t mode,
                         bool keepExistingMode) {
    static std::atomic<unsigned> counter{0};
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        failWith("Не удаётся сохранить файл", path, EISDIR);

    // The temporary file lives beside the target so that the rename is atomic.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < TemporaryNameAttempts && fd < 0; ++attempt) {
        temporary = path + ".tmp-" + std::to_string(::getpid()) + "-" +
                    std::to_string(counter.fetch_add(1));
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        failWith("Не удаётся сохранить файл", path, errno);
    FileDescriptor file(fd);

    const auto abandon = [&](int error) {
        ::unlink(temporary.c_str());
        failWith("Не удаётся сохранить файл", path, error);
    };
    if (exists && keepExistingMode && ::fchmod(file.get(), existing.st_mode & 07777) != 0)
        abandon(errno);
    if (!writeAll(file.get(), bytes))
        abandon(errno);
    if (::fsync(file.get()) != 0)
        abandon(errno);
    if (file.close() != 0)
        abandon(errno);
    if (::rename(temporary.c_str(), path.c_str()) != 0)
        abandon(errno);

    // Makes the rename itself durable; the data is safe either way, so a
    // folder that cannot be opened or synced is no failure of the save.
    FileDescriptor folder(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
}

} // namespace model
