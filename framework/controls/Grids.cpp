#include "framework/controls/Grids.h"

#include "framework/core/Published.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// TCustomGrid

IMPLEMENT_CLASS(TCustomGrid)

void TCustomGrid::Publish(TClassBuilder<TCustomGrid>& b)
{
    b.Property("ColCount", &TCustomGrid::ColCount, &TCustomGrid::SetColCount)
        .Property("RowCount", &TCustomGrid::RowCount, &TCustomGrid::SetRowCount)
        .Property("FixedCols", &TCustomGrid::FixedCols, &TCustomGrid::SetFixedCols)
        .Property("FixedRows", &TCustomGrid::FixedRows, &TCustomGrid::SetFixedRows)
        .Property("DefaultColWidth", &TCustomGrid::DefaultColWidth, &TCustomGrid::SetDefaultColWidth)
        .Property("DefaultRowHeight", &TCustomGrid::DefaultRowHeight, &TCustomGrid::SetDefaultRowHeight)
        .Property("GridLineWidth", &TCustomGrid::GridLineWidth, &TCustomGrid::SetGridLineWidth)
        .Property("FixedColor", &TCustomGrid::FixedColor, &TCustomGrid::SetFixedColor, &ColorTypeInfo())
        .Property("GridLineColor", &TCustomGrid::GridLineColor, &TCustomGrid::SetGridLineColor, &ColorTypeInfo());
}

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetControlStyle(TControlStyle{csOpaque, csClickEvents, csDoubleClicks});
    FTabStop = true;
    FColor = clWindow;
    SetBounds(FLeft, FTop, 320, 120);
}

TCustomGrid::~TCustomGrid() = default;

int TCustomGrid::ColumnLeft(int ACol) const
{
    return ACol * (FDefaultColWidth + FGridLineWidth);
}

int TCustomGrid::RowTop(int ARow) const
{
    return ARow * (FDefaultRowHeight + FGridLineWidth);
}

namespace {

struct TBars {
    bool Horizontal = false;
    bool Vertical = false;
    int Width = 0;  // the client size that leaves
    int Height = 0;
};

// Which scroll bars cells of TotalWidth x TotalHeight need in a window of Width x Height with
// the given frame (left, top, right, bottom thicknesses outside the client area and the bars).
TBars NeededBars(int TotalWidth, int TotalHeight, int Width, int Height)
{
    TBars bars;
    bars.Width = Width;
    bars.Height = Height;
    for (int pass = 0; pass < 2; ++pass) {
        if (!bars.Horizontal && TotalWidth > bars.Width) {
            bars.Horizontal = true;
            bars.Height -= GetSystemMetrics(SM_CYHSCROLL);
        }
        if (!bars.Vertical && TotalHeight > bars.Height) {
            bars.Vertical = true;
            bars.Width -= GetSystemMetrics(SM_CXVSCROLL);
        }
    }
    return bars;
}

} // namespace

void TCustomGrid::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, Params.Style, FALSE, Params.ExStyle);
    const TBars bars = NeededBars(ColumnLeft(FColCount), RowTop(FRowCount), FWidth - (frame.right - frame.left),
                                  FHeight - (frame.bottom - frame.top));
    if (bars.Horizontal)
        Params.Style |= WS_HSCROLL;
    if (bars.Vertical)
        Params.Style |= WS_VSCROLL;
}

void TCustomGrid::CreateWnd()
{
    TCustomControl::CreateWnd();
    UpdateScrollBars();
}

void TCustomGrid::UpdateScrollBars()
{
    if (!HandleAllocated() || FUpdatingBars)
        return;
    FUpdatingBars = true;
    const DWORD style = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_STYLE)) &
                        ~static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL);
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_EXSTYLE));
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const TBars bars = NeededBars(ColumnLeft(FColCount), RowTop(FRowCount), FWidth - (frame.right - frame.left),
                                  FHeight - (frame.bottom - frame.top));
    auto setBar = [&](int Bar, bool Needed, int Fixed, int Count, int Step, int Room, int First) {
        if (!Needed) {
            ShowScrollBar(FHandle, Bar, FALSE);
            return;
        }
        const int page = std::max(1, (Room - Fixed * Step) / std::max(Step, 1));
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMin = 0;
        info.nMax = std::max(0, Count - Fixed - 1);
        info.nPage = static_cast<UINT>(page);
        info.nPos = First - Fixed;
        ShowScrollBar(FHandle, Bar, TRUE);
        SetScrollInfo(FHandle, Bar, &info, TRUE);
    };
    setBar(SB_HORZ, bars.Horizontal, FFixedCols, FColCount, FDefaultColWidth + FGridLineWidth, bars.Width, FLeftCol);
    setBar(SB_VERT, bars.Vertical, FFixedRows, FRowCount, FDefaultRowHeight + FGridLineWidth, bars.Height, FTopRow);
    FUpdatingBars = false;
}

void TCustomGrid::SizeChanged()
{
    FLeftCol = std::clamp(FLeftCol, FFixedCols, std::max(FFixedCols, FColCount - 1));
    FTopRow = std::clamp(FTopRow, FFixedRows, std::max(FFixedRows, FRowCount - 1));
    FCol = std::clamp(FCol, FFixedCols, std::max(FFixedCols, FColCount - 1));
    FRow = std::clamp(FRow, FFixedRows, std::max(FFixedRows, FRowCount - 1));
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetColCount(int Value)
{
    Value = std::max(Value, 1);
    if (Value == FColCount)
        return;
    FColCount = Value;
    FFixedCols = std::min(FFixedCols, FColCount - 1);
    SizeChanged();
}

void TCustomGrid::SetRowCount(int Value)
{
    Value = std::max(Value, 1);
    if (Value == FRowCount)
        return;
    FRowCount = Value;
    FFixedRows = std::min(FFixedRows, FRowCount - 1);
    SizeChanged();
}

void TCustomGrid::SetFixedCols(int Value)
{
    Value = std::clamp(Value, 0, FColCount - 1);
    if (Value == FFixedCols)
        return;
    FFixedCols = Value;
    SizeChanged();
}

void TCustomGrid::SetFixedRows(int Value)
{
    Value = std::clamp(Value, 0, FRowCount - 1);
    if (Value == FFixedRows)
        return;
    FFixedRows = Value;
    SizeChanged();
}

void TCustomGrid::ChangeScale(int M, int D)
{
    TCustomControl::ChangeScale(M, D);
    if (M == D || M <= 0 || D <= 0)
        return;
    SetDefaultColWidth(MulDiv(FDefaultColWidth, M, D));
    SetDefaultRowHeight(MulDiv(FDefaultRowHeight, M, D));
}

void TCustomGrid::SetDefaultColWidth(int Value)
{
    Value = std::max(Value, 1);
    if (Value == FDefaultColWidth)
        return;
    FDefaultColWidth = Value;
    SizeChanged();
}

void TCustomGrid::SetDefaultRowHeight(int Value)
{
    Value = std::max(Value, 1);
    if (Value == FDefaultRowHeight)
        return;
    FDefaultRowHeight = Value;
    SizeChanged();
}

void TCustomGrid::SetGridLineWidth(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FGridLineWidth)
        return;
    FGridLineWidth = Value;
    SizeChanged();
}

void TCustomGrid::SetFixedColor(TColor Value)
{
    if (Value == FFixedColor)
        return;
    FFixedColor = Value;
    Invalidate();
}

void TCustomGrid::SetGridLineColor(TColor Value)
{
    if (Value == FGridLineColor)
        return;
    FGridLineColor = Value;
    Invalidate();
}

void TCustomGrid::SetLeftCol(int Value)
{
    Value = std::clamp(Value, FFixedCols, std::max(FFixedCols, FColCount - 1));
    if (Value == FLeftCol)
        return;
    FLeftCol = Value;
    if (HandleAllocated())
        SetScrollPos(FHandle, SB_HORZ, FLeftCol - FFixedCols, TRUE);
    Invalidate();
}

void TCustomGrid::SetTopRow(int Value)
{
    Value = std::clamp(Value, FFixedRows, std::max(FFixedRows, FRowCount - 1));
    if (Value == FTopRow)
        return;
    FTopRow = Value;
    if (HandleAllocated())
        SetScrollPos(FHandle, SB_VERT, FTopRow - FFixedRows, TRUE);
    Invalidate();
}

void TCustomGrid::SetCol(int Value)
{
    Value = std::clamp(Value, FFixedCols, std::max(FFixedCols, FColCount - 1));
    if (Value == FCol)
        return;
    FCol = Value;
    Invalidate();
}

void TCustomGrid::SetRow(int Value)
{
    Value = std::clamp(Value, FFixedRows, std::max(FFixedRows, FRowCount - 1));
    if (Value == FRow)
        return;
    FRow = Value;
    Invalidate();
}

RECT TCustomGrid::CellRect(int ACol, int ARow) const
{
    if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount)
        return RECT{};
    if ((ACol >= FFixedCols && ACol < FLeftCol) || (ARow >= FFixedRows && ARow < FTopRow))
        return RECT{};
    const int x = ACol < FFixedCols ? ColumnLeft(ACol) : ColumnLeft(FFixedCols) + ColumnLeft(ACol - FLeftCol);
    const int y = ARow < FFixedRows ? RowTop(ARow) : RowTop(FFixedRows) + RowTop(ARow - FTopRow);
    return RECT{x, y, x + FDefaultColWidth, y + FDefaultRowHeight};
}

bool TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const
{
    const int stepX = FDefaultColWidth + FGridLineWidth;
    const int stepY = FDefaultRowHeight + FGridLineWidth;
    if (X < 0 || Y < 0)
        return false;
    int col = X / stepX;
    int row = Y / stepY;
    if (col >= FFixedCols)
        col = FLeftCol + col - FFixedCols;
    if (row >= FFixedRows)
        row = FTopRow + row - FFixedRows;
    if (col >= FColCount || row >= FRowCount)
        return false;
    ACol = col;
    ARow = row;
    return true;
}

void TCustomGrid::Paint()
{
    TCanvas& canvas = *Canvas();
    const RECT client = ClientRect();
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(FColor);
    canvas.FillRect(client);
    for (int row = 0; row < FRowCount; ++row) {
        if (row >= FFixedRows && row < FTopRow)
            continue;
        for (int col = 0; col < FColCount; ++col) {
            if (col >= FFixedCols && col < FLeftCol)
                continue;
            const RECT r = CellRect(col, row);
            if (r.left >= client.right || r.top >= client.bottom)
                continue;
            const bool fixed = col < FFixedCols || row < FFixedRows;
            TGridDrawState state;
            if (fixed)
                state.Include(gdFixed);
            else if (col == FCol && row == FRow) {
                state.Include(gdSelected);
                if (Focused())
                    state.Include(gdFocused);
            }
            // The lines right of and below the cell.
            if (FGridLineWidth > 0) {
                canvas.Brush()->SetColor(fixed ? clBlack : FGridLineColor);
                canvas.FillRect(RECT{r.right, r.top, r.right + FGridLineWidth, r.bottom + FGridLineWidth});
                canvas.FillRect(RECT{r.left, r.bottom, r.right, r.bottom + FGridLineWidth});
            }
            canvas.Brush()->SetColor(fixed ? FFixedColor : state.Contains(gdSelected) ? clHighlight : FColor);
            canvas.FillRect(r);
            canvas.SetFont(Font());
            if (state.Contains(gdSelected))
                canvas.Font()->SetColor(clHighlightText);
            DrawCell(col, row, r, state);
            if (fixed) {
                RECT edge = r;
                DrawEdge(canvas.Handle(), &edge, BDR_RAISEDINNER, BF_RECT);
            }
        }
    }
}

void TCustomGrid::DrawCell(int, int, const RECT&, TGridDrawState) {}

void TCustomGrid::Scroll(int Bar, int Code)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(FHandle, Bar, &info);
    int pos = info.nPos;
    const int page = std::max(1, static_cast<int>(info.nPage));
    switch (Code) {
    case SB_LINELEFT:
        --pos;
        break;
    case SB_LINERIGHT:
        ++pos;
        break;
    case SB_PAGELEFT:
        pos -= page;
        break;
    case SB_PAGERIGHT:
        pos += page;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        pos = info.nTrackPos;
        break;
    case SB_LEFT:
        pos = info.nMin;
        break;
    case SB_RIGHT:
        pos = info.nMax;
        break;
    default:
        return;
    }
    pos = std::clamp(pos, info.nMin, std::max(info.nMin, info.nMax - page + 1));
    if (Bar == SB_HORZ)
        SetLeftCol(FFixedCols + pos);
    else
        SetTopRow(FFixedRows + pos);
}

void TCustomGrid::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_HSCROLL:
        Scroll(SB_HORZ, LOWORD(Message.WParam));
        Message.Result = 0;
        return;
    case WM_VSCROLL:
        Scroll(SB_VERT, LOWORD(Message.WParam));
        Message.Result = 0;
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    case WM_LBUTTONDOWN: {
        int col = 0;
        int row = 0;
        if (MouseToCell(Message.LParamX(), Message.LParamY(), col, row) && col >= FFixedCols && row >= FFixedRows) {
            SetCol(col);
            SetRow(row);
        }
        if (CanFocus())
            SetFocus();
        break;
    }
    case WM_KEYDOWN:
        switch (Message.WParam) {
        case VK_LEFT:
            SetCol(FCol - 1);
            break;
        case VK_RIGHT:
            SetCol(FCol + 1);
            break;
        case VK_UP:
            SetRow(FRow - 1);
            break;
        case VK_DOWN:
            SetRow(FRow + 1);
            break;
        default:
            break;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate();
        break;
    default:
        break;
    }
    TCustomControl::WndProc(Message);
    if (Message.Msg == WM_SIZE)
        UpdateScrollBars();
}

// ---------------------------------------------------------------------------------------------
// TDrawGrid, TStringGrid

IMPLEMENT_CLASS(TDrawGrid)

void TDrawGrid::Publish(TClassBuilder<TDrawGrid>& b)
{
    b.Property("OnDrawCell", &TDrawGrid::OnDrawCell, &TDrawGrid::SetOnDrawCell);
}

TDrawGrid::TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}
TDrawGrid::~TDrawGrid() = default;

void TDrawGrid::DrawCell(int ACol, int ARow, const RECT& Rect, TGridDrawState State)
{
    if (FOnDrawCell)
        FOnDrawCell(this, ACol, ARow, Rect, State);
}

IMPLEMENT_CLASS_EMPTY(TStringGrid)

TStringGrid::TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner) {}
TStringGrid::~TStringGrid() = default;

std::string TStringGrid::Cells(int ACol, int ARow) const
{
    const auto it = FCells.find({ACol, ARow});
    return it == FCells.end() ? std::string() : it->second;
}

void TStringGrid::SetCells(int ACol, int ARow, const std::string& Value)
{
    if (Value.empty())
        FCells.erase({ACol, ARow});
    else
        FCells[{ACol, ARow}] = Value;
    if (HandleAllocated()) {
        const RECT r = CellRect(ACol, ARow);
        InvalidateRect(FHandle, &r, FALSE);
    }
}

void TStringGrid::DrawCell(int ACol, int ARow, const RECT& Rect, TGridDrawState State)
{
    TDrawGrid::DrawCell(ACol, ARow, Rect, State);
    if (OnDrawCell())
        return;
    const std::string text = Cells(ACol, ARow);
    if (text.empty())
        return;
    TCanvas& canvas = *Canvas();
    canvas.Brush()->SetStyle(bsClear);
    RECT r = Rect;
    InflateRect(&r, -2, 0);
    canvas.DrawText(text, r, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    canvas.Brush()->SetStyle(bsSolid);
}
