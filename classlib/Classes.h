// Base classes of our class library: objects, components with ownership, events, string lists.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "Sysutils.h"

struct TPoint {
    int X = 0, Y = 0;
};

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Contains(int X, int Y) const { return X >= Left && X < Right && Y >= Top && Y < Bottom; }
};

inline TRect Rect(int Left, int Top, int Right, int Bottom) { return TRect{Left, Top, Right, Bottom}; }
inline TRect Bounds(int Left, int Top, int Width, int Height) { return TRect{Left, Top, Left + Width, Top + Height}; }

class TObject {
public:
    virtual ~TObject() = default;
};

// Shift state of mouse and key events, as a set of flags.
using TShiftState = unsigned;
constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// A component owns the components created with it as owner and frees them with itself.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const { return FComponents.at(Index); }
    TComponent* FindComponent(const std::string& AName) const;

    std::string Name;
    int Tag = 0;

private:
    TComponent* FOwner;
    std::vector<TComponent*> FComponents;
};

class TStringList : public TObject {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    const std::string& operator[](int Index) const { return FItems.at(Index); }
    std::string& operator[](int Index) { return FItems.at(Index); }
    int Add(const std::string& S) {
        FItems.push_back(S);
        return Count() - 1;
    }
    void Delete(int Index) { FItems.erase(FItems.begin() + Index); }
    void Clear() { FItems.clear(); }
    int IndexOf(const std::string& S) const;  // letter case ignored, as the ANSI code page defines it
    std::vector<std::string>::const_iterator begin() const { return FItems.begin(); }
    std::vector<std::string>::const_iterator end() const { return FItems.end(); }

private:
    std::vector<std::string> FItems;
};

// A file that cannot be created or opened as a stream.
class EFOpenError : public Exception {
public:
    using Exception::Exception;
};

constexpr unsigned short fmOpenRead = 0x0000, fmCreate = 0xFF00;

// A file as a stream of bytes: fmCreate makes it (or empties it) for writing, fmOpenRead opens it
// for reading. Raises EFOpenError when that fails.
class TFileStream : public TObject {
public:
    TFileStream(const std::string& FileName, unsigned short Mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;
    // The bytes actually moved.
    size_t Write(const void* Buffer, size_t Count);
    size_t Read(void* Buffer, size_t Count);

private:
    std::FILE* FFile = nullptr;
};
