// Form descriptions: building a form from its text (classes by name,
// owners and parents, values of every kind, events and fields by name, the
// order properties are stored in), writing them back, and the errors.
#include <gtest/gtest.h>

#include <memory>

#include "ExtCtrls.h"
#include "FormDescription.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TntStdCtrls.h"
#include "WindowingTestSupport.h"

namespace {

enum TLook { lkNormal, lkFlat, lkBevel };
const TEnumInfo LookInfo = {{"lkNormal", "lkFlat", "lkBevel"}};

// Two interacting properties: setting Looks switches FocusRect on, and
// Looks is declared after FocusRect.
class TOrderButton : public TButton {
    CLASS_NAME(TOrderButton)
    PUBLISHED(TOrderButton, TButton)
public:
    using TButton::TButton;
    bool FocusRect() const { return focusRect_; }
    void SetFocusRect(bool v) { focusRect_ = v; }
    TLook Looks() const { return looks_; }
    void SetLooks(TLook v) {
        looks_ = v;
        focusRect_ = true;
    }

private:
    bool focusRect_ = true;
    TLook looks_ = lkNormal;
};
void TOrderButton::DeclareProperties(TProps<TOrderButton>& P) {
    P.Boolean("FocusRect", &TOrderButton::FocusRect, &TOrderButton::SetFocusRect, true)
        .Enum("Looks", &TOrderButton::Looks, &TOrderButton::SetLooks, LookInfo, lkNormal);
}

const char* const kLayout = R"(object SampleForm: TSampleForm
  Left = 452
  Top = 299
  BorderStyle = bsDialog
  Caption = 'UpdateTool'
  ClientHeight = 180
  ClientWidth = 341
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -19
  Font.Name = 'Arial'
  Font.Style = []
  object Label1: TTntLabel
    Left = 8
    Top = 40
    Width = 8
    Height = 16
    Alignment = taCenter
    Caption = 'Caf'#233' '#26085#26412
    Transparent = True
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -16
    Font.Name = 'MS Gothic'
    Font.Style = [fsBold, fsItalic]
    ParentFont = False
  end
  object OK: TOrderButton
    Left = 30
    Top = 116
    Width = 115
    Height = 35
    Cursor = crHandPoint
    Caption = 'It''s ' +
      'OK'
    Color = -2147483633
    TabOrder = 1
    OnClick = OKClick
    FocusRect = False
    Looks = lkFlat
  end
  object Cancel: TTntButton
    Left = 191
    Top = 116
    Width = 115
    Height = 35
    BiDiMode = bdLeftToRight
    ParentBiDiMode = False
    TabOrder = 0
    OnClick = CancelClick
  end
  object Ticker: TTimer
    Interval = 200
    OnTimer = Tick
  end
end
)";

class TSampleForm : public TForm {
    CLASS_NAME(TSampleForm)
public:
    TSampleForm(TComponent* owner, const AnsiString& layout) : TForm(owner) {
        PublishField("OK", OK);
        PublishField("Label1", Label1);
        PublishField("Cancel", Cancel);
        PublishMethod("OKClick", &TSampleForm::OKClick);
        PublishMethod("CancelClick", &TSampleForm::CancelClick);
        PublishMethod("Tick", &TSampleForm::Tick);
        LoadLayout(layout);
    }
    TOrderButton* OK = nullptr;
    TTntLabel* Label1 = nullptr;
    TTntButton* Cancel = nullptr;
    std::vector<AnsiString> clicks;

    void OKClick(TObject* sender) { clicks.push_back("OK " + static_cast<TComponent*>(sender)->Name()); }
    void CancelClick(TObject*) { clicks.push_back("Cancel"); }
    void Tick(TObject*) { clicks.push_back("Tick"); }
};

}  // namespace

TEST(Description, BuildsTheFormItsComponentsAndBindsFieldsAndEvents) {
    RegisterClass(ClassOf<TTimer>());
    auto form = std::make_unique<TSampleForm>(nullptr, kLayout);
    EXPECT_EQ(form->Name(), "SampleForm");
    EXPECT_EQ(form->BorderStyle(), bsDialog);
    EXPECT_EQ(form->Left(), 452);
    EXPECT_EQ(form->Caption(), "UpdateTool");
    EXPECT_EQ(form->Font()->Name(), "Arial");
    EXPECT_EQ(form->Font()->Height(), -19);
    EXPECT_EQ(form->Color(), clBtnFace);
    form->HandleNeeded();
    EXPECT_EQ(form->ClientWidth(), 341);
    EXPECT_EQ(form->ClientHeight(), 180);

    ASSERT_NE(form->Label1, nullptr);
    ASSERT_NE(form->OK, nullptr);
    ASSERT_NE(form->Cancel, nullptr);
    EXPECT_EQ(form->Label1->Owner(), form.get());
    EXPECT_EQ(form->Label1->Parent(), form.get());
    EXPECT_EQ(form->Label1->Caption(), L"Caf\u00e9 \u65e5\u672c");
    EXPECT_EQ(form->Label1->Alignment(), taCenter);
    EXPECT_TRUE(form->Label1->Transparent());
    EXPECT_EQ(form->Label1->Font()->Name(), "MS Gothic");
    EXPECT_TRUE(form->Label1->Font()->Style().Contains(fsBold));
    EXPECT_TRUE(form->Label1->Font()->Style().Contains(fsItalic));
    EXPECT_FALSE(form->Label1->Font()->Style().Contains(fsUnderline));
    EXPECT_FALSE(form->Label1->ParentFont());
    EXPECT_EQ(form->Label1->Left(), 8);  // auto-sized after loading, Left kept
    EXPECT_GT(form->Label1->Width(), 8);

    EXPECT_EQ(form->OK->Caption(), "It's OK");
    EXPECT_EQ(form->OK->Cursor(), crHandPoint);
    EXPECT_EQ(form->OK->Color(), clBtnFace);
    EXPECT_EQ(form->OK->BoundsRect(), Bounds(30, 116, 115, 35));
    // Tab order as stored, applied once all siblings existed.
    EXPECT_EQ(form->Cancel->TabOrder(), 0);
    EXPECT_EQ(form->OK->TabOrder(), 1);
    EXPECT_EQ(form->Cancel->BiDiMode(), bdLeftToRight);
    EXPECT_FALSE(form->Cancel->ParentBiDiMode());
    EXPECT_FALSE(form->OK->ComponentState().Contains(csLoading));

    form->OK->OnClick(form->OK);
    form->Cancel->OnClick(form->Cancel);
    auto* ticker = dynamic_cast<TTimer*>(form->FindComponent("Ticker"));
    ASSERT_NE(ticker, nullptr);
    EXPECT_EQ(ticker->Interval(), 200u);
    ticker->OnTimer(ticker);
    EXPECT_EQ(form->clicks, (std::vector<AnsiString>{"OK OK", "Cancel", "Tick"}));
}

TEST(Description, PropertiesApplyInStoredOrderSoDeclaredOrderEffectsComeOut) {
    struct Case {
        const char* props;
        bool focusRect;
        TLook looks;
    };
    for (const Case& c : {Case{"FocusRect = False\n Looks = lkFlat", true, lkFlat},
                          Case{"Looks = lkFlat\n FocusRect = False", false, lkFlat},
                          Case{"FocusRect = False", false, lkNormal}}) {
        AnsiString layout = AnsiString("object F: TSampleForm\n object OK: TOrderButton\n ") + c.props +
                            "\n end\n object Label1: TTntLabel\n end\n object Cancel: TTntButton\n end\nend\n";
        auto form = std::make_unique<TSampleForm>(nullptr, layout);
        EXPECT_EQ(form->OK->FocusRect(), c.focusRect) << c.props;
        EXPECT_EQ(form->OK->Looks(), c.looks) << c.props;
    }
}

TEST(Description, WriterStoresOnlyChangedPropertiesInDeclaredOrderAndReadsBack) {
    RegisterClass(ClassOf<TTimer>());
    auto form = std::make_unique<TSampleForm>(nullptr, kLayout);
    AnsiString text = WriteComponent(form.get());
    // Declared order: FocusRect before Looks; defaults left out.
    size_t focus = text.find("FocusRect"), looks = text.find("Looks = lkFlat");
    ASSERT_NE(looks, AnsiString::npos) << text;
    EXPECT_EQ(focus, AnsiString::npos) << "FocusRect is True again, its default";
    EXPECT_NE(text.find("Caption = 'Caf'#233' '#26085#26412"), AnsiString::npos) << text;
    EXPECT_NE(text.find("Font.Style = [fsBold, fsItalic]"), AnsiString::npos) << text;
    EXPECT_NE(text.find("Cursor = crHandPoint"), AnsiString::npos) << text;
    EXPECT_NE(text.find("OnClick = OKClick"), AnsiString::npos) << text;
    EXPECT_NE(text.find("BorderStyle = bsDialog"), AnsiString::npos) << text;
    EXPECT_EQ(text.find("Enabled"), AnsiString::npos) << "defaults are not stored";
    EXPECT_EQ(text.find("TabStop"), AnsiString::npos) << "a button's TabStop default is True";
    EXPECT_EQ(text.find("\n  Width ="), AnsiString::npos) << "a form stores its client size";

    auto again = std::make_unique<TSampleForm>(nullptr, text);
    EXPECT_EQ(WriteComponent(again.get()), text);
    EXPECT_EQ(again->Label1->Caption(), form->Label1->Caption());
    EXPECT_EQ(again->OK->Looks(), lkFlat);
}

TEST(Description, ValuesAsTheTextSpellsThem) {
    struct Case {
        const char* text;
        TPropValue value;
    };
    for (const Case& c : {Case{"-19", TPropValue::Integer(-19)}, Case{"$00FFFFFF", TPropValue::Integer(0xFFFFFF)},
                          Case{"-2147483633", TPropValue::Integer(-2147483633LL)},
                          Case{"clBtnFace", TPropValue::Identifier("clBtnFace")},
                          Case{"'a''b'", TPropValue::String(L"a'b")}, Case{"#65#66'c'", TPropValue::String(L"ABc")},
                          Case{"''", TPropValue::String(L"")}, Case{"'x' + \n  'y'", TPropValue::String(L"xy")},
                          Case{"[]", TPropValue::SetOf({})}, Case{"[fsBold,fsItalic]", TPropValue::SetOf({"fsBold", "fsItalic"})}}) {
        EXPECT_EQ(ParsePropValue(c.text), c.value) << c.text;
    }
    for (const TPropValue& v : {TPropValue::String(L"It's \u00e9\u65e5"), TPropValue::Integer(-5),
                                TPropValue::SetOf({"fsBold"}), TPropValue::String(L"")})
        EXPECT_EQ(ParsePropValue(PropValueToText(v)), v) << PropValueToText(v);
}

TEST(Description, FaultsAreReportedWithTheirLine) {
    struct Case {
        const char* body;
        const char* message;
    };
    for (const Case& c : {
             Case{"  Nonsense = 1\n", "Line 2: Error reading F.Nonsense: Property Nonsense does not exist"},
             Case{"  Left = 'x'\n", "Invalid property value"},
             Case{"  BorderStyle = bsOval\n", "Invalid property value"},
             Case{"  Font.Bogus = 1\n", "Property Bogus does not exist"},
             Case{"  object X: TNoSuchClass\n  end\n", "Class TNoSuchClass not found"},
             Case{"  OnClose = NoSuchHandler\n", "Method NoSuchHandler not found"},
             Case{"  OnClose = OKClick\n", "does not fit"},
             Case{"  Left = {00FF}\n", "Unsupported property value"},
             Case{"  Caption = 'open\n", "Unterminated string"},
         }) {
        AnsiString layout = AnsiString("object F: TSampleForm\n") + c.body + "end\n";
        try {
            TSampleForm form(nullptr, layout);
            ADD_FAILURE() << "no error for " << c.body;
        } catch (const Exception& e) {
            EXPECT_NE(e.Message.find(c.message), AnsiString::npos) << c.body << " -> " << e.Message;
        }
    }
    // A missing end and a field whose component is not in the layout.
    EXPECT_THROW(TSampleForm(nullptr, "object F: TSampleForm\n  Left = 1\n"), EReadError);
    EXPECT_THROW(TSampleForm(nullptr, "object F: TSampleForm\nend\n"), EReadError);
    EXPECT_THROW(TSampleForm(nullptr, "object F: TButton\nend\n"), EReadError);
}
