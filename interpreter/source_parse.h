// The parse of a whole source. A large source is parsed as two stretches at
// once, the second on a thread of its own, so that a long program's listing
// begins sooner; the report and the program model are the same, byte for
// byte, as one stretch gives.
#pragma once

#include <cstdint>
#include <ostream>

#include "interpreter.h"
#include "program_model.h"

enum class SourceParse { Parsed, Failed, Unreadable };

// Reads and checks the whole of `source` into `model`, writing the first
// error's report when it does not parse; Unreadable when the source cannot
// be opened or read, with nothing written. `model` is the program only once
// Parsed.
SourceParse parse_source(const ProgramSource& source, ProgramModel& model, std::ostream& report);

// Where parse_source cuts `source`: the first byte after the cut, or 0
// where it parses the source in one stretch.
std::uint64_t planned_cut(const ProgramSource& source);

// parse_source, cut just after the line feed at byte `line_feed` of the
// source as stored where it can be; `cut` says whether it was. Tests check
// with it that a cut anywhere gives what one stretch gives.
SourceParse parse_source_cut_after(const ProgramSource& source, std::uint64_t line_feed, ProgramModel& model,
                                   std::ostream& report, bool& cut);
