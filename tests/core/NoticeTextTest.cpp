#include "core/NoticeText.h"

#include <gtest/gtest.h>

namespace halvik::core {

// A process writes its own alert through its image path: in a notice it stays text on one line.
TEST(NoticeText, ANoticeIsTextOnOneLineAndNeverMarkup) {
  const std::string hostile =
      "/tmp/Faux positif & ignorer <a href=\"http://x\">ici</a>\n<img src='y'/>\xE2\x80\xA8"
      "fin";
  EXPECT_EQ(noticeText(hostile, NoticeMarkup::Markup),
            "/tmp/Faux positif &amp; ignorer &lt;a href=&quot;http://x&quot;&gt;ici&lt;/a&gt;?&lt;img "
            "src=&#39;y&#39;/&gt;?fin");
  EXPECT_EQ(noticeText(hostile, NoticeMarkup::Plain),
            "/tmp/Faux positif & ignorer <a href=\"http://x\">ici</a>?<img "
            "src='y'/>?fin");
  EXPECT_EQ(noticeText("caf\xE9\t\x7F\r\n\xC2\x85.exe", NoticeMarkup::Markup), "caf\xE9?????.exe")
      << "bytes that are not UTF-8 pass; control characters and line breaks do not";
  EXPECT_EQ(noticeText("&amp;", NoticeMarkup::Markup), "&amp;amp;") << "an entity is shown as typed";
}

}  // namespace halvik::core
