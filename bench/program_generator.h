// Generates large valid timing programs for the benchmarks: every pattern
// form, every unit, labels, variables, nested loops, subroutine calls and
// branches, with comments and blank lines between.
#pragma once

#include <cstdint>
#include <string>

// A program of exactly `instructions` program lines (at least 4).
std::string generate_program(std::uint64_t instructions, std::uint32_t seed = 1);
