// Fills the help page's template with the tables the interpreter itself
// reads, so that the page and the program cannot disagree about a word.
//
// The template is the page in HTML with two kinds of placeholder comments:
//   <!-- value NAME -->        a number or text from the program (limits,
//                              defaults, what STOP alone stands for)
//   <!-- table NAME            a table generated from the interpreter's own
//   KEY | cell | cell ...      table; each line gives the hand-written cells
//   -->                        of one row, keyed by the interpreter's word
// Every word the interpreter knows needs its row and no row may name a word
// it does not know; every link a table makes must find its anchor
// (id="...") in the page.
#pragma once

#include <string>
#include <string_view>

// The finished page; false with `error` naming what is missing or wrong.
bool render_help_page(std::string_view page_template, std::string& page, std::string& error);
