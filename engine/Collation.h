// Collation: the Hungarian alphabetical order of Windows-1250 text, as the
// Hungarian collation of ICU defines it.
//
// At the first level a = á, e = é, i = í, o = ó, u = ú, ö = ő (after o),
// ü = ű (after u), and cs, dz, dzs, gy, ly, ny, sz, ty, zs are letters of
// their own. Accents, then letter case, then the bytes themselves only break
// ties, so the order is total and two texts compare equal only when they are
// the same bytes. Indexes, ORDER BY and text comparisons all use this order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// <0, 0, >0 as a sorts before, equal to, after b.
int compareText(std::string_view a, std::string_view b);

// A byte string whose memcmp order is the order of compareText; for indexes
// that compare many times against the same text.
std::string sortKey(std::string_view cp1250);

// The places of many distinct texts in the order of compareText, for a
// sort: ranks[i] is the number of the texts that sort before texts[i].
// Texts of digits, blanks and punctuation alone are ordered without ICU
// (each such character has one weight of its own there); the ICU keys of
// other texts are remembered, in a bounded memory, for the next sort.
std::vector<uint32_t> rankTexts(const std::vector<std::string_view>& texts);

// The same order with letter case ignored (accents still count): equal
// exactly when the lower-case forms are the same bytes. For case-insensitive
// indexes and lookups.
int compareTextCaseless(std::string_view a, std::string_view b);
std::string caselessSortKey(std::string_view cp1250);

// Names the order that built a stored index (collation and its version), so
// that an index built under another order is detected, not trusted.
const std::string& collationId();

}  // namespace engine
