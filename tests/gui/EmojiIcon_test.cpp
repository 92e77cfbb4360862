// The title's emoji drawn as the icon of hosts that draw no labels.
#include "platform/gtk/EmojiIcon.h"

#include <gdkmm/pixbuf.h>
#include <sys/stat.h>

#include "GuiTest.h"
#include "support/TempDir.h"

namespace stratovane {
namespace {

using gtk::EmojiIcon;

TEST(LeadingEmojiTest, IsTheFirstGraphemeWhenItIsPictographic) {
  const struct {
    const char* title;
    const char* emoji;
  } cases[] = {
      {"\u2600\uFE0F 21\u00B0 clear sky", "\u2600\uFE0F"},  // with its presentation selector
      {"\u26A0\uFE0F No API key", "\u26A0\uFE0F"},          // warnings
      {"\u23F1 Fetching...", "\u23F1"},                     // no selector
      {"\U0001F327\uFE0F 9\u00B0", "\U0001F327\uFE0F"},     // beyond the first plane
      {"\U0001F3F3\uFE0F\u200D\U0001F308x", "\U0001F3F3\uFE0F\u200D\U0001F308"},  // a sequence
      {"\u2744", "\u2744"},  // nothing after it
      {"21\u00B0 clear sky", ""},
      {"1\uFE0F\u20E3 keycap", ""},  // emoji, but not a pictograph
      {" \u2600\uFE0F", ""},
      {"", ""},
      {"\xF0\x9F", ""},  // cut-off UTF-8
  };
  for (const auto& c : cases) EXPECT_EQ(gtk::leadingEmoji(c.title), c.emoji) << c.title;
}

class EmojiIconTest : public testing::GuiTest {
 protected:
  static ino_t inodeOf(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
  }

  testing::TempDir folder;
};

TEST_F(EmojiIconTest, IsDrawnInColourOnlyWhenTheEmojiChanges) {
  EmojiIcon icon(folder.path().string());
  EXPECT_EQ(icon.iconFor("21\u00B0"), "") << "no emoji yet";
  const std::string sun = icon.iconFor("\u2600\uFE0F 21\u00B0");
  EXPECT_EQ(sun, folder / "stratovane-emoji-2600-fe0f.png");
  const ino_t drawn = inodeOf(sun);
  ASSERT_NE(drawn, 0u);

  const auto pixels = Gdk::Pixbuf::create_from_file(sun);
  EXPECT_EQ(pixels->get_width(), EmojiIcon::kSize);
  EXPECT_EQ(pixels->get_height(), EmojiIcon::kSize);
  // The sun is yellow: many opaque pixels with red well above blue.
  int yellow = 0;
  for (int y = 0; y < pixels->get_height(); ++y) {
    const guint8* row = pixels->get_pixels() + y * pixels->get_rowstride();
    for (int x = 0; x < pixels->get_width(); ++x) {
      const guint8* p = row + x * pixels->get_n_channels();
      if (p[3] > 200 && p[0] > 180 && p[2] < 120) ++yellow;
    }
  }
  EXPECT_GT(yellow, EmojiIcon::kSize * EmojiIcon::kSize / 8);

  EXPECT_EQ(icon.iconFor("\u2600\uFE0F 22\u00B0"), sun);
  EXPECT_EQ(icon.iconFor("Offline"), sun) << "a title without emoji keeps the icon";
  EXPECT_EQ(inodeOf(sun), drawn) << "redrawn without a change";

  const std::string warning = icon.iconFor("\u26A0\uFE0F Offline");
  EXPECT_EQ(warning, folder / "stratovane-emoji-26a0-fe0f.png");
  EXPECT_NE(inodeOf(warning), 0u);
}

TEST_F(EmojiIconTest, AFolderThatCannotBeWrittenGivesNoIcon) {
  EmojiIcon icon((folder / "missing").string());
  EXPECT_EQ(icon.iconFor("\u2600\uFE0F 21\u00B0"), "");
}

}  // namespace
}  // namespace stratovane
