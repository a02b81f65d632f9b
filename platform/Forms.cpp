#include "Forms.h"

#include <algorithm>

#include "FormDescription.h"

const TEnumInfo FormBorderStyleInfo = {{"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}};
const TEnumInfo PositionInfo = {{"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter"}};

// ---------------------------------------------------------------- TCustomForm

void TForm::DeclareProperties(TProps<TForm>& P) {
    // A form stores its client size, not its outer size.
    P.Integer("Width", &TForm::Width, &TForm::SetWidth).StoredIf([](TForm*) { return false; })
        .Integer("Height", &TForm::Height, &TForm::SetHeight).StoredIf([](TForm*) { return false; })
        .Enum("BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle, FormBorderStyleInfo, bsSizeable)
        .String("Caption", &TForm::GetText, &TForm::SetText)
        .Integer("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight)
        .Integer("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth)
        .Integer("Color", &TForm::Color, &TForm::SetColor, clBtnFace, &ColorIdents)
        .Boolean("ParentColor", &TForm::ParentColor, &TForm::SetParentColor, false)
        .Boolean("ParentFont", &TForm::ParentFont, &TForm::SetParentFont, false)
        .Enum("Position", &TForm::Position, &TForm::SetPosition, PositionInfo, poDesigned)
        .Boolean("Visible", &TForm::Visible, &TForm::SetVisible, false)
        .Event("OnClose", &TForm::OnClose)
        .Event("OnCloseQuery", &TForm::OnCloseQuery)
        .Event("OnShow", &TForm::OnShow)
        .Event("OnHide", &TForm::OnHide);
}

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    SetVisibleFlag(false);
    SetBounds(0, 0, 320, 240);
    SetColor(clBtnFace);
    SetParentFont(false);
}

TCustomForm::~TCustomForm() {
    if (modal_) modal_ = false;
}

static void FormStyles(TFormBorderStyle border, DWORD& style, DWORD& exStyle) {
    style = WS_CLIPCHILDREN;
    exStyle = 0;
    switch (border) {
        case bsNone: style |= WS_POPUP; break;
        case bsSingle: style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_BORDER; break;
        case bsSizeable: style |= WS_OVERLAPPEDWINDOW; break;
        case bsDialog:
            style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
            exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
            break;
        case bsToolWindow: style |= WS_CAPTION | WS_SYSMENU; exStyle |= WS_EX_TOOLWINDOW; break;
        case bsSizeToolWin: style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME; exStyle |= WS_EX_TOOLWINDOW; break;
    }
}

void TCustomForm::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    FormStyles(borderStyle_, Params.Style, Params.ExStyle);
    if (!Enabled()) Params.Style |= WS_DISABLED;
    Params.Id = 0;
    Params.WndParent = nullptr;
    TCustomForm* mainForm = Application ? Application->MainForm() : nullptr;
    if (mainForm && mainForm != this && mainForm->HandleAllocated()) Params.WndParent = mainForm->Handle();
    else if (mainForm != this) Params.WndParent = nullptr;
    switch (position_) {
        case poDefault:
        case poDefaultPosOnly:
            Params.X = CW_USEDEFAULT;
            Params.Y = CW_USEDEFAULT;
            break;
        case poScreenCenter:
            Params.X = (GetSystemMetrics(SM_CXSCREEN) - Width()) / 2;
            Params.Y = (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2;
            break;
        default:
            break;
    }
    Params.WindowClass.style = CS_DBLCLKS;
}

// The outer size of a window of this border style for a client size.
static TSize OuterSize(TFormBorderStyle border, int clientWidth, int clientHeight) {
    DWORD style, exStyle;
    FormStyles(border, style, exStyle);
    RECT r = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return TSize(r.right - r.left, r.bottom - r.top);
}

void TCustomForm::CreateWnd() {
    TWinControl::CreateWnd();
    // Make the client area exactly what was asked for, whatever the frame is.
    if (clientWidth_ >= 0) SetClientWidth(clientWidth_);
    if (clientHeight_ >= 0) SetClientHeight(clientHeight_);
}

TRect TCustomForm::ClientRect() {
    if (HandleAllocated()) return TWinControl::ClientRect();
    // No window yet: the outer size less the frame of the border style.
    TSize frame = OuterSize(borderStyle_, 0, 0);
    return TRect(0, 0, std::max(0, Width() - static_cast<int>(frame.cx)), std::max(0, Height() - static_cast<int>(frame.cy)));
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    if (HandleAllocated()) RecreateWnd();
    if (clientWidth_ >= 0) SetClientWidth(clientWidth_);
    if (clientHeight_ >= 0) SetClientHeight(clientHeight_);
}

void TCustomForm::SetClientWidth(int value) {
    clientWidth_ = value;
    if (HandleAllocated()) {
        RECT client, outer;
        GetClientRect(Handle(), &client);
        GetWindowRect(Handle(), &outer);
        SetWidth(value + (outer.right - outer.left) - client.right);
    } else {
        SetWidth(OuterSize(borderStyle_, value, 0).cx);
    }
}

void TCustomForm::SetClientHeight(int value) {
    clientHeight_ = value;
    if (HandleAllocated()) {
        RECT client, outer;
        GetClientRect(Handle(), &client);
        GetWindowRect(Handle(), &outer);
        SetHeight(value + (outer.bottom - outer.top) - client.bottom);
    } else {
        SetHeight(OuterSize(borderStyle_, 0, value).cy);
    }
}

void TCustomForm::VisibleChanging() {
    if (Visible()) {
        HandleNeeded();
        ShowWindow(Handle(), SW_SHOWNORMAL);
        SetForegroundWindow(Handle());
        SelectFirst();
        if (OnShow) OnShow(this);
    } else if (HandleAllocated()) {
        if (OnHide) OnHide(this);
        ShowWindow(Handle(), SW_HIDE);
    }
}

void TCustomForm::Show() {
    SetVisible(true);
    if (HandleAllocated()) BringWindowToTop(Handle());
}

void TCustomForm::SelectFirst() {
    TWinControl* target = activeControl_;
    if (!target || !target->CanFocus()) target = FindNextControl(nullptr, true, true, false);
    if (target) target->SetFocus();
}

namespace {
// The application's other top-level windows, disabled while a modal form shows.
struct TDisabledWindows {
    HWND except;
    std::vector<HWND> windows;
};

BOOL CALLBACK DisableWindow(HWND window, LPARAM data) {
    auto* d = reinterpret_cast<TDisabledWindows*>(data);
    if (window != d->except && IsWindowVisible(window) && IsWindowEnabled(window)) {
        d->windows.push_back(window);
        EnableWindow(window, FALSE);
    }
    return TRUE;
}
}  // namespace

TModalResult TCustomForm::ShowModal() {
    if (Visible() || modal_) throw EComponentError("Cannot make a visible window modal");
    if (GetCapture()) ReleaseCapture();
    modal_ = true;
    modalResult_ = mrNone;
    TDisabledWindows disabled{Handle(), {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&disabled));
    auto finish = [&] {
        for (HWND w : disabled.windows)
            if (IsWindow(w)) EnableWindow(w, TRUE);
        SetVisible(false);
        modal_ = false;
    };
    try {
        Show();
        while (true) {
            Application->HandleMessage();
            if (Application->Terminated()) {
                if (modalResult_ == mrNone) modalResult_ = mrCancel;
                break;
            }
            if (modalResult_ != mrNone) {
                // Closing may still be refused (OnCloseQuery, OnClose with caNone).
                TCloseAction action = caNone;
                if (CloseQuery()) {
                    action = caHide;
                    DoClose(action);
                }
                if (action == caNone) modalResult_ = mrNone;
                else break;
            }
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    return modalResult_;
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose) OnClose(this, Action);
}

void TCustomForm::Close() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    bool isMain = Application && Application->MainForm() == this;
    TCloseAction action = isMain ? caFree : caHide;
    DoClose(action);
    if (action == caNone) return;
    if (isMain) {
        Application->Terminate();
        return;
    }
    switch (action) {
        case caHide: Hide(); break;
        case caMinimize: if (HandleAllocated()) ShowWindow(Handle(), SW_MINIMIZE); break;
        case caFree: Application->Release(this); break;
        default: break;
    }
}

void TCustomForm::SetActiveControl(TWinControl* control) {
    if (control && !ContainsControl(control)) throw EComponentError("Invalid active control");
    activeControl_ = control;
    if (control && HandleAllocated() && IsWindowVisible(Handle()) && control->CanFocus()) ::SetFocus(control->Handle());
}

void TCustomForm::FocusControl(TWinControl* control) {
    if (!control) return;
    if (HandleAllocated() && IsWindowVisible(Handle())) {
        if (control->CanFocus()) ::SetFocus(control->Handle());
    } else {
        activeControl_ = control;
    }
}

void TCustomForm::DefocusControl(TWinControl* control, bool removing) {
    if (!control) return;
    if (activeControl_ && control->ContainsControl(activeControl_)) activeControl_ = removing ? nullptr : activeControl_;
    if (focusedControl_ && control->ContainsControl(focusedControl_)) focusedControl_ = removing ? nullptr : focusedControl_;
}

void TCustomForm::NotifyFocusChanged() {
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(focusedControl_));
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
    if (control == focusedControl_) return true;
    TWinControl* old = focusedControl_;
    // Exit: from the control losing the focus up to (not including) the
    // first of its parents that also holds the new one.
    for (TWinControl* c = old; c && c != this && !c->ContainsControl(control); c = c->Parent()) c->Perform(CM_EXIT);
    focusedControl_ = control;
    if (control != this) activeControl_ = control;
    // Enter: from the outermost newly entered parent down to the control.
    std::vector<TWinControl*> entered;
    for (TWinControl* c = control; c && c != this && !(old && c->ContainsControl(old)); c = c->Parent())
        entered.push_back(c);
    for (auto it = entered.rbegin(); it != entered.rend(); ++it) (*it)->Perform(CM_ENTER);
    NotifyFocusChanged();
    return true;
}

bool TCustomForm::DialogKey(WORD key, TShiftState shift) {
    switch (key) {
        case VK_TAB:
            if (shift.Contains(ssCtrl) || shift.Contains(ssAlt)) return false;
            SelectNext(focusedControl_, !shift.Contains(ssShift), true);
            return true;
        case VK_RETURN:
        case VK_ESCAPE:
            return Perform(CM_DIALOGKEY, key) != 0;
    }
    return false;
}

void TCustomForm::LoadLayout(const AnsiString& description) { ReadComponentDescription(this, description); }

void TCustomForm::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_CLOSE:
            Close();
            Message.Result = 0;
            return;
        case WM_ACTIVATE:
            if (LOWORD(Message.WParam) != WA_INACTIVE && focusedControl_ && focusedControl_ != this &&
                focusedControl_->HandleAllocated() && IsWindowVisible(focusedControl_->Handle())) {
                ::SetFocus(focusedControl_->Handle());
                Message.Result = 0;
                return;
            }
            break;
    }
    TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------- TApplication

namespace {
TApplication gApplication;
constexpr UINT kReleaseMessage = WM_APP + 1;  // LParam: a form to free

LRESULT CALLBACK AppWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kReleaseMessage) {
        delete reinterpret_cast<TCustomForm*>(lParam);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
}  // namespace

TApplication* Application = &gApplication;

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() {
    DestroyComponents();
    if (handle_) DestroyWindow(handle_);
}

HWND TApplication::Handle() {
    if (!handle_) {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSEXA existing{};
        existing.cbSize = sizeof(existing);
        if (!GetClassInfoExA(instance, "TApplication", &existing)) {
            WNDCLASSEXA wc{};
            wc.cbSize = sizeof(wc);
            wc.lpfnWndProc = AppWndProc;
            wc.hInstance = instance;
            wc.lpszClassName = "TApplication";
            RegisterClassExA(&wc);
        }
        handle_ = CreateWindowExA(0, "TApplication", title_.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                                  nullptr);
    }
    return handle_;
}

void TApplication::Release(TCustomForm* form) { PostMessageA(Handle(), kReleaseMessage, 0, reinterpret_cast<LPARAM>(form)); }

AnsiString TApplication::ExeName() const { return ProgramFileName(); }

int TApplication::MessageBox(const AnsiString& Text, const AnsiString& Caption, UINT Flags) {
    HWND owner = GetActiveWindow();
    return ::MessageBoxA(owner, Text.c_str(), Caption.c_str(), Flags);
}

void TApplication::HandleException(TObject* Sender, const Exception& E) {
    if (OnException) OnException(Sender, E);
    else ShowException(E);
}

void TApplication::ShowException(const Exception& E) {
    AnsiString title = title_.empty() ? AnsiString("Error") : title_;
    MessageBox(E.Message, title, MB_OK | MB_ICONSTOP);
}

void TApplication::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == mainForm_) mainForm_ = nullptr;
}

bool TApplication::ProcessMessage(MSG& msg) {
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return false;
    }
    bool handled = false;
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_TAB || msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
        // Dialog keys, unless the focused window wants them itself.
        LRESULT code = SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
        bool wanted = (code & DLGC_WANTALLKEYS) || (msg.wParam == VK_TAB && (code & DLGC_WANTTAB));
        if (!wanted) {
            HWND w = msg.hwnd;
            TWinControl* control = nullptr;
            while (w && !(control = TWinControl::FindControl(w))) w = GetParent(w);
            if (TCustomForm* form = GetParentForm(control)) {
                try {
                    handled = form->DialogKey(static_cast<WORD>(msg.wParam), KeyboardStateToShiftState());
                } catch (const Exception& e) {
                    HandleException(form, e);
                    handled = true;
                }
            }
        }
    }
    if (!handled) {
        TranslateMessage(&msg);
        if (IsWindowUnicode(msg.hwnd)) DispatchMessageW(&msg);
        else DispatchMessageA(&msg);
    }
    return true;
}

// Takes the next message, in the character set of the window it is for.
static bool PeekNext(MSG& msg) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) return false;
    if (msg.hwnd == nullptr || IsWindowUnicode(msg.hwnd)) return PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE;
    return PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekNext(msg)) {
        if (!ProcessMessage(msg)) break;
    }
}

void TApplication::HandleMessage() {
    MSG msg;
    if (PeekNext(msg)) {
        ProcessMessage(msg);
        return;
    }
    // Idle: the mouse may have left a control without telling it.
    try {
        CheckMouseLeave();
    } catch (const Exception& e) {
        HandleException(this, e);
    }
    if (!terminated_) WaitMessage();
}

void TApplication::Run() {
    terminated_ = false;
    if (mainForm_) mainForm_->Show();
    while (!terminated_) HandleMessage();
}

void TApplication::Terminate() {
    terminated_ = true;
    // Wake a loop waiting for messages.
    PostMessageA(Handle(), WM_NULL, 0, 0);
}
