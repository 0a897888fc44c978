// Owners of the GDI objects painting and dialogs create: a brush or font is
// deleted, a memory device context deleted and a selection undone when its
// owner goes, in the reverse order of their making.
#pragma once

#include <windows.h>

#include "engine/base/owned.h"

template <typename Handle>
struct GdiObjectKind {
    using Type = Handle;
    static Handle none() { return nullptr; }
    static void giveBack(Handle object) { DeleteObject(object); }
};
using OwnedBrush = Owned<GdiObjectKind<HBRUSH>>;
using OwnedFont = Owned<GdiObjectKind<HFONT>>;

struct MemoryDCKind {
    using Type = HDC;
    static HDC none() { return nullptr; }
    static void giveBack(HDC dc) { DeleteDC(dc); }
};
using OwnedMemoryDC = Owned<MemoryDCKind>;

// `object` selected into `dc` for as long as the selection lives; the object
// it replaced is selected again at its end.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, previous_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};
