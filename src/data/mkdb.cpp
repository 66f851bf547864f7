// vestra-mkdb SCHEMA CSV-FOLDER OUTPUT: builds the catalogue file Vestra.db from its
// text sources. Run by the build; errors are one line on stderr and exit code 1.

#include <exception>
#include <iostream>

#include "data/catalogue_builder.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: vestra-mkdb SCHEMA.sql CSV-FOLDER OUTPUT.db\n";
    return 2;
  }
  try {
    vestra::BuildCatalogue(argv[1], argv[2], argv[3]);
  } catch (const std::exception& e) {
    std::cerr << "vestra-mkdb: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
