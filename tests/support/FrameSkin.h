// The skin of the window tests: every frame piece and caption-button state in its own colour, so
// that a pixel tells which piece and which state painted it; and the message pump they share.
#pragma once

#include "framework/controls/Forms.h"
#include "skin/data/WinSkinData.h"
#include "skin/form/WinSkinForm.h"
#include "skin/manager/SkinManager.h"
#include "tests/support/Pump.h"
#include "tests/support/SkinPackages.h"
#include "tests/support/WindowPixels.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The test skin's colours (0x00RRGGBB in the bitmaps).
constexpr uint32_t LeftActive = 0xC00000, LeftInactive = 0x600000;
constexpr uint32_t RightActive = 0x00C000, RightInactive = 0x006000;
constexpr uint32_t TopActive = 0x0000C0, TopInactive = 0x000060;
constexpr uint32_t BottomActive = 0xC0C000, BottomInactive = 0x606000;
constexpr uint32_t CloseFrames[4] = {0x101010, 0x202020, 0x303030, 0x404040}; // normal, pressed, hot, inactive
constexpr uint32_t MaxFrames[4] = {0x111111, 0x222222, 0x333333, 0x444444};
constexpr uint32_t Magenta = 0xFF00FF;

constexpr int BorderWidth = 6, TitleHeight = 24, BottomHeight = 5;

struct TSkinOptions {
    int TextAlignment = 0;
    int TextShift = 10;
    int TextRightClip = 0;
    bool TopTrans = true;
    bool BottomTrans = false;
    bool AnyTrans = true;
};

inline std::string Description(const TSkinOptions& o)
{
    auto trans = [&](bool On) { return std::to_string(o.AnyTrans && On ? 1 : 0); };
    return "[TitlebarSkin]\r\nSkinName=Pieces\r\n"
           "[Personality]\r\n"
           "Left=left.bmp\r\nLeftFrame=2\r\nLeftTopHeight=0\r\nLeftBotHeight=0\r\nLeftStretch=1\r\nLeftTrans=0\r\n"
           "Right=right.bmp\r\nRightFrame=2\r\nRightTopHeight=0\r\nRightBotHeight=0\r\nRightStretch=1\r\n"
           "RightTrans=0\r\n"
           "Top=top.bmp\r\nTopFrame=2\r\nTopTopHeight=8\r\nTopBotHeight=8\r\nTopStretch=1\r\nTopTrans=" +
           trans(o.TopTrans) +
           "\r\n"
           "Bottom=bottom.bmp\r\nBottomFrame=2\r\nBottomTopHeight=8\r\nBottomBotHeight=8\r\nBottomStretch=1\r\n"
           "BottomTrans=" +
           trans(o.BottomTrans) +
           "\r\n"
           "TextShift=" +
           std::to_string(o.TextShift) + "\r\nTextShiftVert=0\r\nTextRightClip=" + std::to_string(o.TextRightClip) +
           "\r\nTextAlignment=" + std::to_string(o.TextAlignment) +
           "\r\nTXTBackleft=0\r\nTXTBackRight=0\r\n"
           "[Colours]\r\nTitleTextActive=255 255 255\r\nTitleTextNoActive=255 255 0\r\nButtonFace=200 200 200\r\n"
           "[Button1]\r\nAction=0\r\nAlign=1\r\nXcoord=30\r\nYcoord=5\r\nVisibility=0\r\nVisibility1=0\r\n"
           "ButtonImage=close.bmp\r\nframe=4\r\n"
           "[Button2]\r\nAction=1\r\nAlign=1\r\nXcoord=50\r\nYcoord=5\r\nVisibility=0\r\nVisibility1=0\r\n"
           "ButtonImage=max.bmp\r\nframe=4\r\n"
           "[Button3]\r\nAction=15\r\nAlign=0\r\nXcoord=-100\r\nYcoord=0\r\nVisibility=0\r\nVisibility1=0\r\n"
           "ButtonImage=close.bmp\r\nframe=4\r\n"
           "[Button4]\r\nAction=-1\r\nAlign=0\r\nXcoord=100\r\nYcoord=5\r\nVisibility=0\r\nVisibility1=0\r\n"
           "ButtonImage=max.bmp\r\nframe=4\r\n";
}

inline std::vector<TPackageEntry> Bitmaps()
{
    // Borders: two frames each; the top and bottom strips stacked, with 4 x 4 key corners.
    auto stacked = [](int W, int H, uint32_t First, uint32_t Second) {
        return Bmp(W, H * 2, [=](int x, int y) {
            const int fy = y % H;
            if ((x < 4 || x >= W - 4) && (fy < 4 || fy >= H - 4))
                return Magenta;
            return y < H ? First : Second;
        });
    };
    auto sideBySide = [](int W, int H, const uint32_t* Colours, int Count) {
        return Bmp(W * Count, H, [=](int x, int) { return Colours[x / W]; });
    };
    const uint32_t left[2] = {LeftActive, LeftInactive}, right[2] = {RightActive, RightInactive};
    return {
        {"left.bmp", sideBySide(BorderWidth, 40, left, 2)},
        {"right.bmp", sideBySide(BorderWidth, 40, right, 2)},
        {"top.bmp", stacked(60, TitleHeight, TopActive, TopInactive)},
        {"bottom.bmp", stacked(60, BottomHeight, BottomActive, BottomInactive)},
        {"close.bmp", sideBySide(16, 14, CloseFrames, 4)},
        {"max.bmp", sideBySide(16, 14, MaxFrames, 4)},
    };
}


inline SIZE WindowSize(HWND W)
{
    RECT r{};
    GetWindowRect(W, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

inline SIZE ClientSize(HWND W)
{
    RECT r{};
    GetClientRect(W, &r);
    return SIZE{r.right, r.bottom};
}

// Shows W with Command and lets the messages that follow run.
inline void Show(HWND W, int Command)
{
    ShowWindow(W, Command);
    Pump(150);
}


// Forms of their own, skinned by the manager under its hook from the test skin.
struct TSkinnedFormsTest : ::testing::Test {
    void SetUp() override
    {
        SetCursorPos(0, 0); // off every frame
        Data = std::make_unique<TSkinData>(nullptr);
    }
    void TearDown() override
    {
        Forms.clear();
        FreeSkinManager();
        Data.reset();
    }

    // Loads the test skin and switches skinning on; the manager and its hook come with it.
    void StartSkinning(const TSkinOptions& Options = {})
    {
        ASSERT_TRUE(LoadSkinPackage(*Data, Description(Options), Bitmaps()));
        Data->SkinChanged();
        Manager = SkinManager();
        ASSERT_NE(Manager, nullptr);
        Manager->SetCurrentSkinData(nullptr);
        Manager->SetActivationCount(0);
        Data->SetActive(true);
        ASSERT_TRUE(Manager->SkinningOn());
    }

    TForm& NewForm(int ClientWidth = 300, int ClientHeight = 160, const std::string& Caption = "Pieces")
    {
        Forms.push_back(std::make_unique<TForm>(nullptr));
        TForm& form = *Forms.back();
        form.SetCaption(Caption);
        form.SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
        form.SetBounds(100 + 40 * static_cast<int>(Forms.size()), 100, 400, 300);
        form.SetClientWidth(ClientWidth);
        form.SetClientHeight(ClientHeight);
        form.HandleNeeded();
        return form;
    }

    // Shows the form (its activation goes through the hook) and lets the start message in.
    TWinSkinForm* ShowSkinned(TForm& Form)
    {
        Form.Show();
        // Under Wine the X server's focus events come after the activation and can move it
        // again (to a window still going from the test before): wait until it stays with us.
        int steady = 0;
        for (int i = 0; i < 100 && steady < 8; ++i) {
            if (GetForegroundWindow() == Form.Handle()) {
                ++steady;
            } else {
                steady = 0;
                SetForegroundWindow(Form.Handle());
                SetActiveWindow(Form.Handle());
            }
            Pump(25);
        }
        Pump(100);
        return Manager->FindSkinForm(Form.Handle());
    }

    std::unique_ptr<TSkinData> Data;
    TSkinManage* Manager = nullptr;
    std::vector<std::unique_ptr<TForm>> Forms;
};
