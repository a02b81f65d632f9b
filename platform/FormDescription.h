// Form descriptions: a form's layout kept as text with the form and built
// by its constructor; and the writer that produces such text.
//
//   object ToolForm: TToolForm
//     Left = 452
//     BorderStyle = bsDialog
//     Caption = 'UpdateTool'
//     Color = clBtnFace
//     Font.Name = 'Arial'
//     Font.Style = []
//     object OK: TImButton
//       Left = 30
//       Cursor = crHandPoint
//       Caption = 'Caf'#233
//       OnClick = OKClick
//     end
//   end
//
// Values: integers (-19, $00FFFFFF), identifiers (True, taCenter, clBtnFace),
// strings in single quotes ('' is a quote) joined with #nnn character codes
// and '+' across lines, sets ([fsBold, fsItalic]). A dotted name addresses a
// property of a persistent sub-object (Font.Name, Colors.HotColor).
//
// Reading: each nested object is created by its class name (the classes of
// the form's published fields first, then RegisterClass/RegisterComponents),
// owned by the root and placed on the enclosing windowed control. Its
// properties are applied in the order they are stored, then Loaded() runs for
// every component read, and finally the root's published fields are bound by
// name. Events are bound by handler name to the root's published methods.
//
// Writing stores, in declared order, only the properties whose value differs
// from their declared default (or that have none).
//
// How a class publishes its properties (Classes.h):
//
//   class TMyButton : public TButton {
//       CLASS_NAME(TMyButton)
//       PUBLISHED(TMyButton, TButton)
//   public:
//       ...
//   };
//   void TMyButton::DeclareProperties(TProps<TMyButton>& P) {
//       P.Boolean("FocusRect", &TMyButton::FocusRect, &TMyButton::SetFocusRect, true)
//        .Enum("Looks", &TMyButton::Looks, &TMyButton::SetLooks, LooksInfo, lkNormal)
//        .Integer("Color", &TMyButton::Color, &TMyButton::SetColor, clWindow, &ColorIdents)
//        .Object("Colors", &TMyButton::Colors)
//        .Event("OnMouseEnter", &TMyButton::OnMouseEnter);
//   }
//   // Creatable by name: RegisterComponents("Corvel", {ClassOf<TMyButton>()});
//
// and a form, see Forms.h (PublishField, PublishMethod, LoadLayout).
#pragma once

#include "Classes.h"

// Builds root's properties and components from a description. Raises
// EReadError (or EClassNotFound) with the line number on a fault.
void ReadComponentDescription(TComponent* root, const AnsiString& text);

// The description of root and the components it owns; windowed controls
// enclose the controls placed on them.
AnsiString WriteComponent(TComponent* root);

// Makes the platform's own classes (TForm, TButton, TLabel, TTntLabel,
// TTntButton, TTimer) creatable by name; reading and writing call it.
void RegisterStandardClasses();

// One value as a description spells it, and back (for tests and tools).
AnsiString PropValueToText(const TPropValue& value);
TPropValue ParsePropValue(const AnsiString& text);
