#include "scrollers/LineAlignment.h"

#include "descriptor/EntryText.h"

const LineAlignmentName lineAlignmentNames[3] = {{"left", LineAlignment::Left},
                                                 {"right", LineAlignment::Right},
                                                 {"center", LineAlignment::Center}};

bool LineAlignmentFromName(const char* name, LineAlignment* alignment)
{
    for (const LineAlignmentName& known : lineAlignmentNames)
        if (SameTextNoCase(name, known.name)) {
            if (alignment)
                *alignment = known.alignment;
            return true;
        }
    return false;
}
