#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {
std::string RuntimePath(std::string_view name, std::string_view extension)
{
    const char* const runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    if (runtimeDir != nullptr && *runtimeDir != '\0')
        return std::string(runtimeDir) + "/" + std::string(name) + std::string(extension);
    return "/tmp/" + std::string(name) + "-" + std::to_string(getuid()) + std::string(extension);
}
}  // namespace

InstanceLock CreateInstanceLock(std::string_view name)
{
    const std::string path = RuntimePath(name, ".lock");
    // O_NOFOLLOW: in /tmp another user could plant a link to a file of ours.
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return {};
    if (flock(fd, LOCK_EX | LOCK_NB) == 0)
        return {fd, false};
    const bool heldElsewhere = errno == EWOULDBLOCK;
    close(fd);  // nothing useful to do if closing fails; the descriptor is gone either way
    return {-1, heldElsewhere};
}

std::string InstanceSocketPath(std::string_view name)
{
    return RuntimePath(name, ".socket");
}
