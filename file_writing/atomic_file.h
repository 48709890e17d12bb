#pragma once

// Files written whole or not at all, with no Qt: what the renderer writes
// (pictures, figures, raw values) goes through here.

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace complexplot {

// A file or folder that could not be written. The number is the system's
// error number where there is one, else 0; the message names the file,
// quoted, and the reason.
class FileWriteError : public std::runtime_error {
public:
    FileWriteError(int number, const std::string& message);

    int number() const noexcept { return number_; }

private:
    int number_ = 0;
};

// How the data waits before it takes the target's name. An unnamed file
// (Linux's O_TMPFILE) leaves nothing behind whatever kills the program; a
// named one is the fallback for file systems without it, removed again if
// SIGINT, SIGTERM or SIGHUP arrive while it exists.
enum class TemporaryFile { unnamedWherePossible, named };

// Writes the bytes to the path whole or not at all: an earlier complete
// file there is never replaced by a broken one. A new file gets mode 0666
// less the umask; a replaced file keeps its permission bits (never setuid,
// setgid or sticky) and, where the program may, its owner and group. A symbolic link is
// followed and the file it names is replaced. Anything but a regular file
// (a device, a FIFO, a folder, a link to one of them or to nothing) is
// refused.
void writeFileAtomically(const std::string& path, std::string_view bytes,
                         TemporaryFile temporary = TemporaryFile::unnamedWherePossible);

// The same for data in pieces, written one after the other.
void writeFileAtomically(const std::string& path, std::initializer_list<std::string_view> pieces,
                         TemporaryFile temporary = TemporaryFile::unnamedWherePossible);

// Raises FileWriteError, with the real reason, unless new files can be made
// in the folder. Leaves nothing behind.
void checkFolderWritable(const std::string& folder);

// Raises FileWriteError, with the real reason, unless writeFileAtomically
// could write the path now: its folder exists and takes new files, and the
// path is absent, a regular file, or a symbolic link to one. Leaves nothing
// behind.
void checkTargetWritable(const std::string& path);

// The file a path names, as one absolute path without links, "." or "..":
// two paths that name one file give the same. Where the folder does not
// exist, the path as written.
std::string fileIdentity(const std::string& path);

}  // namespace complexplot
