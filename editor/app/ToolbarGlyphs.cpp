#include "editor/app/ToolbarGlyphs.h"

#include "editor/app/EditorGlyphs.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

#include <array>

namespace ToolbarGlyphs {
namespace {

using EditorGlyphs::Line;
using EditorGlyphs::Solid;

// The glyphs' key colour: what is drawn in it lets the button show through.
constexpr TColor SeeThrough = clOlive;

void Outlined(TCanvas& Canvas, TColor Fill, TColor Outline, int Left, int Top, int Right, int Bottom)
{
    Canvas.Pen.Color = Outline;
    Canvas.Brush.Style = bsSolid;
    Canvas.Brush.Color = Fill;
    Canvas.Rectangle(Left, Top, Right, Bottom);
}

void Disc(TCanvas& Canvas, TColor Fill, TColor Outline, int Left, int Top, int Right, int Bottom)
{
    Canvas.Pen.Color = Outline;
    Canvas.Brush.Style = bsSolid;
    Canvas.Brush.Color = Fill;
    Canvas.Ellipse(Left, Top, Right, Bottom);
}

// A sheet of paper with a folded corner.
void Page(TCanvas& Canvas, int Left, int Top)
{
    Canvas.Pen.Color = clBlack;
    Canvas.Brush.Style = bsSolid;
    Canvas.Brush.Color = clWhite;
    Canvas.Polygon({{Left, Top}, {Left + 7, Top}, {Left + 10, Top + 3}, {Left + 10, Top + 13}, {Left, Top + 13}});
    Line(Canvas, clBlack, 1, {{Left + 7, Top}, {Left + 7, Top + 3}, {Left + 10, Top + 3}});
}

// A small picture: a framed sky with a green hill.
void Picture(TCanvas& Canvas, int Left, int Top, int Width, int Height)
{
    Outlined(Canvas, clSkyBlue, clBlack, Left, Top, Left + Width, Top + Height);
    Solid(Canvas, clGreen,
          {{Left + 1, Top + Height - 2}, {Left + Width / 2, Top + Height / 2}, {Left + Width - 2, Top + Height - 2}});
}

void PlayTriangle(TCanvas& Canvas, int Left)
{
    Solid(Canvas, TColor(0x00A000), {{Left, 2}, {Left + 9, 8}, {Left, 14}});
}

void New(TCanvas& Canvas) { Page(Canvas, 3, 1); }

void Open(TCanvas& Canvas)
{
    Solid(Canvas, TColor(0x0080C0), {{1, 3}, {6, 3}, {7, 5}, {14, 5}, {14, 14}, {1, 14}});
    Solid(Canvas, clYellow, {{3, 8}, {15, 8}, {13, 14}, {1, 14}});
}

void Save(TCanvas& Canvas)
{
    Outlined(Canvas, clNavy, clBlack, 1, 1, 15, 15);
    Outlined(Canvas, clWhite, clWhite, 4, 2, 12, 7);
    Outlined(Canvas, clSilver, clSilver, 5, 10, 11, 15);
}

// Three sliders: the show's settings.
void Settings(TCanvas& Canvas)
{
    for (int row = 0; row < 3; ++row) {
        const int y = 3 + row * 5;
        Line(Canvas, clBlack, 1, {{1, y}, {15, y}});
        const int knob = 4 + row * 4 - (row == 2 ? 6 : 0);
        Outlined(Canvas, clSilver, clBlack, knob, y - 2, knob + 4, y + 3);
    }
}

void AddPictures(TCanvas& Canvas)
{
    Picture(Canvas, 0, 1, 11, 9);
    Line(Canvas, TColor(0x00A000), 3, {{12, 8}, {12, 15}});
    Line(Canvas, TColor(0x00A000), 3, {{9, 12}, {15, 12}});
}

void RemovePictures(TCanvas& Canvas)
{
    Picture(Canvas, 0, 1, 11, 9);
    Line(Canvas, TColor(0x0000D0), 3, {{8, 12}, {15, 12}});
}

// A name field with the text cursor in it.
void Rename(TCanvas& Canvas)
{
    Outlined(Canvas, clWhite, clBlack, 0, 4, 16, 12);
    Line(Canvas, clNavy, 1, {{2, 10}, {4, 6}, {6, 10}});
    Line(Canvas, clNavy, 1, {{8, 6}, {8, 10}, {10, 10}, {10, 8}, {8, 8}});
    Line(Canvas, clBlack, 1, {{12, 2}, {12, 14}});
    Line(Canvas, clBlack, 1, {{11, 2}, {14, 2}});
    Line(Canvas, clBlack, 1, {{11, 14}, {14, 14}});
}

void SortMode(TCanvas& Canvas)
{
    Solid(Canvas, clNavy, {{1, 6}, {5, 1}, {9, 6}});
    Line(Canvas, clNavy, 2, {{5, 5}, {5, 14}});
    Solid(Canvas, clMaroon, {{7, 10}, {11, 15}, {15, 10}});
    Line(Canvas, clMaroon, 2, {{11, 2}, {11, 11}});
}

void Edit(TCanvas& Canvas)
{
    Picture(Canvas, 0, 0, 10, 9);
    Solid(Canvas, clYellow, {{5, 13}, {12, 6}, {14, 8}, {7, 15}});
    Solid(Canvas, clBlack, {{3, 15}, {5, 13}, {7, 15}});
}

void Print(TCanvas& Canvas)
{
    Outlined(Canvas, clWhite, clBlack, 4, 1, 12, 7);
    Outlined(Canvas, clSilver, clBlack, 1, 6, 15, 12);
    Outlined(Canvas, clWhite, clBlack, 4, 10, 12, 15);
    Canvas.SetPixels(13, 8, clLime);
}

void FullSize(TCanvas& Canvas)
{
    Line(Canvas, clBlack, 3, {{9, 9}, {14, 14}});
    Disc(Canvas, clWhite, clBlack, 1, 1, 11, 11);
    Line(Canvas, clNavy, 1, {{4, 6}, {8, 6}});
    Line(Canvas, clNavy, 1, {{6, 4}, {6, 8}});
}

void Catalog(TCanvas& Canvas)
{
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 2; ++column)
            Picture(Canvas, column * 8, 1 + row * 7, 7, 6);
}

void Start(TCanvas& Canvas) { PlayTriangle(Canvas, 4); }

void StartAtMarked(TCanvas& Canvas)
{
    Outlined(Canvas, clNavy, clNavy, 2, 2, 5, 14);
    PlayTriangle(Canvas, 6);
}

void CompactDisc(TCanvas& Canvas)
{
    Disc(Canvas, clSilver, clBlack, 1, 1, 15, 15);
    Line(Canvas, clWhite, 1, {{4, 7}, {6, 4}});
    Disc(Canvas, SeeThrough, clBlack, 6, 6, 10, 10);
}

void Html(TCanvas& Canvas)
{
    Disc(Canvas, TColor(0xE0A040), clNavy, 1, 1, 15, 15);
    Canvas.Brush.Style = bsClear;
    Canvas.Pen.Color = clNavy;
    Canvas.Ellipse(5, 1, 11, 15);
    Line(Canvas, clNavy, 1, {{1, 8}, {15, 8}});
    Line(Canvas, clNavy, 1, {{8, 1}, {8, 15}});
}

// One picture becomes another: two sheets with an arrow between them.
void Convert(TCanvas& Canvas)
{
    Outlined(Canvas, clWhite, clBlack, 0, 1, 7, 10);
    Outlined(Canvas, clYellow, clBlack, 9, 6, 16, 15);
    Line(Canvas, clMaroon, 1, {{4, 12}, {7, 12}});
    Solid(Canvas, clMaroon, {{7, 10}, {9, 12}, {7, 14}});
}

void Sound(TCanvas& Canvas)
{
    Line(Canvas, clBlack, 2, {{7, 12}, {7, 2}, {13, 1}, {13, 10}});
    Disc(Canvas, clBlack, clBlack, 2, 10, 8, 15);
    Disc(Canvas, clBlack, clBlack, 9, 8, 15, 13);
}

void Import(TCanvas& Canvas)
{
    Outlined(Canvas, clGray, clBlack, 0, 4, 16, 14);
    Outlined(Canvas, clGray, clBlack, 3, 2, 8, 5);
    Disc(Canvas, clNavy, clBlack, 5, 6, 12, 13);
    Canvas.SetPixels(7, 8, clWhite);
}

void Wallpaper(TCanvas& Canvas)
{
    Outlined(Canvas, clSilver, clBlack, 0, 1, 16, 12);
    Picture(Canvas, 2, 3, 12, 7);
    Outlined(Canvas, clSilver, clBlack, 5, 12, 11, 15);
}

// Shows stacked into a list.
void Manager(TCanvas& Canvas)
{
    for (int step = 2; step >= 0; --step)
        Picture(Canvas, step * 2, 6 - step * 3, 10, 8);
}

using TPainter = void (*)(TCanvas&);
constexpr std::array<TPainter, ButtonCount> Painters = {
    New,         Open, Save,    Settings, AddPictures, RemovePictures, Rename,
    SortMode,    Edit, Print,   FullSize, Catalog,     Start,          StartAtMarked,
    CompactDisc, Html, Convert, Sound,    Import,      Wallpaper,      Manager,
};

} // namespace

bool Paint(TBitmap& Bitmap, int Index)
{
    if (Index < 0 || Index >= ButtonCount)
        return false;
    EditorGlyphs::PaintOnKey(Bitmap, Painters[static_cast<std::size_t>(Index)]);
    return true;
}

} // namespace ToolbarGlyphs
