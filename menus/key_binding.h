// Keys named in a menu file: a button's `key` names the keys that press it, as in "Escape",
// "1", "H" or "Ctrl+Z", several of them separated by commas ("U, Ctrl+Z").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct KeyChord {
    std::int32_t key = 0;
    // Ctrl and Alt must be as named; Shift is ignored, so "H" is H with or without it.
    std::int32_t modifiers = 0;
};

// The chords of `text`; false when a part names no key (the parts that do are kept).
bool parseKeyChords(const std::string& text, std::vector<KeyChord>& chords);

bool chordMatches(const KeyChord& chord, std::int32_t key, std::int32_t modifiers);
