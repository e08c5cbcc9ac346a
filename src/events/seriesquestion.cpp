#include "events/seriesquestion.h"

#include <array>
#include <utility>

#include "base/colours.h"
#include "components/window_frame.h"
#include "widgets/activation.h"

namespace redoviri {

using namespace widgets;

namespace {

constexpr int kClientWidth = 440, kClientHeight = 214;
constexpr int kChoiceTop = 66, kChoicePitch = 36, kButtonWidth = 180;

}  // namespace

struct TSeriesQuestion::Controls {
  Label* title = nullptr;
  Label* lead = nullptr;
  std::array<Button*, 3> choices{};
  std::array<Label*, 3> effects{};
  Button* cancel = nullptr;
};

TSeriesQuestion::TSeriesQuestion(HintManager* hints)
    : FormWindow({.clientWidth = kClientWidth, .clientHeight = kClientHeight, .centered = false,
                  .colour = static_cast<COLORREF>(InfoOf(EventCategory::kOther).colour), .font = Font::Arial(11),
                  .borderless = true, .topmost = true, .dragBySurface = true, .hints = hints}),
      c_(std::make_unique<Controls>()) {
  Form& form = GetForm();
  Controls& c = *c_;
  AddWindowFrame(form, {.onClose = [this] { Answer(std::nullopt); }});
  c.title = &form.Add<Label>({.left = 2, .top = 2, .width = kClientWidth - 4, .height = 18, .hint = kMoveHint,
                              .font = Font::Arial(13), .fontColour = colours::White},
                             {.align = Align::Center});
  form.Add<Shape>({.left = 22, .top = 28, .width = kClientWidth - 44, .height = 148, .colour = colours::Silver},
                  {.kind = ShapeKind::RoundRect, .penColour = colours::Silver});
  c.lead = &form.Add<Label>({.left = 34, .top = 36, .width = kClientWidth - 68, .height = 20}, {.wordWrap = true});
  for (std::size_t i = 0; i < c.choices.size(); ++i) {
    const int top = kChoiceTop + kChoicePitch * static_cast<int>(i);
    c.choices[i] = &form.Add<Button>({.left = 34, .top = top, .width = kButtonWidth, .height = 20,
                                      .onClick = [this, i] { Answer(static_cast<SeriesScope>(i)); }},
                                     {.isDefault = i == 0});
    c.effects[i] = &form.Add<Label>({.left = 34 + kButtonWidth + 8, .top = top - 2, .width = kClientWidth - 76 - kButtonWidth,
                                     .height = 30},
                                    {.wordWrap = true});
  }
  c.cancel = &form.Add<Button>({.left = (kClientWidth - 75) / 2, .top = 184, .width = 75, .height = 20,
                                .caption = "Cancel", .hint = "Click to change nothing",
                                .onClick = [this] { Answer(std::nullopt); }},
                               {});
  // Enter takes the focused choice (the form presses a focused button).
  form.onEnter = [this] { Answer(SeriesScope::kOnlyThatDay); };
  form.onEscape = [this] { Answer(std::nullopt); };
}

TSeriesQuestion::~TSeriesQuestion() = default;

void TSeriesQuestion::Ask(HWND owner, const SeriesQuestion& question,
                          std::function<void(std::optional<SeriesScope>)> answered) {
  answered_ = std::move(answered);
  owner_ = owner;
  SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  Controls& c = *c_;
  c.title->SetCaption(question.title);
  // The borderless window's text, read by screen readers.
  GetForm().SetCaption(question.title + ". " + question.lead);
  c.lead->SetCaption(question.lead);
  for (std::size_t i = 0; i < c.choices.size(); ++i) {
    c.choices[i]->SetCaption(question.choices[i]);
    c.effects[i]->SetCaption(question.effects[i]);
  }
  PlaceOver(owner);
  Show();
  TakeKeyboard(Handle(), c.choices[0]->Handle());
}

void TSeriesQuestion::Answer(std::optional<SeriesScope> scope) {
  if (!Visible()) return;
  // Enter on a choice button presses it; on Cancel it cancels.
  if (scope && GetFocus() == c_->cancel->Handle()) scope.reset();
  HideBackTo(std::exchange(owner_, nullptr));
  if (auto answered = std::exchange(answered_, nullptr)) answered(scope);
}

}  // namespace redoviri
