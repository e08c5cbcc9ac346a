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
    date = &form.Add<MaskEdit>({.left = 10, .top = 10, .width = 104, .height = 30, .font = Font::Arial(19)},
                               {.mask = "!99/99/0000;1;_", .onChange = [this] { ++changes; }});
    other = &form.Add<Edit>({.left = 150, .top = 10, .width = 100, .height = 22});
    date->onInvalid = [this](MaskEdit&, const std::string& message) {
      ++invalid;
      lastMessage = message;
    };
    form.ShowInactive();
    PumpFor(30);
    date->SetFocus();
    date->SetSelection(0, 0);
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
  EXPECT_EQ(date->EditText(), "__/__/____");
  Type(date->Handle(), "12252003");
  EXPECT_EQ(date->EditText(), "12/25/2003");
  EXPECT_EQ(date->Text(), "12/25/2003");
  EXPECT_TRUE(date->IsComplete());
  EXPECT_EQ(changes, 8);
}

TEST_F(MaskEditTest, LettersAreRefusedAndLiteralsSkipped) {
  Type(date->Handle(), "1x2");
  EXPECT_EQ(date->EditText(), "12/__/____");
  EXPECT_EQ(date->Selection(), std::make_pair(3, 3));  // past the "/"
  Type(date->Handle(), "/3");  // the slash just skipped: no change
  EXPECT_EQ(date->EditText(), "12/3_/____");
  EXPECT_EQ(date->Text(), "12/3 /    ");
}

TEST_F(MaskEditTest, BackspaceAndDeleteClearInPlace) {
  Type(date->Handle(), "12252003");
  date->SetSelection(3, 3);
  SendMessageA(date->Handle(), WM_CHAR, '\b', 0);
  EXPECT_EQ(date->EditText(), "1_/25/2003");
  EXPECT_EQ(date->Selection(), std::make_pair(1, 1));
  date->SetSelection(6, 8);
  SendMessageA(date->Handle(), WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(date->EditText(), "1_/25/__03");
}

TEST_F(MaskEditTest, PastedTextGoesThroughTheMask) {
  PutOnClipboard(form.Handle(), "25/12/2003");
  date->SelectAll();
  SendMessageA(date->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(date->Text(), "25/12/2003");
  PutOnClipboard(form.Handle(), "ab");
  date->SelectAll();
  SendMessageA(date->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(date->EditText(), "__/__/____");
}

TEST_F(MaskEditTest, SetTextFitsTheValueIntoTheMask) {
  date->SetText("25/12/2003");
  EXPECT_EQ(date->EditText(), "25/12/2003");
  EXPECT_EQ(changes, 1);
  // The day count's mask keeps spaces as its blanks.
  MaskEdit& days = form.Add<MaskEdit>({.left = 10, .top = 50, .width = 30, .height = 21, .caption = "0  "},
                                      {.mask = "999;1; "});
  EXPECT_EQ(days.EditText(), "0  ");
  EXPECT_EQ(days.Text(), "0  ");
  EXPECT_EQ(SendMessageA(days.Handle(), EM_GETLIMITTEXT, 0, 0), 3);
}

TEST_F(MaskEditTest, LeavingAnIncompleteChangedFieldComplainsAndStays) {
  Type(date->Handle(), "1225200");
  other->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return invalid > 0; }, 2000));
  EXPECT_EQ(lastMessage, "Invalid input value.  Use escape key to abandon changes");
  EXPECT_TRUE(date->Focused());
  // The caret waits at the missing digit.
  EXPECT_EQ(date->Selection(), std::make_pair(9, 9));
  PumpFor(50);
  EXPECT_EQ(invalid, 1);
}

TEST_F(MaskEditTest, EscapeAbandonsTheChanges) {
  date->SetText("25/12/2003");
  other->SetFocus();
  date->SetFocus();  // entering: the text to go back to
  date->SetSelection(6, 10);
  SendMessageA(date->Handle(), WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(date->EditText(), "25/12/____");
  SendMessageA(date->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(date->EditText(), "25/12/2003");
  other->SetFocus();
  PumpFor(80);
  EXPECT_EQ(invalid, 0);
}

TEST_F(MaskEditTest, AnUntouchedIncompleteFieldMayBeLeft) {
  other->SetFocus();
  PumpFor(80);
  EXPECT_EQ(invalid, 0);
  EXPECT_TRUE(other->Focused());
}

TEST_F(MaskEditTest, ReadOnlyFieldsTakeNoTyping) {
  MaskEdit& fixed = form.Add<MaskEdit>({.left = 10, .top = 50, .width = 60, .height = 21, .caption = "01"},
                                       {.mask = "!00;1;_", .readOnly = true});
  Type(fixed.Handle(), "5");
  SendMessageA(fixed.Handle(), WM_CHAR, '\b', 0);
  EXPECT_EQ(fixed.Text(), "01");
}

}  // namespace
}  // namespace redoviri::widgets
