#ifndef IRWAV_PLATFORM_HOST_NAME_H_
#define IRWAV_PLATFORM_HOST_NAME_H_

#include <string>

/// This machine's host name, without its domain; empty when the system
/// cannot tell.
std::string hostName();

#endif  // IRWAV_PLATFORM_HOST_NAME_H_
