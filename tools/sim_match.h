// tintfall-sim match: many games between two kinds of computer player (tools/sim_match.cpp).
#pragma once

#include <string>
#include <vector>

// `args` from the command word "match" on; returns the process exit status.
int runMatch(const std::vector<std::string>& args);
