#pragma once

#include <ostream>
#include <string>
#include <vector>

// The `motif` command line: global options, the command tree, and exit codes. Commands write to
// the given streams, so that tests can run them in-process.
class CliApp {
public:
    // args excludes the program name.
    int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};
