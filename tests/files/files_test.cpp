// The one writer of whole files: the room it sets aside is really held on
// the disk, and a temporary file is removed by a later writer only when no
// writer holds it, whatever its name says about its process.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "replacing_file.h"
#include "test_folder.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

std::set<std::string> names(const TestFolder& folder) {
  std::set<std::string> found;
  for (const auto& entry : fs::directory_iterator(folder.path())) found.insert(entry.path().filename().string());
  return found;
}

// The bytes the disk holds for the file, not its length: a sparse file
// holds none for its holes.
std::uint64_t allocated(const fs::path& path) {
#if defined(_WIN32)
  HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  FILE_STANDARD_INFO info{};
  GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof info);
  CloseHandle(file);
  return static_cast<std::uint64_t>(info.AllocationSize.QuadPart);
#else
  struct stat status {};
  stat(path.c_str(), &status);
  return static_cast<std::uint64_t>(status.st_blocks) * 512;
#endif
}

TEST(ReplacingFile, RoomSetAsideIsHeldOnTheDiskAndGivenBackAtTheEnd) {
  const TestFolder folder;
  ReplacingFile file(folder / "board0.program");
  ASSERT_TRUE(file.open()) << file.error();
  ASSERT_TRUE(file.reserve(3 << 20)) << file.error();
  ASSERT_EQ(1u, names(folder).size());
  EXPECT_GE(allocated(folder / *names(folder).begin()), 3u << 20);
  std::fputs("100\n", file.file());
  ASSERT_TRUE(file.commit()) << file.error();
  EXPECT_EQ("100\n", folder.read("board0.program"));
  EXPECT_EQ((std::set<std::string>{"board0.program"}), names(folder));
}

TEST(ReplacingFile, AWriterRemovesOnlyTemporaryFilesThatNoWriterHolds) {
  const TestFolder folder;
  folder.write("out.vcd", "old");
  folder.write("victim", "victim");
  ReplacingFile live(folder / "out.vcd");
  ASSERT_TRUE(live.open());
  const std::set<std::string> held = names(folder);
  folder.write_left_over("out.vcd.tmp1-0", "left by a crash");  // process 1 always runs: stale all the same
  folder.write_left_over("out.vcd.tmp99999999-0", "left by a crash");
  folder.write("out.vcd.tmp1-0.keep", "a user's");
  folder.write("out.vcd.tmpx-0", "a user's");
  fs::create_hard_link(folder / "victim", folder / "out.vcd.tmp2-0");  // a second name: never removed
#if !defined(_WIN32)
  fs::create_symlink("victim", folder / "out.vcd.tmp3-0");
#endif
  ReplacingFile second(folder / "out.vcd");
  ASSERT_TRUE(second.open());
  std::fputs("new", second.file());
  ASSERT_TRUE(second.commit()) << second.error();

  std::set<std::string> expected = held;
  expected.insert({"out.vcd.tmp1-0.keep", "out.vcd.tmpx-0", "out.vcd.tmp2-0"});
#if !defined(_WIN32)
  expected.insert("out.vcd.tmp3-0");
#endif
  EXPECT_EQ(expected, names(folder));
  EXPECT_EQ("victim", folder.read("victim"));
  EXPECT_EQ("new", folder.read("out.vcd"));
  EXPECT_TRUE(live.commit()) << "the live writer's file was kept: " << live.error();
}

}  // namespace
