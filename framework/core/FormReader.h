// Reading form descriptions: a readable text of nested blocks
//
//   object SplashScreen: TSplashScreen
//     Caption = 'SplashScreen'
//     Font.Height = -11
//     BorderIcons = []
//     OnCreate = FormCreate
//     object Panel1: TPanel
//       Align = alClient
//     end
//     object SkinStore1: TSkinStore
//       Store = <
//         item
//           Name = 'SkinItem0'
//           DataStream = {D4E80100...}
//         end>
//     end
//   end
//
// Values: integers (-11, $FF), named integer constants (clBtnFace), enumeration and Boolean names,
// sets [a, b], strings ('It''s', #13#10, joined with +), string lists ('a' 'b'), collections
// <item ... end>, binary blocks {hex} for defined properties, component references by name, and
// methods of the root by name.
//
// Components are created by registered class name in description order, owned by the root and
// given the enclosing object as parent component. Each is csLoading until the end and csReading
// while its block is read. Once everything is read (references resolved), Loaded runs on every
// component read, the root first. On any error nothing created by the read is left behind and
// EReadError (EParserError for syntax) says the line and, for a value, the property.
#pragma once

#include "framework/core/Component.h"

#include <string_view>

DECLARE_EXCEPTION(EDescriptionError, EReadError);

// Reads a description into an existing root (its class must be the header's class or descend
// from it).
void ReadComponentText(std::string_view Text, TComponent* Root);

// Creates the root from the description's (registered) class, owned by Owner, and reads it.
TComponent* CreateComponentFromText(std::string_view Text, TComponent* Owner);
