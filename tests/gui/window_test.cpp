// The program's own resources, read from cdmgui.exe without running it.
#include <gtest/gtest.h>

#include "program_folder_resources.h"

namespace {

TEST(CdmguiProgram, CarriesItsIconAndAnAsInvokerManifest) {
  const ProgramResources resources = program_resources("cdmgui.exe");
  ASSERT_TRUE(resources.loaded);
  EXPECT_EQ(32, resources.icon_width);
  EXPECT_EQ(32, resources.icon_height);
  EXPECT_EQ(32, resources.icon_bits);
  EXPECT_NE(std::string::npos, resources.manifest.find("level=\"asInvoker\""));
  EXPECT_EQ(std::string::npos, resources.manifest.find("<dependency"));
}

}  // namespace
