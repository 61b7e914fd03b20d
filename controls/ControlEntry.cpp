#include "controls/ControlEntry.h"

#include <climits>
#include <cstring>

namespace {
using K = FieldKind;
const FieldKind buttonFields[] = {K::Name, K::Integer, K::Integer, K::Integer, K::Integer, K::Text};
const FieldKind textFields[] = {K::Name,    K::Text,    K::Ignored, K::Ignored,
                                K::Integer, K::Colour,  K::Integer, K::Integer,
                                K::Integer, K::Integer, K::Text,    K::Text};
const FieldKind hScrollFields[] = {K::Name,    K::Text,    K::Flag,    K::Flag,
                                   K::Integer, K::Colour,  K::Integer, K::Integer,
                                   K::Integer, K::Integer, K::Text};
const FieldKind vScrollFields[] = {K::Name,    K::Text,    K::Flag,    K::Flag,    K::Integer,
                                   K::Colour,  K::Colour,  K::Integer, K::Integer, K::Integer,
                                   K::Integer, K::Integer, K::Integer, K::Integer, K::Mode,
                                   K::Alignment, K::Text};
const FieldKind labelFields[] = {K::Name,    K::Text,    K::Flag,    K::Flag,
                                 K::Integer, K::Colour,  K::Colour,  K::Integer,
                                 K::Integer, K::Integer, K::Integer, K::Text};
}  // namespace

const std::vector<ControlLayout>& ControlLayouts()
{
    // The required counts are those of the section loaders: every field up to the last number or
    // text the control needs; the tooltip may be left out except by the horizontal scroller.
    static const std::vector<ControlLayout> layouts = {
        {"BUTTONINFO", "button", 6, 5, buttonFields, 1, 2, 3, 4},
        {"TEXTINFO", "text field", 12, 11, textFields, 6, 7, 8, 9},
        {"HSCROLLINFO", "horizontal scroller", 11, 11, hScrollFields, 6, 7, 8, 9},
        {"VSCROLLINFO", "vertical scroller", 17, 16, vScrollFields, 7, 8, 9, 10},
        {"LABELINFO", "label", 12, 11, labelFields, 7, 8, 9, 10},
    };
    return layouts;
}

const ControlLayout* FindControlLayout(const char* section)
{
    for (const ControlLayout& layout : ControlLayouts())
        if (section && strcmp(layout.section, section) == 0)
            return &layout;
    return nullptr;
}

int ControlPlace::ShiftedX() const
{
    return x > INT_MAX - shift ? INT_MAX : x + shift;
}
