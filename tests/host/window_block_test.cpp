#include "runtime/window_block.h"

#include <gtest/gtest.h>

#include "runtime/byte_io.h"
#include "runtime/key_word.h"

namespace tl {
namespace {

WindowProperties Sample() {
  return {.borderStyle = 1, .backColor = 0x000000, .minButton = 0, .escCloses = 0,
          .showInTaskbar = 0, .dragAnywhere = 1, .alwaysOnTop = 1, .keepTitleActive = 1,
          .windowClassName = "类", .backPicture = {0x89, 'P', 'N', 'G'}, .windowIcon = {0, 0, 1, 0},
          .backSound = {'R', 'I', 'F', 'F'}, .caption = "Tallyleaf", .helpFile = "帮助.hlp"};
}

void ExpectSame(const WindowProperties& a, const WindowProperties& b) {
  EXPECT_EQ(WriteWindowBlock(a), WriteWindowBlock(b));
}

TEST(WindowBlock, EmptyBlockGivesTheDefaults) {
  auto p = ReadWindowBlock({});
  ASSERT_TRUE(p);
  EXPECT_EQ(p->borderStyle, 2);
  EXPECT_EQ(p->backPictureMode, 1);
  EXPECT_EQ(p->backColor, 0xFF000000u);
  EXPECT_EQ(p->minButton, 1);
  EXPECT_EQ(p->position, 1);
  EXPECT_EQ(p->escCloses, 1);
  EXPECT_EQ(p->showInTaskbar, 1);
  EXPECT_EQ(p->alwaysOnTop, 0);
  EXPECT_TRUE(p->caption.empty());
}

TEST(WindowBlock, RoundTripsAtVersionSix) {
  std::vector<uint8_t> bytes = WriteWindowBlock(Sample());
  auto read = ReadWindowBlock(bytes);
  ASSERT_TRUE(read);
  ExpectSame(*read, Sample());
  EXPECT_EQ(read->caption, "Tallyleaf");
  EXPECT_EQ(read->windowClassName, "类");
  EXPECT_EQ(read->backSound, Sample().backSound);
}

TEST(WindowBlock, StoredOrderMatchesTheFormat) {
  // Version, then border, picture mode, colour: the first words are fixed by the format.
  std::vector<uint8_t> bytes = WriteWindowBlock(Sample());
  ByteReader in(bytes);
  int32_t version, border, mode, colour;
  ASSERT_TRUE(in.Int32(version) && in.Int32(border) && in.Int32(mode) && in.Int32(colour));
  EXPECT_EQ(version, 6);
  EXPECT_EQ(border, 1);
  EXPECT_EQ(mode, 1);
  EXPECT_EQ(colour, 0);
}

TEST(WindowBlock, OlderVersionsLackTheLaterFields) {
  for (int32_t version = 0; version <= 6; ++version) {
    WindowProperties p = Sample();
    p.version = version;
    std::vector<uint8_t> bytes = WriteWindowBlock(p);
    auto read = ReadWindowBlock(bytes);
    ASSERT_TRUE(read) << version;
    EXPECT_EQ(read->showInTaskbar, version >= 2 ? 0 : 1) << version;
    EXPECT_EQ(read->dragAnywhere, version >= 3 ? 1 : 0) << version;
    EXPECT_EQ(read->alwaysOnTop, version >= 4 ? 1 : 0) << version;
    EXPECT_EQ(read->keepTitleActive, version >= 5 ? 1 : 0) << version;
    EXPECT_EQ(read->windowClassName, version >= 6 ? "类" : "") << version;
    EXPECT_EQ(read->caption, "Tallyleaf") << version;
  }
}

TEST(WindowBlock, RefusesNewerVersionsAndShortBlocks) {
  WindowProperties p = Sample();
  p.version = 7;
  EXPECT_FALSE(ReadWindowBlock(WriteWindowBlock(p)));
  p.version = -1;
  EXPECT_FALSE(ReadWindowBlock(WriteWindowBlock(p)));
  std::vector<uint8_t> bytes = WriteWindowBlock(Sample());
  for (size_t length = 1; length < bytes.size(); ++length) {
    EXPECT_FALSE(ReadWindowBlock({bytes.data(), length})) << length;
  }
}

TEST(WindowBlock, RefusalsSayWhyAndWhere) {
  WindowProperties p = Sample();
  p.version = 7;
  ReadError error;
  EXPECT_FALSE(ReadWindowBlock(WriteWindowBlock(p), &error));
  EXPECT_EQ(error.Text(), "bad window block version at byte 0");
  const std::vector<uint8_t> bytes = WriteWindowBlock(Sample());
  EXPECT_FALSE(ReadWindowBlock({bytes.data(), 2}, &error));
  EXPECT_EQ(error.Text(), "truncated window block at byte 0");
  EXPECT_FALSE(ReadWindowBlock({bytes.data(), 10}, &error));
  EXPECT_EQ(error.Text(), "truncated window block at byte 8");
  EXPECT_FALSE(ReadWindowBlock({bytes.data(), bytes.size() - 1}, &error));
  EXPECT_EQ(error.what, "truncated window block");
}

TEST(KeyWord, FoldsKeypadKeysAndAddsModifiers) {
  EXPECT_EQ(KeyWord(0x60, false, false, false), 0x30u);  // keypad 0
  EXPECT_EQ(KeyWord(0x69, false, false, false), 0x39u);
  EXPECT_EQ(KeyWord(0x6D, false, false, false), 189u);
  EXPECT_EQ(KeyWord(0x6E, false, false, false), 190u);
  EXPECT_EQ(KeyWord(0x6F, false, false, false), 191u);
  EXPECT_EQ(KeyWord(0x6A, false, false, false), 0x6Au);  // keypad * stays
  const uint32_t ctrlShiftA = KeyWord('A', true, true, false);
  EXPECT_EQ(KeyCode(ctrlShiftA), static_cast<uint32_t>('A'));
  EXPECT_EQ(KeyState(ctrlShiftA), 3u);
  // A modifier key itself does not carry its own bit.
  EXPECT_EQ(KeyWord(0x11, true, false, false), 0x11u);
  EXPECT_EQ(KeyState(KeyWord(0x10, true, true, true)), 5u);
  EXPECT_EQ(KeyWord(0x1FF, false, false, false), 0xFFu);  // only the low 8 bits
}

}  // namespace
}  // namespace tl
