// Writes a generated structure file of realistic shape: make_structure <path> <topics>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "structure_generator.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_structure <path> <topics>\n");
    return 2;
  }
  tarvo::bench::MakeStructureFile(argv[1], std::atoi(argv[2]));
  return 0;
}
