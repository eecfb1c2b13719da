#ifndef IRWAV_PLATFORM_STD_DESCRIPTORS_H_
#define IRWAV_PLATFORM_STD_DESCRIPTORS_H_

/// Makes sure standard input, output and error are open before the program
/// opens anything else: each one that was closed is opened onto the null
/// device. Otherwise the first file opened would become "standard output",
/// and the report would be written into it. Call first thing in main.
void openStandardDescriptors();

#endif  // IRWAV_PLATFORM_STD_DESCRIPTORS_H_
