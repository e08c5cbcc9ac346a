// Everything a window needs to declare its widgets.
//
// A window is a Form (derived from it, or holding one) whose widgets are
// declared in one place, with the numbers of its design. Each add<Kind>
// takes the common Props first (geometry, caption, hint, font, colours,
// tag, visibility, handlers, in that order) and then the kind's Options:
//
//   TForm1::TForm1(HintManager& hints)
//       : Form({.caption = "Redoviri by DUZOVU", .clientWidth = 353, .clientHeight = 311,
//               .topmost = true, .hints = &hints}) {
//     Label2 = &add<Label>({.left = 15, .top = 4, .width = 316, .height = 18,
//                           .hint = "This the date of now", .font = Font::Arial(13),
//                           .fontColour = colours::White},
//                          {.align = Align::Center});
//     calp = &add<Panel>({.left = 18, .top = 95, .width = 317, .height = 198,
//                         .font = Font::Arial(13)},
//                        {.border = BorderStyle::Single});
//     Timer2 = &addTimer({.interval = 60000, .onTimer = [this] { Timer2Timer(); }});
//   }
//
// Handlers are std::function members: bound in the declaration
// (.onClick = [this] { Panel2Click(); }) or assigned later. The widgets
// live as long as their form; the pointers add returns stay valid.
#pragma once

#include "widgets/bitmap.h"
#include "widgets/controls.h"
#include "widgets/edit.h"
#include "widgets/font.h"
#include "widgets/form.h"
#include "widgets/gdi.h"
#include "widgets/hint.h"
#include "widgets/string_grid.h"
#include "widgets/widget.h"
