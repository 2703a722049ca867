// The framework classes form descriptions can name.
#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/Timer.h"
#include "framework/graphics/ImageList.h"
#include "framework/menus/Menus.h"

void RegisterFrameworkClasses()
{
    RegisterStandardControls();
    RegisterCommonControls();
    for (const TClassInfo* cls :
         {&TForm::StaticClass(), &TFrame::StaticClass(), &TTimer::StaticClass(), &TMainMenu::StaticClass(),
          &TPopupMenu::StaticClass(), &TMenuItem::StaticClass(), &TAction::StaticClass(),
          &TImageList::StaticClass()})
        RegisterComponentClass(*cls);
}
