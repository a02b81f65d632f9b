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
