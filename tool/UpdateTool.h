// The confirmation dialog, the program's main window, and the update that
// its OK button runs.
#pragma once

#include "Forms.h"
#include "ImButton.h"
#include "TntStdCtrls.h"

class TToolForm : public TForm {
    CLASS_NAME(TToolForm)
public:
    explicit TToolForm(TComponent* AOwner);

    // Published fields, bound by name from the layout.
    TImButton* OK = nullptr;
    TTntLabel* Label1 = nullptr;
    TTntButton* Cancel = nullptr;
    TTntLabel* Label2 = nullptr;

    // Runs the update, shows its outcome, closes the tool and starts the
    // cleanup program Tidex.exe in the working folder.
    void OKClick(TObject* Sender);
    // Closes the tool without any change.
    void CancelClick(TObject* Sender);
};

// The layout of the confirmation dialog as a form description.
extern const char* const ToolFormLayout;

extern TToolForm* ToolForm;

// The update itself: 1 when it ran to its end or the package is not newer;
// -1 when it stopped, with the failure's two lines given to MessageBoxForm.
// A failed product file puts every file replaced so far and the recorded
// version back as they were; so does an error raised by the platform, which
// then passes on.
int DoUpdate();
