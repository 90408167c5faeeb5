#include <gtest/gtest.h>

#include "ui/Cdlg.h"
#include "ui/Form1.h"
#include "ui/TextDecode.h"

namespace quaverly::ui {
namespace {

TEST(TextDecode, Utf8WhereValidElseWindows1252LineByLine) {
  EXPECT_EQ(DecodeForDisplay("Ni\xC3\xB1o"), QStringLiteral("Ni\u00F1o"));
  EXPECT_EQ(DecodeForDisplay("\x93Ni\xF1o\x94 \x80"),
            QStringLiteral("\u201CNi\u00F1o\u201D \u20AC"));
  EXPECT_EQ(DecodeForDisplay(std::string("a\0b", 3)), QStringView(u"a\0b", 3).toString());
  // A lone lead byte at the end is not UTF-8.
  EXPECT_EQ(DecodeForDisplay("caf\xC3"), QStringLiteral("caf\u00C3"));
  EXPECT_EQ(DisplayText("Gr\xC3\xBC\xC3\x9F\r\nGr\xFC\xDF\r\n\rx"),
            QStringLiteral("Gr\u00FC\u00DF\nGr\u00FC\u00DF\n\nx"));
  EXPECT_EQ(DisplayText(""), "");
}

TEST(Cdlg, FilterListBecomesQtFiltersWithUpperCaseNames) {
  EXPECT_EQ(Cdlg::ToQtFilter(kMidiFilter),
            "All Midi Files (*.mid *.MID *.kar *.KAR *.kar.mid *.KAR.MID);;"
            "Midi (*.mid *.MID);;Karaoke (*.kar *.KAR);;"
            "Karaoke With Midi Type (*.kar.mid *.KAR.MID)");
  EXPECT_EQ(Cdlg::ToQtFilter("All Files (*.*)|*.*"), "All Files (*)");
}

}  // namespace
}  // namespace quaverly::ui
