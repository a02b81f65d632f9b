// The message dialog: shows the outcome of an update in two text lines with
// one OK button, modally over the confirmation dialog.
#pragma once

#include "Forms.h"
#include "ImButton.h"
#include "TntStdCtrls.h"

class TMessageBoxForm : public TForm {
    CLASS_NAME(TMessageBoxForm)
public:
    explicit TMessageBoxForm(TComponent* AOwner);

    // Published fields, bound by name from the layout.
    TTntLabel* strLab = nullptr;
    TImButton* ImButton1 = nullptr;
    TTntLabel* strLab1 = nullptr;

    void ImButton1Click(TObject* Sender);

    // Sets the two lines (8-bit texts, made wide with the ANSI code page).
    // Neither moves the labels nor shows the form; an empty text leaves its
    // line blank.
    void SetMessageText(const AnsiString& First, const AnsiString& Second);
};

// The layout of the message dialog as a form description.
extern const char* const MessageBoxFormLayout;

extern TMessageBoxForm* MessageBoxForm;
