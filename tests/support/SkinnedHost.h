// The fixture of the control-adaptor tests: a borderless form of its own with a form object that
// holds the adaptors, as a skinned window's would, and the skin data they paint from.
#pragma once

#include "framework/controls/Forms.h"
#include "skin/data/WinSkinData.h"
#include "skin/form/WinSkinForm.h"
#include "skin/manager/SkinManager.h"
#include "tests/support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <memory>

struct TSkinnedHostTest : ::testing::Test {
    // Staged: a child of the staging window (quick to hide); otherwise a window of its own at
    // (X, Y) in front, where real mouse input can reach it.
    void OpenHost(int X, int Y, int W, int H, bool Staged)
    {
        Data = std::make_unique<TSkinData>(nullptr);
        Host = std::make_unique<TForm>(nullptr);
        Host->SetBorderStyle(bsNone);
        if (Staged)
            Host->SetParentWindow(TTestWindows::Stage());
        Host->SetBounds(X, Y, W, H);
        Host->Show();
        if (!Staged)
            SetForegroundWindow(Host->Handle());
        Skin = std::make_unique<TWinSkinForm>();
        Skin->SetHandle(Host->Handle());
    }
    void TearDown() override
    {
        Skin.reset();
        Host.reset();
        FreeSkinManager();
        Data.reset();
    }

    std::unique_ptr<TSkinData> Data;
    std::unique_ptr<TForm> Host;
    std::unique_ptr<TWinSkinForm> Skin;
};
