#include <iostream>

#include "pixvane/pixvane_app.h"

int main(int argc, char** argv) {
  return tw::pixvane::RunPixvane({argv, static_cast<std::size_t>(argc)}, std::cout, std::cerr);
}
