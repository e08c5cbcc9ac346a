// Everything a window needs to declare its widgets.
//
// A window is a FormWindow: it owns a Form whose widgets are declared in one
// place, with the numbers of its design. Each Add<Kind> takes the common
// Props first (geometry, caption, hint, font, colours, tag, visibility,
// handlers, in that order) and then the kind's Options:
//
//   TForm4::TForm4(HintManager* hints)
//       : FormWindow({.caption = "Redoviri by DUZOVU", .clientWidth = 301, .clientHeight = 149,
//                     .topmost = true, .hints = hints}) {
//     Label1 = &GetForm().Add<Label>({.left = 15, .top = 4, .width = 270, .height = 18,
//                                     .hint = "Type the date", .font = Font::Arial(13),
//                                     .fontColour = colours::White},
//                                    {.align = Align::Center});
//     Timer1 = &GetForm().AddTimer({.interval = 1000, .onTimer = [this] { Timer1Timer(); }});
//   }
//
// Handlers are std::function members: bound in the declaration
// (.onClick = [this] { Panel2Click(); }) or assigned later. The widgets
// live as long as their form; the pointers Add returns stay valid. Methods
// are UpperCamel throughout; the owners of handles in gdi.h keep get() and
// reset(), like the standard library's owners.
#pragma once

#include "widgets/action_list.h"
#include "widgets/bitmap.h"
#include "widgets/controls.h"
#include "widgets/dpi.h"
#include "widgets/edit.h"
#include "widgets/font.h"
#include "widgets/form.h"
#include "widgets/gdi.h"
#include "widgets/hint.h"
#include "widgets/string_grid.h"
#include "widgets/widget.h"
