// The diagnostic listing: what the interpreter understood of a source.
#pragma once

#include <ostream>

#include "program_model.h"

// The label table, the variable names and the program lines as texts,
// each section followed by an empty line.
void write_parse_listing(const ProgramModel& model, std::ostream& report);

// The converted numbers of the instruction with index `index`.
void write_parse_values_line(unsigned index, const InstructionFields& fields, std::ostream& report);
