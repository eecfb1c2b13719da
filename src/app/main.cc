// irwav: writes every built-in remote-control code it can render as a WAV
// file in the current directory. Arguments are ignored. A signal ends it as
// it would any program, but never leaves an unfinished file behind.

#include <iostream>

#include "app/batch_driver.h"
#include "app/end_signals.h"
#include "app/standard_output.h"
#include "platform/signals.h"
#include "platform/std_descriptors.h"

int main() {
  openStandardDescriptors();
  // A report that cannot be written is said at the end; the files are
  // written all the same.
  ignoreBrokenPipe();
  for (int signal : stopSignals()) handleUnlessIgnored(signal, endAtOnce);
  for (int signal : quitSignals()) handleUnlessIgnored(signal, endAtOnce);
  return statusAfterStandardOutput("irwav", runBatch(std::cout, std::cerr));
}
