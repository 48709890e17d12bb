#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>

#include "quoted_text.h"

namespace complexplot {

FileWriteError::FileWriteError(int number, const std::string& message)
    : std::runtime_error(message), number_(number) {}

namespace {

[[noreturn]] void failWith(const std::string& what, int error) {
    // Relative to a folder that is open, ENOENT cannot mean a missing
    // folder: it is how /proc and its kind refuse new files.
    const std::string reason =
        error == ENOENT ? "the file system there does not allow new files" : std::strerror(error);
    throw FileWriteError(error, "cannot write " + what + ": " + reason);
}

[[noreturn]] void refuse(const std::string& path, const std::string& reason) {
    throw FileWriteError(0, "cannot write " + quoted(path) + ": " + reason);
}

// The named temporary file that exists at the moment, if any, for the
// signal handler: plain data that a handler may read. Files are written
// from one thread only.
volatile std::sig_atomic_t temporaryArmed = 0;
int temporaryFolder = -1;
char temporaryName[32];

extern "C" void removeTemporaryAndEnd(int signalNumber) {
    if (temporaryArmed != 0) {
        ::unlinkat(temporaryFolder, temporaryName, 0);
    }
    // The handler was reset to the default on entry: the program now ends
    // as that signal ends it, with the status a parent expects.
    ::raise(signalNumber);
}

void installRemovalOnSignals() {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        ::sigaction(signalNumber, nullptr, &current);
        // A signal the program was started to ignore stays ignored.
        if (current.sa_handler != SIG_DFL) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = removeTemporaryAndEnd;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(signalNumber, &action, nullptr);
    }
}

void armRemoval(int folder, const std::string& name) {
    temporaryArmed = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    temporaryFolder = folder;
    std::snprintf(temporaryName, sizeof temporaryName, "%s", name.c_str());
    std::atomic_signal_fence(std::memory_order_seq_cst);
    temporaryArmed = 1;
}

void disarmRemoval() {
    temporaryArmed = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
}

// A fixed, short name, so that a target name of any legal length works.
std::string randomTemporaryName() {
    static std::mt19937_64 generator{std::random_device{}()};
    char name[sizeof temporaryName];
    std::snprintf(name, sizeof name, ".complex-plot-%08llx",
                  static_cast<unsigned long long>(generator() & 0xffffffffu));
    return name;
}

class Descriptor {
public:
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
    }
    int get() const { return descriptor_; }
    // Closes now, reporting what close reports.
    int close() {
        const int result = ::close(descriptor_);
        descriptor_ = -1;
        return result;
    }

private:
    int descriptor_ = -1;
};

int openFolder(const std::string& folder, const std::string& what) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        // Here ENOENT is a plain missing folder.
        const int error = errno;
        throw FileWriteError(error, "cannot write " + what + ": " + std::strerror(error));
    }
    return descriptor;
}

// An unnamed file in the folder, or -1 when the file system has none.
int openUnnamed(int folder, const std::string& what) {
    const int descriptor = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (descriptor >= 0) {
        return descriptor;
    }
    if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) {
        return -1;
    }
    failWith(what, errno);
}

// A new file under a fresh temporary name, armed for removal on a signal.
int openNamed(int folder, std::string& name, const std::string& what) {
    installRemovalOnSignals();
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = randomTemporaryName();
        armRemoval(folder, name);
        const int descriptor =
            ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            return descriptor;
        }
        disarmRemoval();
        if (errno != EEXIST) {
            failWith(what, errno);
        }
    }
    failWith(what, EEXIST);
}

void writeAll(int descriptor, std::string_view bytes, const std::string& what) {
    const char* data = bytes.data();
    std::size_t remaining = bytes.size();
    while (remaining > 0) {
        const ssize_t written = ::write(descriptor, data, remaining);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            failWith(what, errno);
        }
        data += written;
        remaining -= static_cast<std::size_t>(written);
    }
}

// Gives an unnamed file a name in its folder; false, with errno set, when
// that fails (EEXIST when the name is taken).
bool linkUnnamed(int descriptor, int folder, const std::string& name) {
    if (::linkat(descriptor, "", folder, name.c_str(), AT_EMPTY_PATH) == 0) {
        return true;
    }
    if (errno == EEXIST) {
        return false;
    }
    // AT_EMPTY_PATH needs a privilege; the file's /proc entry does not.
    const std::string self = "/proc/self/fd/" + std::to_string(descriptor);
    return ::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

const char* fileKind(mode_t mode) {
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISDIR(mode)) return "a folder";
    return "not a regular file";
}

// Where the data goes: the folder and name of the file that is replaced,
// after following a symbolic link, and that file's mode if it exists.
struct Target {
    std::string folder;
    std::string name;
    bool exists = false;
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
};

Target resolveTarget(const std::string& path) {
    Target target;
    std::string resolved = path;
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0) {
        if (S_ISLNK(status.st_mode)) {
            if (::stat(path.c_str(), &status) != 0) {
                refuse(path, errno == ENOENT ? "it is a symbolic link to nothing"
                             : errno == ELOOP
                                 ? "it is a symbolic link loop"
                                 : "it is a symbolic link to " + std::string(std::strerror(errno)));
            }
            const std::unique_ptr<char, decltype(&std::free)> real(
                ::realpath(path.c_str(), nullptr), &std::free);
            if (!real) {
                failWith(quoted(path), errno);
            }
            resolved = real.get();
        }
        if (!S_ISREG(status.st_mode)) {
            refuse(path, std::string("it is ") + fileKind(status.st_mode) +
                             ", and only a regular file is replaced");
        }
        target.exists = true;
        // The permission bits only: a file replaced by another program's
        // data must not become setuid or setgid, least of all when root
        // replaces a user's file.
        target.mode = status.st_mode & 0777;
        target.owner = status.st_uid;
        target.group = status.st_gid;
    } else if (errno != ENOENT) {
        failWith(quoted(path), errno);
    }
    const std::size_t slash = resolved.rfind('/');
    target.folder = slash == std::string::npos ? "." : slash == 0 ? "/" : resolved.substr(0, slash);
    target.name = slash == std::string::npos ? resolved : resolved.substr(slash + 1);
    if (target.name.empty() || target.name == "." || target.name == "..") {
        refuse(path, "it names a folder, not a file");
    }
    return target;
}

}  // namespace

void writeFileAtomically(const std::string& path, std::string_view bytes, TemporaryFile temporary) {
    writeFileAtomically(path, {bytes}, temporary);
}

void writeFileAtomically(const std::string& path, std::initializer_list<std::string_view> pieces,
                         TemporaryFile temporary) {
    const std::string what = quoted(path);
    const Target target = resolveTarget(path);
    const Descriptor folder(openFolder(target.folder, what));

    int descriptor = temporary == TemporaryFile::named ? -1 : openUnnamed(folder.get(), what);
    const bool unnamed = descriptor >= 0;
    std::string temporaryPath;
    if (!unnamed) {
        descriptor = openNamed(folder.get(), temporaryPath, what);
    }
    Descriptor file(descriptor);
    auto removeNamed = [&] {
        if (!temporaryPath.empty()) {
            ::unlinkat(folder.get(), temporaryPath.c_str(), 0);
            disarmRemoval();
        }
    };
    try {
        for (const std::string_view piece : pieces) {
            writeAll(file.get(), piece, what);
        }
        // A replaced file keeps its permissions and, where this program may
        // give it away (as root), its owner and group; a new one has what
        // open gave it. The owner goes first, since a change of owner may
        // clear permission bits.
        if (target.exists && (target.owner != ::geteuid() || target.group != ::getegid())) {
            // Refused unless privileged, or for a group the user is in:
            // then the file stays this user's own, which is no failure.
            if (::fchown(file.get(), target.owner, target.group) != 0) {
                static_cast<void>(::fchown(file.get(), static_cast<uid_t>(-1), target.group));
            }
        }
        if ((target.exists && ::fchmod(file.get(), target.mode) != 0) || ::fsync(file.get()) != 0) {
            failWith(what, errno);
        }
        if (unnamed && !target.exists && linkUnnamed(file.get(), folder.get(), target.name)) {
            // A new file appears complete under its own name, or not at all.
            if (file.close() != 0) {
                failWith(what, errno);
            }
            ::fsync(folder.get());
            return;
        }
        if (unnamed) {
            // Replacing takes a rename; the file, complete now, has a
            // temporary name only for the moment until then.
            temporaryPath = randomTemporaryName();
            installRemovalOnSignals();
            armRemoval(folder.get(), temporaryPath);
            if (!linkUnnamed(file.get(), folder.get(), temporaryPath)) {
                failWith(what, errno);
            }
        }
        if (file.close() != 0) {
            failWith(what, errno);
        }
        if (::renameat(folder.get(), temporaryPath.c_str(), folder.get(), target.name.c_str()) !=
            0) {
            failWith(what, errno);
        }
    } catch (...) {
        removeNamed();
        throw;
    }
    disarmRemoval();
    // The new name is durable once the folder is; a failure here loses
    // nothing that was there before, so it is not reported.
    ::fsync(folder.get());
}

void checkFolderWritable(const std::string& folder) {
    const std::string what = "to " + quoted(folder);
    const Descriptor open(openFolder(folder, what));
    int descriptor = openUnnamed(open.get(), what);
    if (descriptor < 0) {
        std::string name;
        descriptor = openNamed(open.get(), name, what);
        ::unlinkat(open.get(), name.c_str(), 0);
        disarmRemoval();
    }
    ::close(descriptor);
}

void checkTargetWritable(const std::string& path) {
    checkFolderWritable(resolveTarget(path).folder);
}

std::string fileIdentity(const std::string& path) {
    auto realPath = [](const std::string& name) -> std::string {
        const std::unique_ptr<char, decltype(&std::free)> real(::realpath(name.c_str(), nullptr),
                                                               &std::free);
        return real ? std::string(real.get()) : std::string();
    };
    if (std::string whole = realPath(path); !whole.empty()) {
        return whole;
    }
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string realFolder = realPath(folder);
    return realFolder.empty() ? path : realFolder + "/" + name;
}

}  // namespace complexplot
