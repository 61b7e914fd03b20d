#pragma once

#include <string>
#include <vector>

// The known name nearest to one the player does not know, for "did you mean ...?": the fewest
// letters added, left out, changed or swapped with their neighbour, letters compared without regard
// to case (so a name in the wrong case is nearest of all). Empty when none is near enough: at most
// two such edits, and at most one for every three letters of the name. Ties go to the earlier name.
std::string NearestName(const std::string& word, const std::vector<std::string>& known);
