// Standard controls. TLabel is windowless: its parent paints it.
#pragma once

#include <string>

#include "Controls.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);
    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    TFont Font;
    TColor Color = clBtnFace;
    bool ParentColor = true;  // the background is the parent's colour
    bool Transparent = false;
    TAlignment Alignment = taLeftJustify;
    TTextLayout Layout = tlTop;
    bool WordWrap = false;
    bool ShowAccelChar = true;
    // With AutoSize the label takes the size of its text (keeping its width when it wraps).
    bool AutoSize = true;
    void AdjustBounds();
    void Paint(TCanvas& Canvas) override;

private:
    unsigned TextFlags() const;
    std::string FCaption;
};
