// Components: ownership, names, notifications; the class registry and the
// published-property lists.
#include <gtest/gtest.h>

#include <algorithm>

#include "Classes.h"
#include "Controls.h"
#include "StdCtrls.h"

namespace {

// Counts its own destructions.
class TCounted : public TComponent {
    CLASS_NAME(TCounted)
public:
    TCounted(TComponent* owner, int* deaths) : TComponent(owner), deaths_(deaths) {}
    ~TCounted() override { ++*deaths_; }

private:
    int* deaths_;
};

class TWatcher : public TComponent {
    CLASS_NAME(TWatcher)
public:
    using TComponent::TComponent;
    std::vector<TComponent*> removed;

protected:
    void Notification(TComponent* c, TOperation op) override {
        if (op == opRemove) removed.push_back(c);
    }
};

}  // namespace

TEST(Component, OwnerFreesItsComponentsAndTheyLeaveTheOwnerWhenFreedFirst) {
    int deaths = 0;
    auto* owner = new TComponent(nullptr);
    auto* a = new TCounted(owner, &deaths);
    auto* b = new TCounted(owner, &deaths);
    new TCounted(b, &deaths);  // owned by b: goes with b
    ASSERT_EQ(owner->ComponentCount(), 2);
    delete a;
    EXPECT_EQ(deaths, 1);
    ASSERT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(owner->Components(0), b);
    delete owner;
    EXPECT_EQ(deaths, 3);
}

TEST(Component, NamesAreIdentifiersUniqueAmongTheOwnersComponents) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName("OK");
    EXPECT_EQ(owner.FindComponent("ok"), a);  // case-insensitive
    EXPECT_EQ(owner.FindComponent("Cancel"), nullptr);
    EXPECT_THROW(b->SetName("Ok"), EComponentError);
    for (const char* bad : {"1abc", "a b", "a-b", "ä"}) EXPECT_THROW(b->SetName(bad), EComponentError) << bad;
    b->SetName("Label_2");
    EXPECT_EQ(owner.FindComponent("LABEL_2"), b);
    b->SetName("");  // unnamed again
    EXPECT_EQ(owner.FindComponent("Label_2"), nullptr);
}

TEST(Component, OwnerAndFreeNotificationClientsHearAboutARemovedComponent) {
    TWatcher owner(nullptr);
    auto* watcher = new TWatcher(nullptr);
    auto* c = new TComponent(&owner);
    c->FreeNotification(watcher);
    delete c;
    EXPECT_EQ(owner.removed, std::vector<TComponent*>{c});
    EXPECT_EQ(watcher->removed, std::vector<TComponent*>{c});
    delete watcher;
}

TEST(Component, LoadingStateEndsWithLoaded) {
    TComponent c(nullptr);
    c.BeginLoading();
    EXPECT_TRUE(c.ComponentState().Contains(csLoading));
    c.Loaded();
    EXPECT_FALSE(c.ComponentState().Contains(csLoading));
    c.SetDesigning(true);
    EXPECT_TRUE(c.ComponentState().Contains(csDesigning));
}

TEST(ClassRegistry, PalettePagesListRegisteredClassesAndFindClassCreatesByName) {
    RegisterComponents("TestPage", {ClassOf<TButton>(), ClassOf<TLabel>()});
    RegisterComponents("TestPage", {ClassOf<TButton>()});  // twice: listed once
    auto names = PaletteClasses("TestPage");
    EXPECT_EQ(names, (std::vector<AnsiString>{"TButton", "TLabel"}));
    auto pages = PalettePages();
    EXPECT_NE(std::find(pages.begin(), pages.end(), "TestPage"), pages.end());

    TComponentClass cls = FindClass("tlabel");
    ASSERT_NE(cls, nullptr);
    TComponent owner(nullptr);
    TComponent* made = cls->Create(&owner);
    EXPECT_STREQ(made->ClassName(), "TLabel");
    EXPECT_TRUE(made->Is<TCustomLabel>());
    EXPECT_EQ(made->Owner(), &owner);

    try {
        FindClass("TNoSuchThing");
        FAIL() << "no error";
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.Message, "Class TNoSuchThing not found");
    }
    EXPECT_EQ(GetClass("TNoSuchThing"), nullptr);
}

namespace {
class TBase : public TPersistent {
    CLASS_NAME(TBase)
    PUBLISHED(TBase, TPersistent)
public:
    int a = 0, b = 0;
};
void TBase::DeclareProperties(TProps<TBase>& P) {
    P.Integer("A", &TBase::a, &TBase::a, 0).Integer("B", &TBase::b, &TBase::b, 0);
}
class TDerived : public TBase {
    CLASS_NAME(TDerived)
    PUBLISHED(TDerived, TBase)
public:
    int c = 0;
};
void TDerived::DeclareProperties(TProps<TDerived>& P) {
    // C is new; A is declared again with another default and moves to the end.
    P.Integer("C", &TDerived::c, &TDerived::c, 0).Integer("A", &TDerived::a, &TDerived::a, 5);
}
class TNoOwnList : public TDerived {
    CLASS_NAME(TNoOwnList)
};
std::vector<AnsiString> Names(const TClassInfo* info) {
    std::vector<AnsiString> n;
    for (const TPropInfo* p : info->Properties()) n.push_back(p->Name);
    return n;
}
}  // namespace

TEST(PublishedProperties, DerivedClassesExtendTheListInDeclaredOrder) {
    EXPECT_EQ(Names(ClassOf<TBase>()), (std::vector<AnsiString>{"A", "B"}));
    EXPECT_EQ(Names(ClassOf<TDerived>()), (std::vector<AnsiString>{"B", "C", "A"}));
    // A class without a list of its own has its base's properties under its own name.
    EXPECT_EQ(Names(ClassOf<TNoOwnList>()), (std::vector<AnsiString>{"B", "C", "A"}));
    EXPECT_STREQ(ClassOf<TNoOwnList>()->ClassName(), "TNoOwnList");
    EXPECT_TRUE(ClassOf<TNoOwnList>()->InheritsFrom(ClassOf<TBase>()));

    TDerived d;
    EXPECT_EQ(ClassInfoOfObject(&d), ClassOf<TDerived>());
    const TPropInfo* a = ClassOf<TDerived>()->FindProperty("a");
    ASSERT_NE(a, nullptr);
    d.a = 0;
    EXPECT_TRUE(a->IsStored(&d));  // differs from the redeclared default 5
    d.a = 5;
    EXPECT_FALSE(a->IsStored(&d));
    a->SetValue(&d, TPropValue::Integer(42));
    EXPECT_EQ(d.a, 42);
    EXPECT_THROW(a->SetValue(&d, TPropValue::String(L"x")), EReadError);
}

TEST(PublishedProperties, ControlListsCarryTheDeclaredDefaults) {
    struct Case {
        const char* prop;
        TPropValue def;
    };
    const TClassInfo* button = ClassOf<TButton>();
    for (const Case& c : {Case{"TabStop", TPropValue::Identifier("True")}, Case{"Default", TPropValue::Identifier("False")},
                          Case{"Cursor", TPropValue::Integer(crDefault)}, Case{"Enabled", TPropValue::Identifier("True")},
                          Case{"TabOrder", TPropValue::Integer(-1)}}) {
        const TPropInfo* p = button->FindProperty(c.prop);
        ASSERT_NE(p, nullptr) << c.prop;
        ASSERT_TRUE(p->HasDefault) << c.prop;
        EXPECT_EQ(p->Default, c.def) << c.prop;
    }
    EXPECT_FALSE(button->FindProperty("Width")->HasDefault);  // always stored
}
