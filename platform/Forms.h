// Forms and the application object.
#pragma once

#include <functional>

#include "Controls.h"
#include "StdCtrls.h"

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

extern const TEnumInfo FormBorderStyleInfo;
extern const TEnumInfo PositionInfo;

// A top-level window whose window class is named after its C++ class
// ("TToolForm"). A form keeps track of its focused control: every windowed
// control that gets the focus reports itself with SetFocusedControl, which
// sends CM_EXIT to the controls losing it and CM_ENTER to those gaining it
// (OnExit / OnEnter) and tells every control of the form through
// CM_FOCUSCHANGED (buttons update their default look).
//
// A derived form builds its layout from a description in its constructor:
//   TMyForm::TMyForm(TComponent* AOwner) : TForm(AOwner) {
//       PublishField("OK", OK);                 // fields by component name
//       PublishMethod("OKClick", &TMyForm::OKClick);  // handlers by name
//       LoadLayout(MyFormLayout);               // text, see FormDescription.h
//   }
class TCustomForm : public TWinControl {
    CLASS_NAME(TCustomForm)
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle value);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition value) { position_ = value; }
    TRect ClientRect() override;
    void SetClientWidth(int value) override;
    void SetClientHeight(int value) override;

    // Makes the form visible (the first control in tab order gets the focus
    // unless ActiveControl names another) and brings it to the front.
    void Show();
    // Shows the form, disables the application's other windows and runs a
    // message loop until ModalResult is set (Close and the close box set
    // mrCancel); then hides the form and returns ModalResult.
    TModalResult ShowModal();
    // Closes the form: a modal form ends its modal loop; the application's
    // main form ends the application; others hide (OnClose may change it).
    void Close();
    bool CloseQuery();
    bool Modal() const { return modal_; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }

    TWinControl* ActiveControl() const { return activeControl_; }
    // Focuses the control when the form is showing, else remembers it for Show.
    void SetActiveControl(TWinControl* control);
    // Records the focused control and sends the enter/exit notifications.
    bool SetFocusedControl(TWinControl* control);
    // Focuses a control of this form.
    void FocusControl(TWinControl* control);
    // Forgets a control that is going away (or loses the focus).
    void DefocusControl(TWinControl* control, bool removing);
    // Tells every control of the form which control has the focus (CM_FOCUSCHANGED).
    void NotifyFocusChanged();
    // Tab, Shift+Tab, Enter (the active button) and Escape (the Cancel button).
    bool DialogKey(WORD key, TShiftState shift);

    // Builds the form's components from a description (FormDescription.h):
    // the form's own properties, its components with the form as owner, then
    // binds the published fields.
    void LoadLayout(const AnsiString& description);

    void Dispatch(TMessage& Message) override;

    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DoClose(TCloseAction& Action);
    void VisibleChanging() override;

private:
    void SelectFirst();

    TFormBorderStyle borderStyle_ = bsSizeable;
    TPosition position_ = poDesigned;
    TWinControl* activeControl_ = nullptr;
    TWinControl* focusedControl_ = nullptr;
    bool modal_ = false;
    TModalResult modalResult_ = mrNone;
    int clientWidth_ = -1, clientHeight_ = -1;  // asked for before the window existed
};

class TForm : public TCustomForm {
    CLASS_NAME(TForm)
    PUBLISHED(TForm, TCustomForm)
public:
    using TCustomForm::TCustomForm;
};

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;

// The program's application object: owns the forms, runs the message loop
// and shows errors that escape event handlers.
class TApplication : public TComponent {
    CLASS_NAME(TApplication)
public:
    explicit TApplication(TComponent* AOwner = nullptr);
    ~TApplication() override;

    void Initialize() {}
    // Creates a form owned by the application; the first becomes MainForm.
    template <class T>
    void CreateForm(T*& reference) {
        T* form = new T(this);
        reference = form;
        if (!mainForm_) mainForm_ = form;
    }
    TCustomForm* MainForm() const { return mainForm_; }
    // Shows the main form and handles messages until Terminate (closing the main form).
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Handles every message waiting in the queue, then returns.
    void ProcessMessages();
    // Waits for one message and handles it.
    void HandleMessage();
    // Tab/Enter/Escape handling and dispatch of one message; false on WM_QUIT.
    bool ProcessMessage(MSG& msg);

    AnsiString Title() const { return title_; }
    void SetTitle(const AnsiString& value) { title_ = value; }
    // A hidden window of the application's own.
    HWND Handle();
    AnsiString ExeName() const;
    int MessageBox(const AnsiString& Text, const AnsiString& Caption, UINT Flags = MB_OK);

    // Frees a form once the current message has been handled.
    void Release(TCustomForm* form);

    // The standard error display: OnException when set, else ShowException.
    void HandleException(TObject* Sender, const Exception& E);
    // A message box with the error's text.
    void ShowException(const Exception& E);
    TExceptionEvent OnException;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TCustomForm* mainForm_ = nullptr;
    bool terminated_ = false;
    AnsiString title_;
    HWND handle_ = nullptr;
};

// The program's application object.
extern TApplication* Application;
