// The compact stores behind tokens and program lines give back exactly what
// was put in, across block boundaries and around very large texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interpreter.h"

namespace {

TEST(TokenSequence, GivesBackEveryTokenWithItsLine) {
  const std::string huge(200 * 1024, 'A');
  struct Appended {
    TokenKind kind;
    std::string text;
    unsigned column;
    unsigned line;  // what the cursor must give
  };
  std::vector<Appended> appended = {
      {TokenKind::Word, "STOP", 1, 1},     {TokenKind::Colon, ":", 5, 1},
      {TokenKind::Colon, "odd", 6, 1},     {TokenKind::Word, ":", 7, 1},
      {TokenKind::EndOfLine, "\n", 8, 1},  {TokenKind::Number, huge, 1, 2},
      {TokenKind::EndOfLine, "\n", 200000, 2}, {TokenKind::EndOfLine, "\n", 1, 3},
      {TokenKind::Variable, "", 4, 4},
  };
  for (unsigned i = 0; i < 20000; ++i) appended.push_back({TokenKind::Comma, ",", 1000000 + i, 4});
  appended.push_back({TokenKind::EndOfFile, "EOF", 7, 4});

  TokenSequence tokens;
  for (const Appended& a : appended) tokens.append(a.kind, a.text, a.column);
  EXPECT_EQ(appended.size(), tokens.size());

  TokenSequence::Cursor cursor(tokens);
  SourceToken token;
  for (const Appended& a : appended) {
    ASSERT_TRUE(cursor.next(token));
    EXPECT_EQ(a.kind, token.kind);
    EXPECT_EQ(a.text, token.text);
    EXPECT_EQ(a.column, token.column);
    EXPECT_EQ(a.line, token.line);
    tokens.release_before(cursor);  // what was read before this record's block may go
  }
  EXPECT_FALSE(cursor.next(token));
}

TEST(ProgramLineList, GivesBackEveryLineInOrder) {
  const std::string long_pattern = "0B" + std::string(100 * 1024, '1');
  ProgramLineList lines;
  EXPECT_TRUE(lines.empty());
  EXPECT_TRUE(lines.begin() == lines.end());
  const unsigned kLines = 50000;
  for (unsigned i = 0; i < kLines; ++i) {
    const std::string number = std::to_string(i);
    lines.push_back({i == 7 ? std::string_view(long_pattern) : std::string_view(number), "2.5", "US", "LOOP", "",
                     i + 1});
  }
  ASSERT_EQ(kLines, lines.size());
  unsigned i = 0;
  for (const ProgramLine& line : lines) {
    EXPECT_EQ(i == 7 ? long_pattern : std::to_string(i), line.pattern);
    EXPECT_EQ("2.5", line.time);
    EXPECT_EQ("US", line.units);
    EXPECT_EQ("LOOP", line.command);
    EXPECT_EQ("", line.data);
    EXPECT_EQ(i + 1, line.line);
    ++i;
  }
  EXPECT_EQ(kLines, i);
}

TEST(TextStore, CopiesOutliveTheirSources) {
  TextStore store;
  std::vector<std::string_view> copies;
  for (int i = 0; i < 5000; ++i) copies.push_back(store.copy(std::string(i % 40, 'x') + std::to_string(i)));
  copies.push_back(store.copy(std::string(100000, 'y')));
  TextStore moved(std::move(store));
  for (int i = 0; i < 5000; ++i) EXPECT_EQ(std::string(i % 40, 'x') + std::to_string(i), copies[i]);
  EXPECT_EQ(std::string(100000, 'y'), copies.back());
  EXPECT_EQ("after", moved.copy("after"));
}

}  // namespace
