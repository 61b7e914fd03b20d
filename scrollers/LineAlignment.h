#pragma once

// How a vertical scroller aligns each line of its text.
enum class LineAlignment { Left, Center, Right };

// The names a skin gives the alignments (in any case): the only place they are written, so the
// disk checker knows every name the scroller knows. Window-free.
struct LineAlignmentName {
    const char* name;
    LineAlignment alignment;
};
extern const LineAlignmentName lineAlignmentNames[3];

// True, with the alignment, when the name is one of them; false (alignment untouched) otherwise.
bool LineAlignmentFromName(const char* name, LineAlignment* alignment);
