// resource_generator OUTDIR: writes the program's resources (pictures,
// icons, manifest, resource script) below OUTDIR.

#include <exception>
#include <iostream>

#include "resource_tree.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: resource_generator OUTDIR\n";
    return 2;
  }
  try {
    qv::resgen::writeResourceTree(argv[1]);
  } catch (const std::exception& e) {
    std::cerr << "resource_generator: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
