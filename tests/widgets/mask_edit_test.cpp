#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "widget_test_support.h"
#include "widgets/widgets.h"

namespace redoviri::widgets {
namespace {

using test::PumpFor;
using test::PumpUntil;
using test::TestForm;

void Type(HWND hwnd, const std::string& chars) {
  for (const char c : chars) SendMessageA(hwnd, WM_CHAR, static_cast<unsigned char>(c), 0);
}

void PutOnClipboard(HWND owner, const std::string& text) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(GlobalLock(mem), text.c_str(), text.size() + 1);
  GlobalUnlock(mem);
  SetClipboardData(CF_TEXT, mem);
  CloseClipboard();
}

class MaskEditTest : public ::testing::Test {
 protected:
  MaskEditTest() : form(TestForm(300, 100)) {
    date = &form.add<MaskEdit>({.left = 10, .top = 10, .width = 104, .height = 30, .font = Font::Arial(19)},
                               {.mask = "!99/99/0000;1;_", .onChange = [this] { ++changes; }});
    other = &form.add<Edit>({.left = 150, .top = 10, .width = 100, .height = 22});
    date->onInvalid = [this](MaskEdit&, const std::string& message) {
      ++invalid;
      lastMessage = message;
    };
    form.showInactive();
    PumpFor(30);
    date->setFocus();
    date->setSelection(0, 0);
    changes = 0;
  }

  Form form;
  MaskEdit* date;
  Edit* other;
  int changes = 0;
  int invalid = 0;
  std::string lastMessage;
};

TEST_F(MaskEditTest, StartsBlankAndTypingDigitsGivesTheDate) {
  EXPECT_EQ(date->editText(), "__/__/____");
  Type(date->handle(), "12252003");
  EXPECT_EQ(date->editText(), "12/25/2003");
  EXPECT_EQ(date->text(), "12/25/2003");
  EXPECT_TRUE(date->isComplete());
  EXPECT_EQ(changes, 8);
}

TEST_F(MaskEditTest, LettersAreRefusedAndLiteralsSkipped) {
  Type(date->handle(), "1x2");
  EXPECT_EQ(date->editText(), "12/__/____");
  EXPECT_EQ(date->selection(), std::make_pair(3, 3));  // past the "/"
  Type(date->handle(), "/3");  // the slash just skipped: no change
  EXPECT_EQ(date->editText(), "12/3_/____");
  EXPECT_EQ(date->text(), "12/3 /    ");
}

TEST_F(MaskEditTest, BackspaceAndDeleteClearInPlace) {
  Type(date->handle(), "12252003");
  date->setSelection(3, 3);
  SendMessageA(date->handle(), WM_CHAR, '\b', 0);
  EXPECT_EQ(date->editText(), "1_/25/2003");
  EXPECT_EQ(date->selection(), std::make_pair(1, 1));
  date->setSelection(6, 8);
  SendMessageA(date->handle(), WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(date->editText(), "1_/25/__03");
}

TEST_F(MaskEditTest, PastedTextGoesThroughTheMask) {
  PutOnClipboard(form.handle(), "25/12/2003");
  date->selectAll();
  SendMessageA(date->handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(date->text(), "25/12/2003");
  PutOnClipboard(form.handle(), "ab");
  date->selectAll();
  SendMessageA(date->handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(date->editText(), "__/__/____");
}

TEST_F(MaskEditTest, SetTextFitsTheValueIntoTheMask) {
  date->setText("25/12/2003");
  EXPECT_EQ(date->editText(), "25/12/2003");
  EXPECT_EQ(changes, 1);
  // The day count's mask keeps spaces as its blanks.
  MaskEdit& days = form.add<MaskEdit>({.left = 10, .top = 50, .width = 30, .height = 21, .caption = "0  "},
                                      {.mask = "999;1; "});
  EXPECT_EQ(days.editText(), "0  ");
  EXPECT_EQ(days.text(), "0  ");
  EXPECT_EQ(SendMessageA(days.handle(), EM_GETLIMITTEXT, 0, 0), 3);
}

TEST_F(MaskEditTest, LeavingAnIncompleteChangedFieldComplainsAndStays) {
  Type(date->handle(), "1225200");
  other->setFocus();
  ASSERT_TRUE(PumpUntil([&] { return invalid > 0; }, 2000));
  EXPECT_EQ(lastMessage, "Invalid input value.  Use escape key to abandon changes");
  EXPECT_TRUE(date->focused());
  // The caret waits at the missing digit.
  EXPECT_EQ(date->selection(), std::make_pair(9, 9));
  PumpFor(50);
  EXPECT_EQ(invalid, 1);
}

TEST_F(MaskEditTest, EscapeAbandonsTheChanges) {
  date->setText("25/12/2003");
  other->setFocus();
  date->setFocus();  // entering: the text to go back to
  date->setSelection(6, 10);
  SendMessageA(date->handle(), WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(date->editText(), "25/12/____");
  SendMessageA(date->handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(date->editText(), "25/12/2003");
  other->setFocus();
  PumpFor(80);
  EXPECT_EQ(invalid, 0);
}

TEST_F(MaskEditTest, AnUntouchedIncompleteFieldMayBeLeft) {
  other->setFocus();
  PumpFor(80);
  EXPECT_EQ(invalid, 0);
  EXPECT_TRUE(other->focused());
}

TEST_F(MaskEditTest, ReadOnlyFieldsTakeNoTyping) {
  MaskEdit& fixed = form.add<MaskEdit>({.left = 10, .top = 50, .width = 60, .height = 21, .caption = "01"},
                                       {.mask = "!00;1;_", .readOnly = true});
  Type(fixed.handle(), "5");
  SendMessageA(fixed.handle(), WM_CHAR, '\b', 0);
  EXPECT_EQ(fixed.text(), "01");
}

}  // namespace
}  // namespace redoviri::widgets
