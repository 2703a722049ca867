// Icons: a Windows icon handle and, when the icon came from a file, the file's bytes. Loading picks
// the image of the file that fits the system's large icon size best and keeps the bytes, so saving
// writes the file back unchanged; an icon adopted from a handle is saved as a one-image file made
// from its pixels and mask.
#pragma once

#include "framework/graphics/Graphic.h"
#include "framework/win/Handles.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class TIcon : public TGraphic {
    DECLARE_CLASS(TIcon, TGraphic)
public:
    TIcon();
    ~TIcon() override;
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;

    // The size of the image in use; 0 while the icon is empty.
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    bool Empty() const override { return !FHandle; }

    // The icon; nullptr while empty. It stays the icon's: do not destroy it.
    HICON Handle() const { return FHandle.get(); }
    // Takes Value over (the icon destroys it, on every path) and forgets any file bytes. nullptr
    // empties the icon. A handle GetIconInfo rejects raises EInvalidOperation.
    void SetHandle(HICON Value);
    // Gives the icon to the caller, who destroys it; the icon is empty afterwards.
    HICON ReleaseHandle();

    // Drawn with DrawIconEx (DI_NORMAL): masked-out pixels leave Dest as it was. Dest's
    // OnChanging/OnChange fire around it.
    void Draw(TCanvas& Dest, int X, int Y) override;
    void StretchDraw(TCanvas& Dest, const RECT& Rect) override;

    // A Windows icon file (.ico) from the position to the end of the stream. Of its images the one
    // of the system's large icon size (SM_CXICON x SM_CYICON) is taken, else the largest smaller
    // one, else the smallest; among images of one size, the one with the most colours. Invalid
    // data raises EInvalidGraphic "Icon image is not valid: REASON" and leaves the icon as it was.
    void LoadFromStream(TStream& Stream) override;
    // The bytes loaded; for an icon adopted from a handle, a one-image file of 32-bit colour rows
    // and the AND mask. An empty icon writes nothing.
    void SaveToStream(TStream& Stream) override;

    // The same from a buffer (16 MiB at most).
    void LoadFromData(const uint8_t* Data, size_t Size);

    // Another icon: its file bytes loaded again, or a copy of its handle (CopyIcon). nullptr
    // empties the icon. Anything else raises the assignment error.
    void Assign(TPersistent* Source) override;

    // The file bytes; empty for an icon adopted from a handle.
    const std::vector<uint8_t>& Data() const { return FData; }

    // The largest icon file LoadFromData accepts.
    static constexpr size_t MaxDataSize = size_t{16} << 20;

private:
    TIconHandle FHandle;
    std::vector<uint8_t> FData;
    int FWidth = 0;
    int FHeight = 0;
};
