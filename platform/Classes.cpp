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
