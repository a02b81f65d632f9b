// Objects with a class name, persistent objects, events and string lists.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "SysUtils.h"

class TObject;

// Gives a class its own class name: put CLASS_NAME(TBitmap) first in the
// class body of every class that has a name of its own. ClassName() of an
// object is the name of its most derived class.
#define CLASS_NAME(Name)                                                   \
public:                                                                    \
    static const char* StaticClassName() { return #Name; }                 \
    const char* ClassName() const override { return #Name; }               \
                                                                           \
private:

class TObject {
public:
    virtual ~TObject() = default;
    static const char* StaticClassName() { return "TObject"; }
    virtual const char* ClassName() const { return "TObject"; }

    // Run-time type test: true for T itself and every class derived from it.
    template <class T>
    bool Is() const {
        return dynamic_cast<const T*>(this) != nullptr;
    }
};

// Handlers: std::function, so a form's member, a lambda or nothing at all.
using TNotifyEvent = std::function<void(TObject* Sender)>;

class EConvertError : public Exception {
public:
    using Exception::Exception;
};

class TPersistent : public TObject {
    CLASS_NAME(TPersistent)
public:
    // Copies Source into this object. The base refuses, naming both classes.
    virtual void Assign(TPersistent* Source);
};

// An ordered list of 8-bit texts.
class TStringList : public TPersistent {
    CLASS_NAME(TStringList)
public:
    int Count() const { return static_cast<int>(items_.size()); }
    int Add(const AnsiString& s);
    void Clear() { items_.clear(); }
    const AnsiString& operator[](int index) const { return items_.at(static_cast<size_t>(index)); }
    const AnsiString& Strings(int index) const { return (*this)[index]; }
    int IndexOf(const AnsiString& s) const;  // case-insensitive, -1 when absent
    void Assign(TPersistent* Source) override;

    std::vector<AnsiString>::const_iterator begin() const { return items_.begin(); }
    std::vector<AnsiString>::const_iterator end() const { return items_.end(); }

private:
    std::vector<AnsiString> items_;
};

// ====================================================================
// Components: ownership, names, state.

#include <any>
#include <map>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

class TComponent;
class TClassInfo;

class EComponentError : public Exception {
public:
    using Exception::Exception;
};
// Raised while reading a form description.
class EReadError : public Exception {
public:
    using Exception::Exception;
};
class EClassNotFound : public Exception {
public:
    using Exception::Exception;
};

enum TComponentStateItem { csLoading, csReading, csWriting, csDestroying, csDesigning };

// A small set of enumeration values: S() << a << b, S.Contains(a).
template <class E>
class TSmallSet {
public:
    TSmallSet() = default;
    bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
    TSmallSet& operator<<(E e) { bits_ |= Bit(e); return *this; }
    TSmallSet& operator>>(E e) { bits_ &= ~Bit(e); return *this; }
    bool Empty() const { return bits_ == 0; }
    unsigned Bits() const { return bits_; }
    static TSmallSet FromBits(unsigned b) { TSmallSet s; s.bits_ = b; return s; }
    bool operator==(const TSmallSet& o) const { return bits_ == o.bits_; }
    bool operator!=(const TSmallSet& o) const { return bits_ != o.bits_; }

private:
    static unsigned Bit(E e) { return 1u << static_cast<unsigned>(e); }
    unsigned bits_ = 0;
};
using TComponentState = TSmallSet<TComponentStateItem>;

enum TOperation { opInsert, opRemove };

// ====================================================================
// Published properties: each class declares its published properties (name,
// kind, reader, writer, declared default) in declared order; a derived class
// extends its base's list. Form descriptions are read and written through
// these lists (see FormDescription.h for an example).

// A value as a form description spells it.
enum TValueKind { vkInteger, vkIdent, vkString, vkSet };
struct TPropValue {
    TValueKind Kind = vkInteger;
    long long Int = 0;             // vkInteger
    AnsiString Ident;              // vkIdent: True, taCenter, clBtnFace
    WideString Str;                // vkString: always wide; 8-bit properties convert with the ANSI code page
    std::vector<AnsiString> Set;   // vkSet: [fsBold, fsItalic]

    static TPropValue Integer(long long v) { TPropValue p; p.Kind = vkInteger; p.Int = v; return p; }
    static TPropValue Identifier(AnsiString v) { TPropValue p; p.Kind = vkIdent; p.Ident = std::move(v); return p; }
    static TPropValue String(WideString v) { TPropValue p; p.Kind = vkString; p.Str = std::move(v); return p; }
    static TPropValue SetOf(std::vector<AnsiString> v) { TPropValue p; p.Kind = vkSet; p.Set = std::move(v); return p; }
    bool operator==(const TPropValue& o) const;
    bool operator!=(const TPropValue& o) const { return !(*this == o); }
};

// Names of an enumeration's values, value 0 first (also the members of a set type).
struct TEnumInfo {
    std::vector<const char*> Names;
    int ValueOf(const AnsiString& name) const;  // -1 when unknown (case-insensitive)
    const char* NameOf(int value) const;        // nullptr when out of range
};

// Integers that a description spells by name where one is known (colours, cursors, charsets).
struct TIdentMapEntry {
    long long Value;
    const char* Name;
};
using TIdentMap = std::vector<TIdentMapEntry>;
bool IdentToInt(const TIdentMap& map, const AnsiString& name, long long& value);
const char* IntToIdent(const TIdentMap& map, long long value);  // nullptr when none

enum TPropType { ptInteger, ptBoolean, ptEnum, ptString, ptWideString, ptSet, ptObject, ptEvent };

struct TPropInfo {
    AnsiString Name;
    TPropType Type = ptInteger;
    const TEnumInfo* Enum = nullptr;    // ptEnum, ptSet
    const TIdentMap* Idents = nullptr;  // ptInteger: names for values
    bool HasDefault = false;            // the declared default; without one the value is always stored
    TPropValue Default;
    // Value access for the simple kinds. SetValue raises EReadError for a value of the wrong kind.
    std::function<TPropValue(TPersistent*)> GetValue;
    std::function<void(TPersistent*, const TPropValue&)> SetValue;
    // ptObject: the persistent sub-object (Font, Colors) whose own properties are addressed as Font.Name.
    std::function<TPersistent*(TPersistent*)> GetObject;
    // ptEvent: binds a handler (a std::function of the event's exact type held in a std::any);
    // false when the handler's type does not fit the event.
    std::function<bool(TPersistent*, const std::any&)> SetHandler;
    // Optional: whether the value is written at all (Font is stored only when ParentFont is false).
    std::function<bool(TPersistent*)> Stored;

    // Whether a writer stores the property of this object: stored and different from the default.
    bool IsStored(TPersistent* obj) const;
};

class TClassInfo {
public:
    TClassInfo(const char* name, const TClassInfo* parent) : name_(name), parent_(parent) {}
    const char* ClassName() const { return name_; }
    const TClassInfo* Parent() const { return parent_; }
    bool InheritsFrom(const TClassInfo* other) const;
    int Depth() const;

    // All published properties, inherited ones first, each in declared order;
    // a property declared again by a derived class takes its place in the derived order.
    std::vector<const TPropInfo*> Properties() const;
    const TPropInfo* FindProperty(const AnsiString& name) const;  // case-insensitive

    // For component classes: a new instance with that owner; empty for others.
    std::function<TComponent*(TComponent* owner)> Create;
    // Whether an object is an instance of this class or of a class derived from it.
    std::function<bool(const TObject*)> IsInstance;
    std::vector<TPropInfo> OwnProperties;

private:
    const char* name_;
    const TClassInfo* parent_;
};
using TComponentClass = const TClassInfo*;

// The registered class info whose class is the most derived one the object belongs to
// (every class info made so far counts, registered or not); nullptr when none.
const TClassInfo* ClassInfoOfObject(const TObject* obj);

// Classes creatable by name from a description: RegisterClass makes one known,
// RegisterComponents also lists it on a palette page.
void RegisterClass(TComponentClass cls);
void RegisterComponents(const AnsiString& page, std::initializer_list<TComponentClass> classes);
TComponentClass GetClass(const AnsiString& name);   // nullptr when not registered
TComponentClass FindClass(const AnsiString& name);  // raises EClassNotFound "Class X not found"
// The class names on a palette page, in registration order.
std::vector<AnsiString> PaletteClasses(const AnsiString& page);
std::vector<AnsiString> PalettePages();

template <class C>
class TProps;

// Wide text to 8-bit with the system's ANSI code page (AnsiToWide is in SysUtils.h).
AnsiString WideToAnsi(const WideString& s);

// Optional declaration for a class that cannot declare its properties itself
// (a class of another layer, such as TFont):
//   template <> struct TPublishedOf<TFont> { using Base = TPersistent; static void Declare(TProps<TFont>&); };
template <class T>
struct TPublishedOf;

// Put PUBLISHED(ThisClass, BaseClass) in the class body (after CLASS_NAME) and
// define  void ThisClass::DeclareProperties(TProps<ThisClass>& P) { P.Integer(...); ... }
#define PUBLISHED(Class, Base)                                               \
public:                                                                      \
    using TPublishedBase = Base;                                             \
    static void DeclareProperties(TProps<Class>& P);                         \
                                                                             \
private:

namespace typinfo_detail {
void AddClassInfo(TClassInfo* info);  // keeps it for ClassInfoOfObject and name lookup
template <class T, class = void>
struct HasOwnDecl : std::false_type {};
template <class T>
struct HasOwnDecl<T, std::void_t<decltype(&T::DeclareProperties)>> : std::true_type {};
template <class T, class = void>
struct HasExternalDecl : std::false_type {};
template <class T>
struct HasExternalDecl<T, std::void_t<decltype(&TPublishedOf<T>::Declare)>> : std::true_type {};
template <class C>
C* DeclaringClass(void (*)(TProps<C>&));
template <class T>
TClassInfo* MakeClassInfo();
}  // namespace typinfo_detail

// The class info of T, made on first use.
template <class T>
const TClassInfo* ClassOf() {
    static TClassInfo* info = typinfo_detail::MakeClassInfo<T>();
    return info;
}

// Declares the published properties of class C, in declared order. Readers and
// writers are member functions, data members or lambdas taking C*.
template <class C>
class TProps {
public:
    explicit TProps(TClassInfo* info) : info_(info) {}

    // Integers (also colours, cursors, charsets: pass the names of known values).
    template <class G, class S>
    TProps& Integer(const char* name, G get, S set, std::optional<long long> def = std::nullopt,
                    const TIdentMap* idents = nullptr) {
        TPropInfo p = Make(name, ptInteger, def ? std::optional<TPropValue>(TPropValue::Integer(*def)) : std::nullopt);
        p.Idents = idents;
        p.GetValue = [get](TPersistent* o) { return TPropValue::Integer(static_cast<long long>(Read(get, o))); };
        p.SetValue = [set, get, idents, name](TPersistent* o, const TPropValue& v) {
            long long i = 0;
            if (v.Kind == vkInteger) i = v.Int;
            else if (!(v.Kind == vkIdent && idents && IdentToInt(*idents, v.Ident, i))) BadValue(name);
            Write<Value<G>>(set, o, static_cast<Value<G>>(i));
        };
        return Add(std::move(p));
    }
    template <class G, class S>
    TProps& Boolean(const char* name, G get, S set, std::optional<bool> def = std::nullopt) {
        TPropInfo p = Make(name, ptBoolean, def ? std::optional<TPropValue>(BoolValue(*def)) : std::nullopt);
        p.GetValue = [get](TPersistent* o) { return BoolValue(static_cast<bool>(Read(get, o))); };
        p.SetValue = [set, name](TPersistent* o, const TPropValue& v) {
            Write<bool>(set, o, ParseBool(v, name));
        };
        return Add(std::move(p));
    }
    template <class G, class S>
    TProps& Enum(const char* name, G get, S set, const TEnumInfo& info, std::optional<long long> def = std::nullopt) {
        std::optional<TPropValue> d;
        if (def && info.NameOf(static_cast<int>(*def))) d = TPropValue::Identifier(info.NameOf(static_cast<int>(*def)));
        TPropInfo p = Make(name, ptEnum, d);
        p.Enum = &info;
        p.GetValue = [get, &info](TPersistent* o) {
            const char* n = info.NameOf(static_cast<int>(Read(get, o)));
            return n ? TPropValue::Identifier(n) : TPropValue::Integer(static_cast<long long>(Read(get, o)));
        };
        p.SetValue = [set, get, &info, name](TPersistent* o, const TPropValue& v) {
            int i = v.Kind == vkIdent ? info.ValueOf(v.Ident) : -1;
            if (i < 0) BadValue(name);
            Write<Value<G>>(set, o, static_cast<Value<G>>(i));
        };
        return Add(std::move(p));
    }
    // Sets as bit masks: bit n is the enumeration value n.
    template <class G, class S>
    TProps& Set(const char* name, G get, S set, const TEnumInfo& info, std::optional<unsigned> def = std::nullopt) {
        std::optional<TPropValue> d;
        if (def) d = SetValueOf(info, *def);
        TPropInfo p = Make(name, ptSet, d);
        p.Enum = &info;
        p.GetValue = [get, &info](TPersistent* o) { return SetValueOf(info, static_cast<unsigned>(Read(get, o))); };
        p.SetValue = [set, &info, name](TPersistent* o, const TPropValue& v) {
            if (v.Kind != vkSet) BadValue(name);
            unsigned bits = 0;
            for (const AnsiString& m : v.Set) {
                int i = info.ValueOf(m);
                if (i < 0) BadValue(name);
                bits |= 1u << i;
            }
            Write<unsigned>(set, o, bits);
        };
        return Add(std::move(p));
    }
    // 8-bit texts.
    template <class G, class S>
    TProps& String(const char* name, G get, S set, std::optional<AnsiString> def = std::nullopt) {
        TPropInfo p = Make(name, ptString, def ? std::optional<TPropValue>(TPropValue::String(AnsiToWide(*def))) : std::nullopt);
        p.GetValue = [get](TPersistent* o) { return TPropValue::String(AnsiToWide(AnsiString(Read(get, o)))); };
        p.SetValue = [set, name](TPersistent* o, const TPropValue& v) {
            if (v.Kind != vkString) BadValue(name);
            Write<AnsiString>(set, o, WideToAnsi(v.Str));
        };
        return Add(std::move(p));
    }
    template <class G, class S>
    TProps& WideStr(const char* name, G get, S set, std::optional<WideString> def = std::nullopt) {
        TPropInfo p = Make(name, ptWideString, def ? std::optional<TPropValue>(TPropValue::String(*def)) : std::nullopt);
        p.GetValue = [get](TPersistent* o) { return TPropValue::String(WideString(Read(get, o))); };
        p.SetValue = [set, name](TPersistent* o, const TPropValue& v) {
            if (v.Kind != vkString) BadValue(name);
            Write<WideString>(set, o, v.Str);
        };
        return Add(std::move(p));
    }
    // A persistent sub-object owned by the object (Font, Colors); its own
    // properties are stored as Name.Property.
    template <class G>
    TProps& Object(const char* name, G get) {
        using Sub = std::remove_pointer_t<std::decay_t<std::invoke_result_t<G, C*>>>;
        ClassOf<Sub>();  // makes the sub-object's class known
        TPropInfo p = Make(name, ptObject, std::nullopt);
        p.GetObject = [get](TPersistent* o) -> TPersistent* { return Read(get, o); };
        return Add(std::move(p));
    }
    // An event: a data member of a std::function type, bound by handler name.
    template <class F, class B>
    TProps& Event(const char* name, F B::*member) {
        static_assert(std::is_base_of_v<B, C>, "the event is a member of the class or of a base");
        TPropInfo p = Make(name, ptEvent, std::nullopt);
        p.SetHandler = [member](TPersistent* o, const std::any& h) {
            const F* f = std::any_cast<F>(&h);
            if (!f) return false;
            static_cast<C*>(o)->*member = *f;
            return true;
        };
        return Add(std::move(p));
    }
    // Only write the last declared property when pred(object) holds.
    template <class P>
    TProps& StoredIf(P pred) {
        last_->Stored = [pred](TPersistent* o) { return static_cast<bool>(pred(static_cast<C*>(o))); };
        return *this;
    }

private:
    template <class G>
    using Value = std::decay_t<std::invoke_result_t<G, C*>>;

    template <class G>
    static decltype(auto) Read(G get, TPersistent* o) {
        return std::invoke(get, static_cast<C*>(o));
    }
    template <class V, class S>
    static void Write(S set, TPersistent* o, const V& v) {
        if constexpr (std::is_member_object_pointer_v<S>)
            static_cast<C*>(o)->*set = v;
        else
            std::invoke(set, static_cast<C*>(o), v);
    }
    static TPropValue BoolValue(bool b) { return TPropValue::Identifier(b ? "True" : "False"); }
    static bool ParseBool(const TPropValue& v, const char* name);
    static TPropValue SetValueOf(const TEnumInfo& info, unsigned bits) {
        std::vector<AnsiString> m;
        for (int i = 0; i < static_cast<int>(info.Names.size()); ++i)
            if (bits & (1u << i)) m.push_back(info.Names[static_cast<size_t>(i)]);
        return TPropValue::SetOf(std::move(m));
    }
    [[noreturn]] static void BadValue(const char* name);
    static TPropInfo Make(const char* name, TPropType type, std::optional<TPropValue> def) {
        TPropInfo p;
        p.Name = name;
        p.Type = type;
        if (def) {
            p.HasDefault = true;
            p.Default = *def;
        }
        return p;
    }
    TProps& Add(TPropInfo p) {
        // Declared again within the same list: the later declaration replaces the earlier in place.
        for (TPropInfo& q : info_->OwnProperties)
            if (q.Name == p.Name) {
                q = std::move(p);
                last_ = &q;
                return *this;
            }
        info_->OwnProperties.push_back(std::move(p));
        last_ = &info_->OwnProperties.back();
        return *this;
    }

    TClassInfo* info_;
    TPropInfo* last_ = nullptr;
};


namespace typinfo_detail {
[[noreturn]] void ThrowBadValue(const char* name);
bool ParseBoolValue(const TPropValue& v, bool& result);
}  // namespace typinfo_detail

template <class C>
bool TProps<C>::ParseBool(const TPropValue& v, const char* name) {
    bool b = false;
    if (!typinfo_detail::ParseBoolValue(v, b)) BadValue(name);
    return b;
}
template <class C>
void TProps<C>::BadValue(const char* name) {
    typinfo_detail::ThrowBadValue(name);
}

// ====================================================================

// The base of everything placed on a form: owned by another component
// (which frees it), found by Name among its owner's components.
class TComponent : public TPersistent {
    CLASS_NAME(TComponent)
    PUBLISHED(TComponent, TPersistent)
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const AnsiString& Name() const { return name_; }
    // Raises EComponentError for a name that is not an identifier or that
    // another component of the same owner has.
    virtual void SetName(const AnsiString& value);
    int Tag() const { return tag_; }
    void SetTag(int value) { tag_ = value; }

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
    // The owned component of that name (case-insensitive), nullptr when none.
    TComponent* FindComponent(const AnsiString& name) const;

    TComponentState ComponentState() const { return state_; }
    void SetDesigning(bool value);
    // Called once the component's properties have been read from a description.
    virtual void Loaded();
    // Marks the start of reading a description (csLoading, csReading).
    void BeginLoading();

    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    // Frees every owned component, the last one first.
    void DestroyComponents();
    // Asks for a Notification(component, opRemove) when component goes.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // Handlers and fields a component (usually a form) publishes for its description.
    template <class Cls, class R, class... A>
    void PublishMethod(const AnsiString& name, R (Cls::*method)(A...)) {
        Cls* self = static_cast<Cls*>(this);
        methods_[UpperCase(name)] = std::function<R(A...)>([self, method](A... a) -> R { return (self->*method)(a...); });
    }
    template <class T>
    void PublishField(const AnsiString& name, T*& field) {
        fields_.push_back({name, ClassOf<T>(), [&field](TComponent* c) {
                               T* t = dynamic_cast<T*>(c);
                               field = t;
                               return t != nullptr;
                           }});
    }
    // The handler published under a name, nullptr when none.
    const std::any* MethodAddress(const AnsiString& name) const;
    // The handler name a description bound to an event of this component ("" when none).
    AnsiString EventHandlerName(const AnsiString& event) const;
    void SetEventHandlerName(const AnsiString& event, const AnsiString& handler);
    // Sets every published field to the owned component of its name; raises
    // EReadError when one is missing or of another class.
    void BindFields();
    // The class of a published field's component (nullptr when no field of that class name).
    TComponentClass FieldClass(const AnsiString& className) const;

protected:
    virtual void Notification(TComponent* component, TOperation operation);
    void SetComponentStateFlag(TComponentStateItem item, bool on);

private:
    static AnsiString UpperCase(const AnsiString& s);
    struct TFieldEntry {
        AnsiString Name;
        TComponentClass Class;
        std::function<bool(TComponent*)> Bind;
    };

    TComponent* owner_ = nullptr;
    AnsiString name_;
    int tag_ = 0;
    TComponentState state_;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    std::map<AnsiString, std::any> methods_;
    std::vector<TFieldEntry> fields_;
    std::map<AnsiString, AnsiString> eventNames_;
};

namespace typinfo_detail {
template <class T>
TClassInfo* MakeClassInfo() {
    TClassInfo* info = nullptr;
    if constexpr (HasOwnDecl<T>::value) {
        using C = std::remove_pointer_t<decltype(DeclaringClass(&T::DeclareProperties))>;
        if constexpr (std::is_same_v<C, T>) {
            info = new TClassInfo(T::StaticClassName(), ClassOf<typename T::TPublishedBase>());
            TProps<T> props(info);
            T::DeclareProperties(props);
        } else {
            info = new TClassInfo(T::StaticClassName(), ClassOf<C>());
        }
    } else if constexpr (HasExternalDecl<T>::value) {
        info = new TClassInfo(T::StaticClassName(), ClassOf<typename TPublishedOf<T>::Base>());
        TProps<T> props(info);
        TPublishedOf<T>::Declare(props);
    } else {
        info = new TClassInfo(T::StaticClassName(), nullptr);
    }
    info->IsInstance = [](const TObject* o) { return dynamic_cast<const T*>(o) != nullptr; };
    if constexpr (std::is_base_of_v<TComponent, T> && !std::is_abstract_v<T> &&
                  std::is_constructible_v<T, TComponent*>) {
        info->Create = [](TComponent* owner) -> TComponent* { return new T(owner); };
    }
    AddClassInfo(info);
    return info;
}
}  // namespace typinfo_detail
