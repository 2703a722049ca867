// Grids: rows and columns of cells that we paint ourselves.
//
// TCustomGrid lays out ColCount x RowCount cells of DefaultColWidth x DefaultRowHeight; the first
// FixedCols columns and FixedRows rows are fixed (painted in FixedColor and never scrolled), the
// rest is painted in Color and scrolls by whole cells. The scroll bars show when the cells do not
// fit the client area. TDrawGrid hands the painting of each cell to OnDrawCell; TStringGrid keeps
// a text per cell and draws it.
#pragma once

#include "framework/controls/Controls.h"

#include <map>
#include <string>
#include <utility>

PUBLISHED_ENUM(TGridDrawStateItem, gdSelected, gdFocused, gdFixed)
using TGridDrawState = TSet<TGridDrawStateItem>;
using TDrawCellEvent = TEvent<void(TObject* Sender, int ACol, int ARow, RECT Rect, TGridDrawState State)>;

class TCustomGrid : public TCustomControl {
    DECLARE_CLASS(TCustomGrid, TCustomControl)
public:
    explicit TCustomGrid(TComponent* AOwner);
    ~TCustomGrid() override;

    int ColCount() const { return FColCount; }
    void SetColCount(int Value);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    // The cells' default size scales with the grid.
    void ChangeScale(int M, int D) override;
    // The lines between cells (0: none).
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value);
    // The colour of the lines between scrolling cells (the fixed cells' lines are black).
    TColor GridLineColor() const { return FGridLineColor; }
    void SetGridLineColor(TColor Value);

    // The first scrolling column and row shown.
    int LeftCol() const { return FLeftCol; }
    void SetLeftCol(int Value);
    int TopRow() const { return FTopRow; }
    void SetTopRow(int Value);
    // The selected cell.
    int Col() const { return FCol; }
    void SetCol(int Value);
    int Row() const { return FRow; }
    void SetRow(int Value);

    // Where a cell is in client coordinates (empty when it is scrolled out of view).
    RECT CellRect(int ACol, int ARow) const;
    // The cell under a client point; false outside every cell.
    bool MouseToCell(int X, int Y, int& ACol, int& ARow) const;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void Paint() override;
    virtual void DrawCell(int ACol, int ARow, const RECT& Rect, TGridDrawState State);

private:
    // The scroll bars' ranges and pages from the cells and the client size.
    void UpdateScrollBars();
    void SizeChanged();
    void Scroll(int Bar, int Code);
    // The left edge of column ACol (the top edge of row ARow) as laid out, ignoring visibility.
    int ColumnLeft(int ACol) const;
    int RowTop(int ARow) const;

    int FColCount = 5;
    int FRowCount = 5;
    int FFixedCols = 1;
    int FFixedRows = 1;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    int FGridLineWidth = 1;
    TColor FFixedColor = clBtnFace;
    TColor FGridLineColor = clSilver;
    int FLeftCol = 1;
    int FTopRow = 1;
    int FCol = 1;
    int FRow = 1;
    bool FUpdatingBars = false;
};

class TDrawGrid : public TCustomGrid {
    DECLARE_CLASS(TDrawGrid, TCustomGrid)
public:
    explicit TDrawGrid(TComponent* AOwner);
    ~TDrawGrid() override;

    // Draws a cell instead of the grid's plain fill when set.
    const TDrawCellEvent& OnDrawCell() const { return FOnDrawCell; }
    void SetOnDrawCell(TDrawCellEvent Value) { FOnDrawCell = Value; }

protected:
    void DrawCell(int ACol, int ARow, const RECT& Rect, TGridDrawState State) override;

private:
    TDrawCellEvent FOnDrawCell;
};

class TStringGrid : public TDrawGrid {
    DECLARE_CLASS(TStringGrid, TDrawGrid)
public:
    explicit TStringGrid(TComponent* AOwner);
    ~TStringGrid() override;

    std::string Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const std::string& Value);

protected:
    void DrawCell(int ACol, int ARow, const RECT& Rect, TGridDrawState State) override;

private:
    std::map<std::pair<int, int>, std::string> FCells;
};
