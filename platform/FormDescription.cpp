#include "FormDescription.h"

#include <cctype>
#include <cstdlib>
#include <set>

#include "Controls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TntStdCtrls.h"

namespace {

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Reads a description: a small hand-written scanner with line numbers.
class TDescriptionReader {
public:
    TDescriptionReader(TComponent* root, const AnsiString& text) : root_(root), text_(text) {}

    void Read() {
        SkipSpace();
        AnsiString keyword = Ident();
        if (!SameText(keyword, "object") && !SameText(keyword, "inherited")) Fail("'object' expected");
        AnsiString name = Ident();
        Expect(':');
        AnsiString className = Ident();
        if (!RootIsA(className)) Fail(Format("The description is of class %s", className));
        root_->BeginLoading();
        loaded_.push_back(root_);
        if (!name.empty()) root_->SetName(name);
        ReadBody(root_);
        SkipSpace();
        if (pos_ < text_.size()) Fail("Text after the final 'end'");
        for (TComponent* c : loaded_) c->Loaded();
        root_->BindFields();
    }

    // One value alone (no description around it).
    static TPropValue ParseValueOnly(const AnsiString& text) {
        TDescriptionReader reader(nullptr, text);
        TPropValue v = reader.Value();
        reader.SkipSpace();
        if (reader.pos_ < text.size()) reader.Fail("Text after the value");
        return v;
    }

private:
    bool RootIsA(const AnsiString& className) const {
        if (SameText(className, root_->ClassName())) return true;
        for (const TClassInfo* c = ClassInfoOfObject(root_); c; c = c->Parent())
            if (SameText(className, c->ClassName())) return true;
        return false;
    }

    void ReadBody(TComponent* component) {
        while (true) {
            SkipSpace();
            if (pos_ >= text_.size()) Fail("'end' expected");
            size_t lineOfItem = line_;
            AnsiString word = Path();
            if (SameText(word, "end")) return;
            if (SameText(word, "object") || SameText(word, "inherited")) {
                ReadChild(component);
                continue;
            }
            Expect('=');
            TPropValue value = Value();
            try {
                ApplyProperty(component, word, value);
            } catch (const EReadError& e) {
                throw EReadError(Format("Line %s: ", std::to_string(lineOfItem)) +
                                 Format("Error reading %s", QualifiedName(component, word)) + ": " + e.Message);
            } catch (const Exception& e) {
                throw EReadError(Format("Line %s: ", std::to_string(lineOfItem)) +
                                 Format("Error reading %s", QualifiedName(component, word)) + ": " + e.Message);
            }
        }
    }

    static AnsiString QualifiedName(TComponent* c, const AnsiString& path) {
        return c->Name().empty() ? path : c->Name() + "." + path;
    }

    void ReadChild(TComponent* parentObject) {
        AnsiString name = Ident();
        Expect(':');
        AnsiString className = Ident();
        TComponentClass cls = root_->FieldClass(className);
        if (!cls) cls = GetClass(className);
        if (!cls) throw EClassNotFound(Format("Line %s: ", std::to_string(line_)) +
                                       Format("Class %s not found", className));
        if (!cls->Create) Fail(Format("Class %s cannot be created", className));
        TComponent* child = cls->Create(root_);
        child->BeginLoading();
        loaded_.push_back(child);
        child->SetName(name);
        if (auto* control = dynamic_cast<TControl*>(child))
            if (auto* parent = dynamic_cast<TWinControl*>(parentObject)) control->SetParent(parent);
        ReadBody(child);
    }

    void ApplyProperty(TComponent* component, const AnsiString& path, const TPropValue& value) {
        TPersistent* target = component;
        size_t start = 0;
        while (true) {
            size_t dot = path.find('.', start);
            AnsiString name = path.substr(start, dot == AnsiString::npos ? AnsiString::npos : dot - start);
            const TClassInfo* info = ClassInfoOfObject(target);
            const TPropInfo* prop = info ? info->FindProperty(name) : nullptr;
            if (!prop) throw EReadError(Format("Property %s does not exist", name));
            if (dot == AnsiString::npos) {
                SetProperty(component, target, *prop, path, value);
                return;
            }
            if (prop->Type != ptObject) throw EReadError(Format("Property %s has no parts", name));
            target = prop->GetObject(target);
            if (!target) throw EReadError(Format("Property %s is empty", name));
            start = dot + 1;
        }
    }

    void SetProperty(TComponent* component, TPersistent* target, const TPropInfo& prop, const AnsiString& path,
                     const TPropValue& value) {
        switch (prop.Type) {
            case ptEvent: {
                if (value.Kind != vkIdent) throw EReadError("Invalid property value");
                const std::any* handler = root_->MethodAddress(value.Ident);
                if (!handler) throw EReadError(Format("Method %s not found", value.Ident));
                if (!prop.SetHandler(target, *handler))
                    throw EReadError(Format("Method %s does not fit the event", value.Ident));
                component->SetEventHandlerName(path, value.Ident);
                return;
            }
            case ptObject:
                throw EReadError(Format("Property %s is an object", prop.Name));
            default:
                prop.SetValue(target, value);
        }
    }

    // ------------------------------------------------------------ scanning

    [[noreturn]] void Fail(const AnsiString& message) const {
        throw EReadError(Format("Line %s: ", std::to_string(line_)) + message);
    }

    static bool SameText(const AnsiString& a, const char* b) { return lstrcmpiA(a.c_str(), b) == 0; }
    static bool SameText(const AnsiString& a, const AnsiString& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

    char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }

    void SkipSpace() {
        while (pos_ < text_.size()) {
            char c = text_[pos_];
            if (c == '\n') ++line_;
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') ++pos_;
            else break;
        }
    }

    void Expect(char c) {
        SkipSpace();
        if (Peek() != c) Fail(Format("'%s' expected", AnsiString(1, c)));
        ++pos_;
    }

    AnsiString Ident() {
        SkipSpace();
        if (!IsIdentStart(Peek())) Fail("Identifier expected");
        size_t start = pos_;
        while (IsIdentChar(Peek())) ++pos_;
        return text_.substr(start, pos_ - start);
    }

    // A dotted property path (Font.Name) or a keyword.
    AnsiString Path() {
        AnsiString p = Ident();
        while (Peek() == '.') {
            ++pos_;
            if (!IsIdentStart(Peek())) Fail("Identifier expected");
            size_t start = pos_;
            while (IsIdentChar(Peek())) ++pos_;
            p += "." + text_.substr(start, pos_ - start);
        }
        return p;
    }

    TPropValue Value() {
        SkipSpace();
        char c = Peek();
        if (c == '\'' || c == '#') return StringValue();
        if (c == '[') return SetValue();
        if (c == '-' || c == '+' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) return IntegerValue();
        if (IsIdentStart(c)) return TPropValue::Identifier(Ident());
        if (c == '{' || c == '(' || c == '<') Fail("Unsupported property value");
        Fail("Property value expected");
    }

    TPropValue IntegerValue() {
        bool negative = false;
        if (Peek() == '-' || Peek() == '+') {
            negative = Peek() == '-';
            ++pos_;
        }
        long long v = 0;
        if (Peek() == '$') {
            ++pos_;
            size_t start = pos_;
            while (std::isxdigit(static_cast<unsigned char>(Peek()))) ++pos_;
            if (pos_ == start || pos_ - start > 16) Fail("Invalid number");
            v = static_cast<long long>(std::strtoull(text_.substr(start, pos_ - start).c_str(), nullptr, 16));
        } else {
            size_t start = pos_;
            while (std::isdigit(static_cast<unsigned char>(Peek()))) ++pos_;
            if (pos_ == start || pos_ - start > 18) Fail("Invalid number");
            v = std::strtoll(text_.substr(start, pos_ - start).c_str(), nullptr, 10);
        }
        if (IsIdentChar(Peek()) || Peek() == '.') Fail("Invalid number");
        return TPropValue::Integer(negative ? -v : v);
    }

    TPropValue StringValue() {
        WideString result;
        while (true) {
            char c = Peek();
            if (c == '\'') {
                ++pos_;
                AnsiString part;
                while (true) {
                    if (pos_ >= text_.size() || Peek() == '\n' || Peek() == '\r') Fail("Unterminated string");
                    char ch = text_[pos_++];
                    if (ch == '\'') {
                        if (Peek() == '\'') {
                            part += '\'';
                            ++pos_;
                            continue;
                        }
                        break;
                    }
                    part += ch;
                }
                result += AnsiToWide(part);
            } else if (c == '#') {
                ++pos_;
                TPropValue code = IntegerValue();
                if (code.Int < 0 || code.Int > 0xFFFF) Fail("Invalid character code");
                result += static_cast<wchar_t>(code.Int);
            } else {
                // A '+' joins the next part, also on the next line.
                size_t savePos = pos_, saveLine = line_;
                SkipSpace();
                if (Peek() == '+') {
                    ++pos_;
                    SkipSpace();
                    if (Peek() == '\'' || Peek() == '#') continue;
                    Fail("String expected after '+'");
                }
                pos_ = savePos;
                line_ = saveLine;
                break;
            }
        }
        return TPropValue::String(result);
    }

    TPropValue SetValue() {
        ++pos_;  // [
        std::vector<AnsiString> members;
        SkipSpace();
        if (Peek() == ']') {
            ++pos_;
            return TPropValue::SetOf(members);
        }
        while (true) {
            members.push_back(Ident());
            SkipSpace();
            if (Peek() == ',') {
                ++pos_;
                continue;
            }
            if (Peek() == ']') {
                ++pos_;
                break;
            }
            Fail("',' or ']' expected");
        }
        return TPropValue::SetOf(members);
    }

    TComponent* root_;
    const AnsiString& text_;
    size_t pos_ = 0;
    size_t line_ = 1;
    std::vector<TComponent*> loaded_;
};

// ---------------------------------------------------------------- writing

class TDescriptionWriter {
public:
    explicit TDescriptionWriter(TComponent* root) : root_(root) {}

    AnsiString Write() {
        WriteObject(root_, 0);
        return out_;
    }

private:
    void Line(int indent, const AnsiString& text) { out_ += AnsiString(static_cast<size_t>(indent) * 2, ' ') + text + "\r\n"; }

    void WriteObject(TComponent* c, int indent) {
        written_.insert(c);
        Line(indent, "object " + c->Name() + ": " + c->ClassName());
        WriteProperties(c, c, ClassInfoOfObject(c), "", indent + 1);
        std::vector<TComponent*> children;
        if (c == root_)
            for (int i = 0; i < root_->ComponentCount(); ++i)
                if (!root_->Components(i)->Is<TControl>()) children.push_back(root_->Components(i));
        if (auto* w = dynamic_cast<TWinControl*>(c))
            for (int i = 0; i < w->ControlCount(); ++i)
                if (w->Controls(i)->Owner() == root_) children.push_back(w->Controls(i));
        if (c == root_)
            for (int i = 0; i < root_->ComponentCount(); ++i) {
                auto* control = dynamic_cast<TControl*>(root_->Components(i));
                if (control && !control->Parent() && control != root_) children.push_back(control);
            }
        for (TComponent* child : children)
            if (!written_.count(child)) WriteObject(child, indent + 1);
        Line(indent, "end");
    }

    void WriteProperties(TComponent* component, TPersistent* obj, const TClassInfo* info, const AnsiString& prefix,
                         int indent) {
        if (!info) return;
        for (const TPropInfo* p : info->Properties()) {
            AnsiString path = prefix + p->Name;
            switch (p->Type) {
                case ptObject: {
                    if (p->Stored && !p->Stored(obj)) break;
                    TPersistent* sub = p->GetObject(obj);
                    if (sub) WriteProperties(component, sub, ClassInfoOfObject(sub), path + ".", indent);
                    break;
                }
                case ptEvent: {
                    AnsiString handler = component->EventHandlerName(path);
                    if (!handler.empty()) Line(indent, path + " = " + handler);
                    break;
                }
                default:
                    if (p->IsStored(obj)) {
                        TPropValue v = p->GetValue(obj);
                        const char* name = (v.Kind == vkInteger && p->Idents) ? IntToIdent(*p->Idents, v.Int) : nullptr;
                        Line(indent, path + " = " + (name ? AnsiString(name) : PropValueToText(v)));
                    }
            }
        }
    }

    TComponent* root_;
    AnsiString out_;
    std::set<TComponent*> written_;
};

}  // namespace

void RegisterStandardClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    for (TComponentClass c : {ClassOf<TForm>(), ClassOf<TButton>(), ClassOf<TLabel>(), ClassOf<TTntLabel>(),
                              ClassOf<TTntButton>(), ClassOf<TTimer>()})
        RegisterClass(c);
}

void ReadComponentDescription(TComponent* root, const AnsiString& text) {
    RegisterStandardClasses();
    TDescriptionReader reader(root, text);
    reader.Read();
}

AnsiString WriteComponent(TComponent* root) {
    RegisterStandardClasses();
    return TDescriptionWriter(root).Write(); }

AnsiString PropValueToText(const TPropValue& value) {
    switch (value.Kind) {
        case vkInteger: return std::to_string(value.Int);
        case vkIdent: return value.Ident;
        case vkSet: {
            AnsiString s = "[";
            for (size_t i = 0; i < value.Set.size(); ++i) s += (i ? ", " : "") + value.Set[i];
            return s + "]";
        }
        case vkString: {
            if (value.Str.empty()) return "''";
            AnsiString s;
            bool quoted = false;
            for (wchar_t ch : value.Str) {
                if (ch >= 32 && ch < 127) {
                    if (!quoted) {
                        s += '\'';
                        quoted = true;
                    }
                    s += ch == L'\'' ? AnsiString("''") : AnsiString(1, static_cast<char>(ch));
                } else {
                    if (quoted) {
                        s += '\'';
                        quoted = false;
                    }
                    s += "#" + std::to_string(static_cast<unsigned>(ch));
                }
            }
            if (quoted) s += '\'';
            return s;
        }
    }
    return AnsiString();
}

TPropValue ParsePropValue(const AnsiString& text) { return TDescriptionReader::ParseValueOnly(text); }
