// The token reader: source text to tokens, or to its reading error.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "source_text.h"
#include "token_reader.h"

using namespace std::string_literals;

namespace {

const char* kind_name(TokenKind kind) {
  static const char* const kNames[] = {"Word",  "Number", "Variable",  "Colon",
                                       "Comma", "Equals", "EndOfLine", "EndOfFile"};
  return kNames[static_cast<int>(kind)];
}

// One line per token: kind, text (a line feed written \n) and line:column.
std::string describe(const TokenSequence& tokens) {
  std::string text;
  TokenSequence::Cursor cursor(tokens);
  SourceToken token;
  while (cursor.next(token)) {
    std::string token_text(token.text);
    if (token_text == "\n") token_text = "\\n";
    text += std::string(kind_name(token.kind)) + " " + token_text + " " + std::to_string(token.line) + ":" +
            std::to_string(token.column) + "\n";
  }
  return text;
}

// The tokens read from `source`, or the report of a failed reading.
std::string read(const std::string& source) {
  SourceReader reader(source);
  TokenSequence tokens;
  std::ostringstream report;
  if (!read_tokens(reader, tokens, report)) {
    EXPECT_TRUE(tokens.empty()) << "tokens read before the failure are discarded";
    return report.str();
  }
  EXPECT_EQ("", report.str());
  return describe(tokens);
}

struct Case {
  std::string source;
  std::string expected;
};

TEST(TokenReader, ReadsTokensWithTheirPositions) {
  const Case cases[] = {
      {"", "EndOfFile EOF 1:1\n"},
      {"STOP", "Word STOP 1:1\nEndOfFile EOF 1:5\n"},
      {source_lines({"stop"}), "Word STOP 1:1\nEndOfLine \\n 1:5\nEndOfFile EOF 2:1\n"},
      {"cont inue", "Word CONTINUE 1:1\nEndOfFile EOF 1:10\n"},
      {"10 us", "Number 10US 1:1\nEndOfFile EOF 1:6\n"},
      {source_lines({"  abc,5"}),
       "Word ABC 1:3\nComma , 1:6\nNumber 5 1:7\nEndOfLine \\n 1:8\nEndOfFile EOF 2:1\n"},
      {"$x=5", "Variable $X 1:1\nEquals = 1:3\nNumber 5 1:4\nEndOfFile EOF 1:5\n"},
      {"loop1:", "Word LOOP1 1:1\nColon : 1:6\nEndOfFile EOF 1:7\n"},
      {"=,:", "Equals = 1:1\nComma , 1:2\nColon : 1:3\nEndOfFile EOF 1:4\n"},
      // Comments give no token, yet every character of them is a column.
      {source_lines({"0x0F, 10us / Comment"}),
       "Number 0X0F 1:1\nComma , 1:5\nNumber 10US 1:7\nEndOfLine \\n 1:21\nEndOfFile EOF 2:1\n"},
      {"5 / abc", "Number 5 1:1\nEndOfFile EOF 1:8\n"},
      {"a/b", "Word A 1:1\nEndOfFile EOF 1:4\n"},
      {source_lines({"/ only a comment", "x"}),
       "EndOfLine \\n 1:17\nWord X 2:1\nEndOfLine \\n 2:2\nEndOfFile EOF 3:1\n"},
      // A tab is one column, and inside a token only the space is dropped.
      {"\tx,\t1", "Word X 1:2\nComma , 1:3\nNumber 1 1:5\nEndOfFile EOF 1:6\n"},
      {"a\tb", "Word A\tB 1:1\nEndOfFile EOF 1:4\n"},
      {source_lines({" \t "}), "EndOfLine \\n 1:4\nEndOfFile EOF 2:1\n"},
      {"END_LOOP", "Word END_LOOP 1:1\nEndOfFile EOF 1:9\n"},
      {"$on-time", "Variable $ON-TIME 1:1\nEndOfFile EOF 1:9\n"},
      {"10.5us", "Number 10.5US 1:1\nEndOfFile EOF 1:7\n"},
      {"a$b", "Word A$B 1:1\nEndOfFile EOF 1:4\n"},
      {"eof", "Word EOF 1:1\nEndOfFile EOF 1:4\n"},
      // Bytes that start nothing are kept inside a token, as read.
      {"a\rb", "Word A\rB 1:1\nEndOfFile EOF 1:4\n"},
      {"a\xff\xe9", "Word A\xff\xe9 1:1\nEndOfFile EOF 1:4\n"},
      {"a\0b"s, "Word A\0B 1:1\nEndOfFile EOF 1:4\n"s},
      // CR LF reads as a line feed alone.
      {"a\r\nb\r\n", "Word A 1:1\nEndOfLine \\n 1:2\nWord B 2:1\nEndOfLine \\n 2:2\nEndOfFile EOF 3:1\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, read(c.source)) << ::testing::PrintToString(c.source);
}

TEST(TokenReader, ReportsTheFirstCharacterThatStartsNothing) {
  const Case cases[] = {
      {"-5", "Reading of tokens failed at Line 1 Column 1.\nOffending character: \"-\".\n"},
      {"_X", "Reading of tokens failed at Line 1 Column 1.\nOffending character: \"_\".\n"},
      {source_lines({"0x1, 1us", "\t/ note", " \t?"}),
       "Reading of tokens failed at Line 3 Column 3.\nOffending character: \"?\".\n"},
      {"a, \r", "Reading of tokens failed at Line 1 Column 4.\nOffending character: \"\r\".\n"},
      {"\r", "Reading of tokens failed at Line 1 Column 1.\nOffending character: \"\r\".\n"},
      {"\xff", "Reading of tokens failed at Line 1 Column 1.\nOffending character: \"\xff\".\n"},
      {"\0"s, "Reading of tokens failed at Line 1 Column 1.\nOffending character: \"\0\".\n"s},
      {"x:@", "Reading of tokens failed at Line 1 Column 3.\nOffending character: \"@\".\n"},
      // The first offending character wins, even one in a later line than a
      // parse error would be.
      {source_lines({"STOP, 1", "- 1"}),
       "Reading of tokens failed at Line 2 Column 1.\nOffending character: \"-\".\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, read(c.source)) << ::testing::PrintToString(c.source);
}

TEST(TokenReader, KeepsAVeryLongTokenWhole) {
  const std::string digits(10 * 1024 * 1024, '7');
  const std::string source = digits + "us\n";
  SourceReader reader(source);
  TokenSequence tokens;
  std::ostringstream report;
  ASSERT_TRUE(read_tokens(reader, tokens, report));
  ASSERT_EQ(3u, tokens.size());
  TokenSequence::Cursor cursor(tokens);
  SourceToken token;
  ASSERT_TRUE(cursor.next(token));
  EXPECT_EQ(digits + "US", token.text);
  ASSERT_TRUE(cursor.next(token));
  EXPECT_EQ(digits.size() + 3, token.column);
}

TEST(TokenDisplayText, NamesLineAndFileEnds) {
  const struct {
    std::string text;
    std::string display;
  } cases[] = {
      {"\n", "End of Line"}, {"EOF", "End of File"}, {"\nX", "\nX"},
      {"EOFX", "EOFX"},      {"", ""},               {",", ","},
  };
  for (const auto& c : cases) EXPECT_EQ(c.display, token_display_text(c.text)) << c.text;
}

}  // namespace
