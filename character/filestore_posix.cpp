#include "filestore.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

// Follows the chain of symbolic links from `path` to the file it names, which need not exist
// yet; gives the error that ends the chain, or 0.
int FollowLinks(std::string& path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0) {
            return errno == ENOENT ? 0 : errno; // a new file, or a folder that is not there
        }
        if (!S_ISLNK(status.st_mode)) {
            return 0;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
        if (length < 0) {
            return errno;
        }
        if (static_cast<std::size_t>(length) == link.size()) {
            return ENAMETOOLONG;
        }
        link.resize(static_cast<std::size_t>(length));
        path = link.starts_with('/') ? link : FolderOf(path) + "/" + link;
    }
    return ELOOP;
}

// The name of the user `user`, from the system's accounts, or nothing.
std::optional<std::string> UserName(uid_t user, gid_t* group = nullptr) {
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(user, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
        return std::nullopt;
    }
    if (group) {
        *group = found->pw_gid;
    }
    return std::string(found->pw_name);
}

// Whether `user` belongs to `group`, as their own group or as one of their others.
bool Belongs(uid_t user, gid_t group) {
    gid_t own = 0;
    const std::optional<std::string> name = UserName(user, &own);
    if (!name) {
        return false;
    }
    std::vector<gid_t> groups(64);
    int count = static_cast<int>(groups.size());
    while (::getgrouplist(name->c_str(), own, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count) + 64);
        count = static_cast<int>(groups.size());
    }
    return std::find(groups.begin(), groups.begin() + count, group) != groups.begin() + count;
}

// Gives the temporary file `fd` the owner and group of the file `old` where the system lets this
// user, and sets `mode` to the permissions it is to have. Gives why the save is refused when the
// old file's owner would lose reading or writing it; else empty.
std::string TakeOwnership(int fd, const struct stat& old, mode_t& mode) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        ::fchown(fd, static_cast<uid_t>(-1), old.st_gid); // a group of this user's own
    }
    struct stat now {};
    if (::fstat(fd, &now) != 0) {
        return Reason(errno);
    }
    mode = old.st_mode & 07777;
    // A program that runs as its owner and group must not run as someone else.
    if (now.st_uid != old.st_uid || now.st_gid != old.st_gid) {
        mode &= ~mode_t{S_ISUID | S_ISGID};
    }
    if (now.st_uid != old.st_uid && old.st_uid != 0) {
        const mode_t had = (old.st_mode >> 6) & 06;
        const mode_t keeps = (Belongs(old.st_uid, now.st_gid) ? mode >> 3 : mode) & 06;
        if (const mode_t lost = had & ~keeps) {
            const std::string owner =
                UserName(old.st_uid).value_or("user " + std::to_string(old.st_uid));
            return "it belongs to " + owner + ", and saving would make it yours, so that " + owner +
                   " could no longer " +
                   (lost == 06   ? "read or write"
                    : lost == 04 ? "read"
                                 : "write") +
                   " it";
        }
    }
    return {};
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
    std::string target = path;
    if (const int error = FollowLinks(target)) {
        return Reason(error);
    }
    struct stat status {};
    const bool exists = ::stat(target.c_str(), &status) == 0;
    // rename() would replace an empty folder, and a device or a pipe a link leads to.
    if (exists && S_ISDIR(status.st_mode)) {
        return Reason(EISDIR);
    }
    if (exists && !S_ISREG(status.st_mode)) {
        return "it is not a regular file";
    }
    if (exists && status.st_nlink > 1) {
        return HardLinksReason(status.st_nlink);
    }
    // A short name: one as long as the file's own would be too long for the folder.
    std::string temporary = FolderOf(target) + "/.rtXXXXXX";
    Descriptor file{::mkstemp(temporary.data())};
    if (file.fd < 0) {
        return Reason(errno);
    }
    const auto fail = [&](int error) {
        ::unlink(temporary.c_str());
        return Reason(error);
    };
    // mkstemp makes the file its owner's alone; a new file has the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode_t mode = 0666 & ~mask;
    if (exists) {
        if (std::string refused = TakeOwnership(file.fd, status, mode); !refused.empty()) {
            ::unlink(temporary.c_str());
            return refused;
        }
    }
    // After writing, which takes setuid and setgid away from a file that is not root's.
    if (!WriteAll(file.fd, bytes) || ::fchmod(file.fd, mode) != 0 || ::fsync(file.fd) != 0) {
        return fail(errno);
    }
    const int closed = ::close(file.fd);
    file.fd = -1;
    if (closed != 0) {
        return fail(errno);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        return fail(errno);
    }
    // The rename itself reaches the disk with the folder; if the folder cannot be flushed, the
    // file is saved all the same.
    Descriptor folder{::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (folder.fd >= 0) {
        ::fsync(folder.fd);
    }
    return {};
}

std::optional<FileStamp> FileStampOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileStamp{.device = static_cast<std::uint64_t>(status.st_dev),
                     .file = static_cast<std::uint64_t>(status.st_ino),
                     .size = static_cast<std::uint64_t>(status.st_size),
                     .modified =
                         std::int64_t{status.st_mtim.tv_sec} * 1000000000 + status.st_mtim.tv_nsec};
}

} // namespace runetally
