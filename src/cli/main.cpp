#include <cstdio>

int main() {
  std::puts("tarnwick-cli");
  return 0;
}
