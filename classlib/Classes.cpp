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

TFileStream::TFileStream(const std::string& FileName, unsigned short Mode)
    : FFile(std::fopen(FileName.c_str(), Mode == fmCreate ? "wb" : "rb")) {
    if (!FFile)
        throw EFOpenError((Mode == fmCreate ? "Cannot create file \"" : "Cannot open file \"") + FileName + "\"");
}

TFileStream::~TFileStream() { std::fclose(FFile); }

size_t TFileStream::Write(const void* Buffer, size_t Count) {
    // A short write may only show when the buffered bytes reach the disk.
    const size_t Written = std::fwrite(Buffer, 1, Count, FFile);
    return std::fflush(FFile) == 0 ? Written : 0;
}

size_t TFileStream::Read(void* Buffer, size_t Count) { return std::fread(Buffer, 1, Count, FFile); }
