// Resource ids of Redoviri's bitmaps and icons.
// Written by tools/gen_pictures.py together with redoviri.rc; edit the
// generator, not this file.
//
// Transparent bitmaps (moon marks, legend overlays, details-panel icons)
// use magenta RGB(255, 0, 255) as their key colour. IDR_SPLASHSHAPE is the
// splash window's outline as stored with it (a byte count and RGNDATA).
#pragma once

#define IDI_REDOVIRI       1
#define IDB_TOPBAR         201
#define IDB_BOTTOMBAR      202
#define IDB_LEFTBAR        203
#define IDB_RIGHTBAR       204
#define IDB_CLOSETOP       205
#define IDB_CLOSEBOTTOM    206
#define IDB_LEGEND         207
#define IDB_LEGENDHEAD     208
#define IDB_LEGENDPANEL    209
#define IDB_SPLASH         210
#define IDR_SPLASHSHAPE    213
#define IDB_NEWMOON        211
#define IDB_FULLMOON       212
#define IDB_EVENTOK        221
#define IDB_IBIRTH         222
#define IDB_IWOR           223
#define IDB_IREL           224
#define IDB_IFEE           225
#define IDB_IOTH           226
#define IDB_EVENTOKTO      227
#define IDB_IBIRTO         228
#define IDB_IWORTO         229
#define IDB_IRELTO         230
#define IDB_IFEETO         231
#define IDB_IOTHTO         232
#define IDB_IMULTO         233
#define IDB_IMUL           234
#define IDB_EVENTSEL       241
#define IDB_IBIRTHSEL      242
#define IDB_IWORSEL        243
#define IDB_IRELSEL        244
#define IDB_IFEESEL        245
#define IDB_IOTHSEL        246
#define IDB_IMULSEL        254
#define IDB_ICLOV          261
#define IDB_ICBIR          262
#define IDB_ICWOR          263
#define IDB_ICREL          264
#define IDB_ICFEE          265
#define IDB_ICOTH          266
#define IDB_CHECKMARK      271
#define IDB_RADIOMARK      272
#define IDB_ABOUTBACK      281
#define IDB_FIGURE1        282
#define IDB_FIGURE2        283
#define IDB_LEGENDLIST     291
#define IDB_LISTHEAD       292
#define IDB_LEGENDLOW      293
#define IDB_GUP            301
#define IDB_GDOWN          302
#define IDB_GTODAY         303
#define IDB_GADD           304
#define IDB_GMONTH         305
#define IDB_GCHOOSE        306
#define IDB_GBACK          307
#define IDB_GDELETE        308

#define IDB_DAYMARK_BASE 220
#define IDB_SELECTED_BASE 240

#ifndef RC_INVOKED
namespace redoviri::resources {

inline constexpr unsigned long kTransparentKey = 0x00FF00FFul;  // RGB(255, 0, 255)

enum class PictureKind { Bitmap, Icon };

struct PictureInfo {
  int id;
  PictureKind kind;
  const char* name;
  int width;   // of the bitmap at 100 %; of the 32 x 32 image of an icon
  int height;
};

inline constexpr PictureInfo kPictures[] = {
    {IDI_REDOVIRI, PictureKind::Icon, "redoviri", 32, 32},
    {IDB_TOPBAR, PictureKind::Bitmap, "topbar", 353, 22},
    {IDB_BOTTOMBAR, PictureKind::Bitmap, "bottombar", 353, 15},
    {IDB_LEFTBAR, PictureKind::Bitmap, "leftbar", 15, 274},
    {IDB_RIGHTBAR, PictureKind::Bitmap, "rightbar", 15, 274},
    {IDB_CLOSETOP, PictureKind::Bitmap, "closetop", 20, 22},
    {IDB_CLOSEBOTTOM, PictureKind::Bitmap, "closebottom", 20, 20},
    {IDB_LEGEND, PictureKind::Bitmap, "legend", 11, 32},
    {IDB_LEGENDHEAD, PictureKind::Bitmap, "legendhead", 46, 20},
    {IDB_LEGENDPANEL, PictureKind::Bitmap, "legendpanel", 322, 22},
    {IDB_SPLASH, PictureKind::Bitmap, "splash", 241, 127},
    {IDB_NEWMOON, PictureKind::Bitmap, "newmoon", 16, 16},
    {IDB_FULLMOON, PictureKind::Bitmap, "fullmoon", 16, 16},
    {IDB_EVENTOK, PictureKind::Bitmap, "eventok", 44, 28},
    {IDB_IBIRTH, PictureKind::Bitmap, "ibirth", 44, 28},
    {IDB_IWOR, PictureKind::Bitmap, "iwor", 44, 28},
    {IDB_IREL, PictureKind::Bitmap, "irel", 44, 28},
    {IDB_IFEE, PictureKind::Bitmap, "ifee", 44, 28},
    {IDB_IOTH, PictureKind::Bitmap, "ioth", 44, 28},
    {IDB_EVENTOKTO, PictureKind::Bitmap, "eventokto", 44, 28},
    {IDB_IBIRTO, PictureKind::Bitmap, "ibirto", 44, 28},
    {IDB_IWORTO, PictureKind::Bitmap, "iworto", 44, 28},
    {IDB_IRELTO, PictureKind::Bitmap, "irelto", 44, 28},
    {IDB_IFEETO, PictureKind::Bitmap, "ifeeto", 44, 28},
    {IDB_IOTHTO, PictureKind::Bitmap, "iothto", 44, 28},
    {IDB_IMULTO, PictureKind::Bitmap, "imulto", 44, 28},
    {IDB_IMUL, PictureKind::Bitmap, "imul", 44, 28},
    {IDB_EVENTSEL, PictureKind::Bitmap, "eventsel", 44, 28},
    {IDB_IBIRTHSEL, PictureKind::Bitmap, "ibirthsel", 44, 28},
    {IDB_IWORSEL, PictureKind::Bitmap, "iworsel", 44, 28},
    {IDB_IRELSEL, PictureKind::Bitmap, "irelsel", 44, 28},
    {IDB_IFEESEL, PictureKind::Bitmap, "ifeesel", 44, 28},
    {IDB_IOTHSEL, PictureKind::Bitmap, "iothsel", 44, 28},
    {IDB_IMULSEL, PictureKind::Bitmap, "imulsel", 44, 28},
    {IDB_ICLOV, PictureKind::Bitmap, "iclov", 16, 16},
    {IDB_ICBIR, PictureKind::Bitmap, "icbir", 16, 16},
    {IDB_ICWOR, PictureKind::Bitmap, "icwor", 15, 14},
    {IDB_ICREL, PictureKind::Bitmap, "icrel", 16, 16},
    {IDB_ICFEE, PictureKind::Bitmap, "icfee", 15, 16},
    {IDB_ICOTH, PictureKind::Bitmap, "icoth", 16, 16},
    {IDB_CHECKMARK, PictureKind::Bitmap, "checkmark", 17, 17},
    {IDB_RADIOMARK, PictureKind::Bitmap, "radiomark", 17, 17},
    {IDB_ABOUTBACK, PictureKind::Bitmap, "aboutback", 396, 342},
    {IDB_FIGURE1, PictureKind::Bitmap, "figure1", 83, 69},
    {IDB_FIGURE2, PictureKind::Bitmap, "figure2", 83, 69},
    {IDB_LEGENDLIST, PictureKind::Bitmap, "legendlist", 376, 27},
    {IDB_LISTHEAD, PictureKind::Bitmap, "listhead", 367, 21},
    {IDB_LEGENDLOW, PictureKind::Bitmap, "legendlow", 376, 43},
    {IDB_GUP, PictureKind::Bitmap, "gup", 9, 5},
    {IDB_GDOWN, PictureKind::Bitmap, "gdown", 9, 5},
    {IDB_GTODAY, PictureKind::Bitmap, "gtoday", 16, 16},
    {IDB_GADD, PictureKind::Bitmap, "gadd", 16, 16},
    {IDB_GMONTH, PictureKind::Bitmap, "gmonth", 16, 16},
    {IDB_GCHOOSE, PictureKind::Bitmap, "gchoose", 16, 16},
    {IDB_GBACK, PictureKind::Bitmap, "gback", 16, 16},
    {IDB_GDELETE, PictureKind::Bitmap, "gdelete", 24, 24},
};

// Every icon has images of these sizes (a bitmap is drawn for other
// screens at run time: base/pictures.h).
inline constexpr int kIconSizes[] = {16, 20, 24, 32, 40, 48, 64};

// Details-panel icon of a category (1..6).
constexpr int CategoryPanelIconId(int category) { return IDB_ICLOV + category - 1; }
// Picture of a day mark code 1..14 in the normal look.
constexpr int DayMarkPictureId(int code) { return IDB_DAYMARK_BASE + code; }
// Picture of a day mark code 1..6 or 14 in the selected look.
constexpr int SelectedDayMarkPictureId(int code) { return IDB_SELECTED_BASE + code; }

}  // namespace redoviri::resources
#endif
