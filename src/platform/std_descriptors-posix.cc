// POSIX: a closed descriptor 0, 1 or 2 is the lowest free one, so the next
// open takes it; /dev/null is opened onto it first.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/std_descriptors.h"

void openStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
    // The lower ones are open by now, so this open lands on fd.
    const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) ::close(opened);
  }
}
