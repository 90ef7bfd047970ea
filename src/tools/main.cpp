#include "TriangulateCommand.h"

#include <iostream>

int main(int argc, char** argv) {
    // The streams are only used through C++ iostreams; unsynchronised they
    // read and write in large blocks.
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return TessaroTools::runTriangulateCommand(arguments, std::cin, std::cout, std::cerr);
}
