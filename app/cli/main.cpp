#include <cstdio>

int main() {
  std::puts("quaverly-cli " QUAVERLY_VERSION);
  return 0;
}
