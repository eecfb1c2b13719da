// irwav: writes every built-in remote-control code it can render as a WAV
// file in the current directory. Arguments are ignored.

#include <iostream>

#include "app/batch_driver.h"
#include "app/standard_output.h"

int main() { return statusAfterStandardOutput("irwav", runBatch(std::cout, std::cerr)); }
