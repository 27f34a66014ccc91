#include "runtime/posix/make_folders.hpp"

#include "runtime/posix/files.hpp"
#include "runtime/posix/paths.hpp"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rt::posix {

FolderResult makeFolders(const std::string& path) {
    if (path.empty() || holdsNul(path)) {
        return FolderResult::failed;
    }
    if (isFolder(path)) {
        return FolderResult::existed;
    }
    // Each level in turn, from the top; a level that is there already is passed.
    std::string::size_type end = 0;
    while (end != std::string::npos) {
        end = path.find('/', end + 1);
        const std::string level = path.substr(0, end);
        if (level.empty() || level.back() == '/') {
            continue; // a doubled or trailing "/"
        }
        if (::mkdir(level.c_str(), 0777) != 0 && !(errno == EEXIST && isFolder(level))) {
            return FolderResult::failed;
        }
    }
    return FolderResult::made;
}

RemoveResult removeEmptyFolder(const std::string& path) {
    if (holdsNul(path)) {
        return RemoveResult::failed;
    }
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back(); // "a/b/" names the folder b
    }
    const auto slash = folder.rfind('/');
    const std::string parent =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : folder.substr(0, slash));
    const std::string name = slash == std::string::npos ? folder : folder.substr(slash + 1);
    if (name.empty() || name == "." || name == ".." || name == "/") {
        return RemoveResult::failed;
    }
    const int parentFd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0) {
        return errno == ENOENT ? RemoveResult::missing : RemoveResult::failed;
    }
    // Looked at and removed through the same handle; AT_REMOVEDIR takes an empty folder
    // only, and a link in its place is not a folder.
    struct stat info {};
    RemoveResult result = RemoveResult::removed;
    if (::fstatat(parentFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        result = errno == ENOENT ? RemoveResult::missing : RemoveResult::failed;
    } else if (!S_ISDIR(info.st_mode)) {
        result = RemoveResult::failed;
    } else if (::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR) != 0) {
        result =
            errno == ENOTEMPTY || errno == EEXIST ? RemoveResult::notEmpty : RemoveResult::failed;
    }
    ::close(parentFd);
    return result;
}

} // namespace rt::posix
