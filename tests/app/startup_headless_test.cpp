#include <gtest/gtest.h>

#include "app/presets/preset_state.h"
#include "app/startup/headless_start.h"
#include "files/io_error.h"
#include "presets/preset_fixture.h"

namespace fw {
namespace {

TEST(HeadlessStart, ActivatesThenLoadsThePresetByPathOrName) {
  test::PresetFixture p;
  test::WriteRecord(p.File("clear.pre"), InitialPresetRecord());
  p.WritePreset("dist1.pre", 47);
  StartHeadless(p.form, "dist1");
  EXPECT_EQ(p.form.Bar("ScrollBar_OutPut_Volume").Position(), 47);
  EXPECT_EQ(p.engine().params.TubeOn.load(), 0);  // the preset's tube flag, loaded after the activation
  EXPECT_EQ(ResolvePresetArgument(p.form, "dist1.pre"), p.dir.WithSeparator() + "dist1.pre");
  EXPECT_EQ(ResolvePresetArgument(p.form, p.File("dist1.pre").string()), p.File("dist1.pre").string());
  EXPECT_EQ(ResolvePresetArgument(p.form, "nothing"), "nothing");
}

TEST(HeadlessStart, MissingFilesThrow) {
  test::PresetFixture p;
  EXPECT_THROW(StartHeadless(p.form, ""), IoError);
  test::WriteRecord(p.File("clear.pre"), InitialPresetRecord());
  EXPECT_THROW(StartHeadless(p.form, "nothing"), IoError);
  StartHeadless(p.form, "");
  // The message names every file looked for, or the directory given in its place.
  EXPECT_EQ(PresetArgumentProblem(p.form, "/none/nothing"),
            "preset file not found: looked for /none/nothing and " + p.dir.WithSeparator() + "nothing.pre");
  const std::string folder = p.dir.path().string();
  try {
    StartHeadless(p.form, folder);
    ADD_FAILURE() << "no error";
  } catch (const IoError& error) {
    EXPECT_EQ(error.Detail(), folder + " is a directory, not a preset file");
  }
  EXPECT_EQ(p.engine().params.TubeOn.load(), 1);
}

}  // namespace
}  // namespace fw
