#include "Classes.h"

#include <windows.h>

void TPersistent::Assign(TPersistent* Source) {
    AnsiString from = Source ? Source->ClassName() : "nil";
    throw EConvertError("Cannot assign a " + from + " to a " + ClassName());
}

int TStringList::Add(const AnsiString& s) {
    items_.push_back(s);
    return Count() - 1;
}

int TStringList::IndexOf(const AnsiString& s) const {
    for (int i = 0; i < Count(); ++i)
        if (lstrcmpiA(items_[static_cast<size_t>(i)].c_str(), s.c_str()) == 0) return i;
    return -1;
}

void TStringList::Assign(TPersistent* Source) {
    if (auto* list = dynamic_cast<TStringList*>(Source)) {
        items_ = list->items_;
        return;
    }
    TPersistent::Assign(Source);
}

#include <algorithm>
#include <cctype>

// ---------------------------------------------------------------- values and names

bool TPropValue::operator==(const TPropValue& o) const {
    if (Kind != o.Kind) return false;
    switch (Kind) {
        case vkInteger: return Int == o.Int;
        case vkIdent: return lstrcmpiA(Ident.c_str(), o.Ident.c_str()) == 0;
        case vkString: return Str == o.Str;
        case vkSet: {
            if (Set.size() != o.Set.size()) return false;
            for (size_t i = 0; i < Set.size(); ++i)
                if (lstrcmpiA(Set[i].c_str(), o.Set[i].c_str()) != 0) return false;
            return true;
        }
    }
    return false;
}

int TEnumInfo::ValueOf(const AnsiString& name) const {
    for (size_t i = 0; i < Names.size(); ++i)
        if (lstrcmpiA(Names[i], name.c_str()) == 0) return static_cast<int>(i);
    return -1;
}

const char* TEnumInfo::NameOf(int value) const {
    if (value < 0 || value >= static_cast<int>(Names.size())) return nullptr;
    return Names[static_cast<size_t>(value)];
}

bool IdentToInt(const TIdentMap& map, const AnsiString& name, long long& value) {
    for (const TIdentMapEntry& e : map)
        if (lstrcmpiA(e.Name, name.c_str()) == 0) {
            value = e.Value;
            return true;
        }
    return false;
}

const char* IntToIdent(const TIdentMap& map, long long value) {
    for (const TIdentMapEntry& e : map)
        if (e.Value == value) return e.Name;
    return nullptr;
}

AnsiString WideToAnsi(const WideString& s) {
    if (s.empty()) return AnsiString();
    int n = WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    AnsiString a(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), &a[0], n, nullptr, nullptr);
    return a;
}

namespace typinfo_detail {

void ThrowBadValue(const char* name) {
    throw EReadError(Format("Invalid property value for %s", name));
}

bool ParseBoolValue(const TPropValue& v, bool& result) {
    if (v.Kind != vkIdent) return false;
    if (lstrcmpiA(v.Ident.c_str(), "True") == 0) result = true;
    else if (lstrcmpiA(v.Ident.c_str(), "False") == 0) result = false;
    else return false;
    return true;
}

namespace {
struct TClassRegistry {
    std::vector<std::unique_ptr<TClassInfo>> all;      // every class info made
    std::vector<const TClassInfo*> registered;         // creatable by name
    std::vector<std::pair<AnsiString, std::vector<AnsiString>>> pages;
};
TClassRegistry& Registry() {
    static TClassRegistry registry;
    return registry;
}
}  // namespace

void AddClassInfo(TClassInfo* info) { Registry().all.emplace_back(info); }

}  // namespace typinfo_detail

using typinfo_detail::Registry;

// ---------------------------------------------------------------- property lists

bool TPropInfo::IsStored(TPersistent* obj) const {
    if (Stored && !Stored(obj)) return false;
    if (!GetValue) return false;
    return !HasDefault || GetValue(obj) != Default;
}

bool TClassInfo::InheritsFrom(const TClassInfo* other) const {
    for (const TClassInfo* c = this; c; c = c->parent_)
        if (c == other) return true;
    return false;
}

int TClassInfo::Depth() const {
    int d = 0;
    for (const TClassInfo* c = parent_; c; c = c->parent_) ++d;
    return d;
}

std::vector<const TPropInfo*> TClassInfo::Properties() const {
    std::vector<const TPropInfo*> list = parent_ ? parent_->Properties() : std::vector<const TPropInfo*>();
    for (const TPropInfo& p : OwnProperties) {
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [&](const TPropInfo* q) { return lstrcmpiA(q->Name.c_str(), p.Name.c_str()) == 0; }),
                   list.end());
        list.push_back(&p);
    }
    return list;
}

const TPropInfo* TClassInfo::FindProperty(const AnsiString& name) const {
    for (const TClassInfo* c = this; c; c = c->parent_)
        for (const TPropInfo& p : c->OwnProperties)
            if (lstrcmpiA(p.Name.c_str(), name.c_str()) == 0) return &p;
    return nullptr;
}

const TClassInfo* ClassInfoOfObject(const TObject* obj) {
    if (!obj) return nullptr;
    const TClassInfo* best = nullptr;
    for (const auto& info : Registry().all) {
        if (!info->IsInstance || !info->IsInstance(obj)) continue;
        // The exact class wins; otherwise the deepest class the object belongs to.
        if (lstrcmpA(info->ClassName(), obj->ClassName()) == 0) return info.get();
        if (!best || info->Depth() > best->Depth()) best = info.get();
    }
    return best;
}

void RegisterClass(TComponentClass cls) {
    auto& reg = Registry().registered;
    if (cls && std::find(reg.begin(), reg.end(), cls) == reg.end()) reg.push_back(cls);
}

void RegisterComponents(const AnsiString& page, std::initializer_list<TComponentClass> classes) {
    auto& pages = Registry().pages;
    auto it = std::find_if(pages.begin(), pages.end(), [&](const auto& p) { return p.first == page; });
    if (it == pages.end()) {
        pages.emplace_back(page, std::vector<AnsiString>());
        it = pages.end() - 1;
    }
    for (TComponentClass cls : classes) {
        if (!cls) continue;
        RegisterClass(cls);
        if (std::find(it->second.begin(), it->second.end(), cls->ClassName()) == it->second.end())
            it->second.push_back(cls->ClassName());
    }
}

TComponentClass GetClass(const AnsiString& name) {
    for (TComponentClass c : Registry().registered)
        if (lstrcmpiA(c->ClassName(), name.c_str()) == 0) return c;
    return nullptr;
}

TComponentClass FindClass(const AnsiString& name) {
    TComponentClass c = GetClass(name);
    if (!c) throw EClassNotFound(Format("Class %s not found", name));
    return c;
}

std::vector<AnsiString> PaletteClasses(const AnsiString& page) {
    for (const auto& p : Registry().pages)
        if (p.first == page) return p.second;
    return {};
}

std::vector<AnsiString> PalettePages() {
    std::vector<AnsiString> names;
    for (const auto& p : Registry().pages) names.push_back(p.first);
    return names;
}

// ---------------------------------------------------------------- components

void TComponent::DeclareProperties(TProps<TComponent>& P) {
    P.Integer("Tag", &TComponent::Tag, &TComponent::SetTag, 0);
}

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    state_ << csDestroying;
    // Those that asked to hear about our end forget us first.
    std::vector<TComponent*> notify;
    notify.swap(freeNotifies_);
    for (TComponent* c : notify) {
        c->RemoveFreeNotification(this);
        c->Notification(this, opRemove);
    }
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

AnsiString TComponent::UpperCase(const AnsiString& s) {
    AnsiString u = s;
    for (char& ch : u) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return u;
}

static bool IsValidIdent(const AnsiString& s) {
    if (s.empty()) return false;
    auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!alpha(s[0])) return false;
    for (char c : s)
        if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
    return true;
}

void TComponent::SetName(const AnsiString& value) {
    if (value == name_) return;
    if (!value.empty() && !IsValidIdent(value))
        throw EComponentError(Format("Component name \"%s\" is not valid", value));
    if (!value.empty() && owner_) {
        TComponent* other = owner_->FindComponent(value);
        if (other && other != this)
            throw EComponentError(Format("A component named %s already exists", value));
    }
    name_ = value;
}

TComponent* TComponent::FindComponent(const AnsiString& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (lstrcmpiA(c->name_.c_str(), name.c_str()) == 0) return c;
    return nullptr;
}

void TComponent::SetDesigning(bool value) {
    SetComponentStateFlag(csDesigning, value);
    for (TComponent* c : components_) c->SetDesigning(value);
}

void TComponent::SetComponentStateFlag(TComponentStateItem item, bool on) {
    if (on) state_ << item;
    else state_ >> item;
}

void TComponent::BeginLoading() { state_ << csLoading << csReading; }

void TComponent::Loaded() { state_ >> csLoading >> csReading; }

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component->owner_ == this) return;
    if (component->owner_) component->owner_->RemoveComponent(component);
    if (!component->name_.empty() && FindComponent(component->name_))
        throw EComponentError(Format("A component named %s already exists", component->name_));
    components_.push_back(component);
    component->owner_ = this;
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it == components_.end()) return;
    components_.erase(it);
    component->owner_ = nullptr;
    Notification(component, opRemove);
    for (TComponent* c : components_) c->Notification(component, opRemove);
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* c = components_.back();
        RemoveComponent(c);
        delete c;
    }
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
        freeNotifies_.push_back(component);
        component->FreeNotification(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), component);
    if (it == freeNotifies_.end()) return;
    freeNotifies_.erase(it);
    component->RemoveFreeNotification(this);
}

void TComponent::Notification(TComponent*, TOperation) {}

const std::any* TComponent::MethodAddress(const AnsiString& name) const {
    auto it = methods_.find(UpperCase(name));
    return it == methods_.end() ? nullptr : &it->second;
}

AnsiString TComponent::EventHandlerName(const AnsiString& event) const {
    auto it = eventNames_.find(UpperCase(event));
    return it == eventNames_.end() ? AnsiString() : it->second;
}

void TComponent::SetEventHandlerName(const AnsiString& event, const AnsiString& handler) {
    if (handler.empty()) eventNames_.erase(UpperCase(event));
    else eventNames_[UpperCase(event)] = handler;
}

void TComponent::BindFields() {
    for (const TFieldEntry& f : fields_) {
        TComponent* c = FindComponent(f.Name);
        if (!c) throw EReadError(Format("Component %s not found", f.Name));
        if (!f.Bind(c))
            throw EReadError(Format("Component %s is of another class", f.Name));
    }
}

TComponentClass TComponent::FieldClass(const AnsiString& className) const {
    for (const TFieldEntry& f : fields_)
        for (const TClassInfo* c = f.Class; c; c = c->Parent())
            if (lstrcmpiA(c->ClassName(), className.c_str()) == 0) return c;
    return nullptr;
}
