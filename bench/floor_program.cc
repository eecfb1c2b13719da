// The memory and allocation floor for irwav: a C++ program that prints one
// line through the standard streams and does nothing else, so that what the
// runtime libraries take on their own can be told apart from irwav's share.

#include <iostream>

int main() {
  std::cout << "Max carrier frequency: " << 43636 << " Hz" << std::endl;
  return 0;
}
