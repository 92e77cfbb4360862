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
  const std::pair<const char*, const char*> cases[] = {
      {"\u2600\uFE0F 21\u00B0 clear sky", "\u2600\uFE0F"},  // with its presentation selector
      {"\u23F1 Fetching...", "\u23F1"},
      {"\U0001F327\uFE0F 9\u00B0", "\U0001F327\uFE0F"},
      {"\U0001F3F3\uFE0F\u200D\U0001F308x", "\U0001F3F3\uFE0F\u200D\U0001F308"},  // a sequence
      {"1\uFE0F\u20E3 keycap", ""},  // emoji, but not a pictograph
      {"21\u00B0", ""},
      {"\xF0\x9F", ""},  // cut-off UTF-8
  };
  for (const auto& [title, emoji] : cases) EXPECT_EQ(gtk::leadingEmoji(title), emoji) << title;
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
  // In colour: the middle of the sun is an opaque yellow.
  const guint8* middle = pixels->get_pixels() + EmojiIcon::kSize / 2 * pixels->get_rowstride() +
                         EmojiIcon::kSize / 2 * pixels->get_n_channels();
  EXPECT_TRUE(middle[3] == 255 && middle[0] > 200 && middle[1] > 150 && middle[2] < 100)
      << int(middle[0]) << "," << int(middle[1]) << "," << int(middle[2]) << "," << int(middle[3]);

  EXPECT_EQ(icon.iconFor("\u2600\uFE0F 22\u00B0"), sun);
  EXPECT_EQ(icon.iconFor("Offline"), sun) << "a title without emoji keeps the icon";
  EXPECT_EQ(inodeOf(sun), drawn) << "redrawn without a change";

  const std::string warning = icon.iconFor("\u26A0\uFE0F Offline");
  EXPECT_EQ(warning, folder / "stratovane-emoji-26a0-fe0f.png");
  EXPECT_NE(inodeOf(warning), 0u);
}

}  // namespace
}  // namespace stratovane
