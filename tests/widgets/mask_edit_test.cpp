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
    date->SetFocus();
    EXPECT_TRUE(PumpUntil([&] { return date->Focused(); }));
    date->SetSelection(0, 0);
    changes = 0;
  }

  // The field holds incomplete text typed by the user.
  void TypeIncomplete() {
    Type(date->Handle(), "1225200");
    ASSERT_FALSE(date->IsComplete());
  }

  // Shows that no report comes within a while: this waits on purpose.
  void ExpectNoReportFor(DWORD ms) {
    PumpFor(ms);
    EXPECT_EQ(invalid, 0);
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

// Typed keys over what the field held: the caption after each.
TEST_F(MaskEditTest, TypedKeysOverEarlierContent) {
  MaskEdit& time = form.Add<MaskEdit>({.left = 10, .top = 50, .width = 36, .height = 21, .caption = "00:00"},
                                      {.mask = "!99:99;1;_"});
  struct Case {
    MaskEdit* field;
    const char* before;
    int selStart, selEnd;
    const char* typed;
    const char* after;
  };
  const Case cases[] = {
      {date, "12/25/2003", 0, 0, "1/05/2003", "_1/05/2003"},
      {date, "12/25/2003", 0, 10, "1/5/2004", "_1/_5/2004"},
      {date, "12/25/2003", 4, 4, "/", "12/_2/2003"},
      {date, "1_/__/2003", 0, 0, "3/7/", "_3/_7/2003"},
      {date, "__/__/____", 0, 0, "25122003", "25/12/2003"},
      {&time, "18:30", 0, 0, "8:15", "_8:15"},
      {&time, "18:30", 3, 5, "4", "18:4_"},
      {&time, "18:30", 1, 1, ":", "_1:30"},
  };
  for (const Case& c : cases) {
    c.field->SetFocus();
    c.field->SetText(c.before);
    c.field->SetSelection(c.selStart, c.selEnd);
    Type(c.field->Handle(), c.typed);
    EXPECT_EQ(c.field->EditText(), c.after) << "\"" << c.typed << "\" over \"" << c.before << "\"";
  }
}

TEST_F(MaskEditTest, LeavingAnIncompleteChangedFieldComplainsOnceAndStays) {
  TypeIncomplete();
  other->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return invalid > 0; }, 2000));
  EXPECT_EQ(lastMessage, "Invalid input value.  Use escape key to abandon changes");
  EXPECT_TRUE(date->Focused());
  // The caret waits at the missing digit.
  EXPECT_EQ(date->Selection(), std::make_pair(9, 9));
  // No second report without a new move of the focus: this waits on purpose.
  PumpFor(200);
  EXPECT_EQ(invalid, 1);
  // The program losing activation and getting it back is no such move.
  SetFocus(nullptr);
  date->SetFocus();
  PumpFor(200);
  EXPECT_EQ(invalid, 1);
  // Moving to the other control again is.
  other->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return invalid == 2; }, 2000));
  EXPECT_TRUE(date->Focused());
}

// Where the focus goes when it leaves an incomplete field, and whether that
// is a move to another control of the window (the only one reported).
TEST_F(MaskEditTest, LosingActivationIsNotLeavingTheField) {
  // Nothing has the focus: the program was deactivated.
  TypeIncomplete();
  SetFocus(nullptr);
  ExpectNoReportFor(200);

  // Another window of the program (as a message box is).
  Form second(TestForm(100, 60));
  Edit& elsewhere = second.Add<Edit>({.left = 5, .top = 5, .width = 80, .height = 22});
  second.ShowInactive();
  date->SetFocus();
  elsewhere.SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return elsewhere.Focused(); }));
  ExpectNoReportFor(200);

  // A window of another thread (as another program's is) in front.
  SetForegroundWindow(form.Handle());
  date->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return date->Focused() && GetForegroundWindow() == form.Handle(); }));
  {
    const redoviri::test::OtherThreadWindow foreign;
    ASSERT_TRUE(PumpUntil([&] { return foreign.Ready() && !date->Focused(); }));
    ExpectNoReportFor(200);
  }

  // And after all that the field still knows its change: the move to
  // the other control reports it.
  date->SetFocus();
  other->SetFocus();
  EXPECT_TRUE(PumpUntil([&] { return invalid == 1; }, 2000));
}

// The real message box: closed with OK, it does not come back.
TEST_F(MaskEditTest, TheMessageBoxComesOnceAndOkEndsIt) {
  date->onInvalid = nullptr;
  // As where a user typed: the field's window is the active one.
  SetForegroundWindow(form.Handle());
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == form.Handle(); }));
  TypeIncomplete();
  const redoviri::test::MessageBoxAnswerer answerer;
  other->SetFocus();
  // The answerer presses OK some 50 ms after the box shows, quicker than
  // a loaded window manager may have mapped it: openbox then can leave no
  // window active once the box is gone. What counts is that the field has
  // the keyboard whenever its window is active, as after a user's click.
  const auto settled = [&] { return answerer.Count() > 0 && (date->Focused() || !GetActiveWindow()); };
  const auto activateAgain = [&] {
    if (GetActiveWindow()) return;
    SetForegroundWindow(form.Handle());
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == form.Handle(); }));
  };
  ASSERT_TRUE(PumpUntil(settled));
  activateAgain();
  EXPECT_TRUE(PumpUntil([&] { return date->Focused(); }));
  // No second box: this waits on purpose, long enough for a window
  // manager to move the activation back.
  PumpFor(1000);
  EXPECT_EQ(answerer.Count(), 1u);
  activateAgain();
  EXPECT_TRUE(PumpUntil([&] { return date->Focused(); }));
  EXPECT_EQ(answerer.Count(), 1u) << "coming back to the window raises no box";
  // Escape goes back to the text the field had when it was entered.
  SendMessageA(date->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(date->EditText(), "__/__/____");
}

TEST_F(MaskEditTest, EscapeAbandonsTheChanges) {
  date->SetText("25/12/2003");
  other->SetFocus();
  date->SetFocus();  // entering: the text to go back to
  date->SetSelection(6, 10);
  SendMessageA(date->Handle(), WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(date->EditText(), "25/12/____");
  // Losing activation on the way changes nothing of that.
  SetFocus(nullptr);
  date->SetFocus();
  SendMessageA(date->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(date->EditText(), "25/12/2003");
  other->SetFocus();
  ExpectNoReportFor(100);
}

TEST_F(MaskEditTest, AnUntouchedIncompleteFieldMayBeLeft) {
  other->SetFocus();
  ExpectNoReportFor(100);
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
