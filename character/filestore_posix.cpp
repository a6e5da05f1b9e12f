#include "filestore.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace runetally {
namespace {

std::string Reason(int error) {
    return std::strerror(error);
}

// Closes the descriptor when the function leaves, however it leaves.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsGone(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

namespace {

// Why a file of this kind is not read; empty for a regular file.
std::string Refusal(const struct stat& status) {
    if (S_ISREG(status.st_mode)) {
        return {};
    }
    return S_ISDIR(status.st_mode) ? Reason(EISDIR) : std::string(kNotARegularFile);
}

} // namespace

ReadBytes ReadAtMost(const std::string& path, std::size_t limit) {
    ReadBytes out;
    // A pipe may wait for a writer, in open() as in read(), and a device or a socket may never
    // end: the kind is known before opening. What is opened is looked at again, in case the name
    // was given to another file in between; O_NONBLOCK keeps that open from waiting for a pipe.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        out.reason = Reason(errno);
        return out;
    }
    if (out.reason = Refusal(status); !out.reason.empty()) {
        return out;
    }
    Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    if (file.fd < 0 || ::fstat(file.fd, &status) != 0) {
        out.reason = Reason(errno);
        return out;
    }
    if (out.reason = Refusal(status); !out.reason.empty()) {
        return out;
    }
    out.bytes.resize(limit);
    std::size_t have = 0;
    while (have < limit) {
        const ssize_t got = ::read(file.fd, out.bytes.data() + have, limit - have);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            out.reason = Reason(errno);
            out.bytes.clear();
            return out;
        }
        if (got == 0) {
            break;
        }
        have += static_cast<std::size_t>(got);
    }
    out.bytes.resize(have);
    out.ok = true;
    return out;
}

std::string ReplaceFileContents(const std::string& path, std::string_view bytes) {
    // A name that is a folder would be replaced by rename() only if the folder were empty.
    struct stat status {};
    const bool exists = ::stat(path.c_str(), &status) == 0;
    if (exists && S_ISDIR(status.st_mode)) {
        return Reason(EISDIR);
    }
    std::string temporary = path + ".XXXXXX";
    Descriptor file{::mkstemp(temporary.data())};
    if (file.fd < 0) {
        return Reason(errno);
    }
    const auto fail = [&](int error) {
        ::unlink(temporary.c_str());
        return Reason(error);
    };
    // mkstemp makes the file its owner's alone; the saved file keeps the old one's permissions,
    // or a new file's.
    mode_t mode = status.st_mode & 07777;
    if (!exists) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(file.fd, mode);
    if (!WriteAll(file.fd, bytes) || ::fsync(file.fd) != 0) {
        return fail(errno);
    }
    const int closed = ::close(file.fd);
    file.fd = -1;
    if (closed != 0) {
        return fail(errno);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        return fail(errno);
    }
    // The rename itself reaches the disk with the folder; if the folder cannot be flushed, the
    // file is saved all the same.
    Descriptor folder{::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (folder.fd >= 0) {
        ::fsync(folder.fd);
    }
    return {};
}

} // namespace runetally
