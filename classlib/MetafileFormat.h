// Checks of Windows metafiles (.wmf, with or without the placeable header, and .emf) before any of it
// is handed to GDI. Plain C++ without Windows headers, so that it can also be built and fuzzed natively.
#pragma once

#include <cstddef>
#include <string>

struct TMetafileLayout {
    bool Enhanced = false;
    size_t RecordsOffset = 0;  // the metafile proper, as GDI takes it: after the placeable header
    size_t RecordsBytes = 0;
    int Width = 0;             // pixels at 96 dots an inch
    int Height = 0;
    int MMWidth = 0;           // 0.01 mm
    int MMHeight = 0;
};

// True when Data holds a whole metafile whose every record lies inside it, ending in its end record;
// otherwise false with Error set. The size comes from the placeable header (in its own units an inch),
// an enhanced metafile's frame (0.01 mm) or bounds (pixels), or a plain metafile's window extent.
bool ParseMetafile(const std::string& Data, TMetafileLayout& Layout, std::string& Error);
