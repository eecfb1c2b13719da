// Windows: files are handles of their own, never the runtime's descriptors
// 0 to 2, so a closed standard stream cannot be mistaken for a file: writes
// to it fail, as they should, and the report says so.

#include "platform/std_descriptors.h"

void openStandardDescriptors() {}
