// Line ends between the edit panes (CR LF) and text read or written in text
// mode (LF).
#pragma once

#include <string>
#include <string_view>

// Every LF becomes CR LF; every other character, a lone CR included, stays.
std::string with_crlf_line_ends(std::string_view text);

// A source file's bytes as the pane holds them: CR LF and LF line ends both
// become CR LF; every other byte, a lone CR and Ctrl-Z included, stays. Files
// are read in binary for this, since a text-mode read on Windows would end
// the document at the first Ctrl-Z byte and a later save would lose the rest.
std::string pane_text_from_file(std::string_view bytes);

// Drops every CR, so that a text-mode write gives CR LF line ends and never
// a lone CR.
std::string without_carriage_returns(std::string_view text);
