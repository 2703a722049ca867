// Menu items measured and drawn from the skin: the menu-item element (frame 1 a normal item,
// frame 2 a separator, frame 4 the selected item) laid over the piece of the popup's skinned
// background under the item, then the glyph or check mark, the caption and the short-cut.
//
// Framework items are drawn from their properties; a native item (a bare window's menu, or one the
// framework's menu does not have) through a temporary framework item made from it (NativeMenuItem).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

class TCanvas;
class TMenuItem;
class TSkinData;

// The calling thread's item bitmaps, and the popup background it composed last, freed (when its
// skin stops: they are made again at the next item drawn).
void FreeMenuPaintState() noexcept;

// OnMeasureItem of a framework popup-menu component's item: the framework's proposal, wider.
void MeasurePopupItem(int& Width, int& Height);
// WM_MEASUREITEM of a menu-bar popup item the framework has (Canvas has the menu font).
void MeasureMenuItem(TMenuItem& Item, TCanvas& Canvas, int& Width, int& Height);
// WM_MEASUREITEM of any other menu-bar popup item; Menu holds it (searched by command).
void MeasureNativeMenuItem(HMENU Menu, MEASUREITEMSTRUCT& Info);

// A framework item in R of Canvas (client coordinates of its popup); Menu is the native menu that
// holds it (its popup's background is looked up by it).
void DrawSkinnedMenuItem(TSkinData& Data, TMenuItem& Item, HMENU Menu, TCanvas& Canvas, const RECT& R,
                         bool Selected);
// A native item, through its temporary framework item; a separator is drawn as an item whose text
// routine draws the line.
void DrawNativeMenuItem(TSkinData& Data, HMENU Menu, TMenuItem& Item, bool Selected, const RECT& R, TCanvas& Canvas);
// Without the skin's menu-item element: the skin's colours only.
void DrawPlainMenuItem(TSkinData& Data, TMenuItem& Item, TCanvas& Canvas, bool Selected, const RECT& R);
// A framework separator: frame 2 of the menu-item element, its bottom rows, ends unscaled.
void DrawMenuSeparator(TSkinData& Data, TCanvas& Canvas, const RECT& R);
// Glyph or check mark, caption and short-cut of Item in R.
void DrawMenuItemContent(TSkinData& Data, TMenuItem& Item, TCanvas& Canvas, bool Selected, const RECT& R);
// One text of Item (or, for "-", the separator line) with Format; with DT_CALCRECT, R becomes the
// measured box.
void DrawMenuItemText(TSkinData& Data, TMenuItem& Item, TCanvas& Canvas, UINT Format, bool Selected, RECT& R,
                      const std::string& Text);
// A framework item without owner made from the native item Id of Menu: caption ("-" for an item
// without text), short-cut (the text after a tab), enabled, checked and default states.
std::unique_ptr<TMenuItem> NativeMenuItem(HMENU Menu, UINT Id);
