// Line ends between the edit panes (CR LF) and text read or written in text
// mode (LF).
#pragma once

#include <string>
#include <string_view>

// Every LF becomes CR LF; every other character, a lone CR included, stays.
std::string with_crlf_line_ends(std::string_view text);

// Drops every CR, so that a text-mode write gives CR LF line ends and never
// a lone CR.
std::string without_carriage_returns(std::string_view text);
