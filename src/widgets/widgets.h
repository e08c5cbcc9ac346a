// Everything a window needs to declare its widgets.
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
