// SPDX-License-Identifier: GPL-3.0-or-later
// Compiles a tune score into a Standard MIDI File.
// Usage: contavoce-score2mid <score> <output.mid>
// Errors go to standard error as "<score>:<line>: <message>" and the exit
// status is 1, so a bad score stops the build.
#include "tools/tune/score.h"
#include "tools/tune/smf.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: contavoce-score2mid <score> <output.mid>\n";
        return 2;
    }
    const std::string source = argv[1], target = argv[2];
    std::ifstream in(source, std::ios::binary);
    if (!in) {
        std::cerr << source << ": cannot read\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    const auto parsed = contavoce::tune::parse_score(text.str());
    for (const auto& e : parsed.errors) {
        std::cerr << source << ':';
        if (e.line > 0)
            std::cerr << e.line << ':';
        std::cerr << " error: " << e.message << '\n';
    }
    if (!parsed.errors.empty())
        return 1;
    const auto bytes = contavoce::tune::write_smf(parsed.score);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out) {
        std::cerr << target << ": cannot write\n";
        std::remove(target.c_str());
        return 1;
    }
    return 0;
}
