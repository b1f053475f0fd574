#include "Classes.h"

#include <algorithm>

#include "Sysutils.h"

TComponent::TComponent(TComponent* AOwner) : FOwner(AOwner) {
    if (FOwner) FOwner->FComponents.push_back(this);
}

TComponent::~TComponent() {
    // Free owned components last-created first; each one unlinks itself from this list.
    while (!FComponents.empty()) delete FComponents.back();
    if (FOwner) {
        auto& Siblings = FOwner->FComponents;
        Siblings.erase(std::remove(Siblings.begin(), Siblings.end(), this), Siblings.end());
    }
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
    for (TComponent* C : FComponents)
        if (SameText(C->Name, AName)) return C;
    return nullptr;
}

int TStringList::IndexOf(const std::string& S) const {
    for (int I = 0; I < Count(); ++I)
        if (SameText(FItems[I], S)) return I;
    return -1;
}
