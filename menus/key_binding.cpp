#include "menus/key_binding.h"

#include <cctype>

#include "platform/platform.h"
#include "resources/key_codes.h"

namespace {

std::string trimmed(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first])) != 0) {
        ++first;
    }
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1])) != 0) {
        --last;
    }
    return text.substr(first, last - first);
}

// One key without modifiers: a letter or digit, or a named key; 0 when it names none.
std::int32_t keyOfName(const std::string& name) {
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])) != 0) {
        return std::tolower(static_cast<unsigned char>(name[0]));
    }
    if (platform::namesEqualIgnoringCase(name, "Escape") ||
        platform::namesEqualIgnoringCase(name, "Esc")) {
        return keys::escape;
    }
    return 0;
}

bool parseChord(std::string part, KeyChord& chord) {
    chord = KeyChord{};
    for (;;) {
        const std::size_t plus = part.find('+');
        if (plus == std::string::npos || plus + 1 >= part.size()) {
            break;
        }
        const std::string modifier = trimmed(part.substr(0, plus));
        if (platform::namesEqualIgnoringCase(modifier, "Ctrl")) {
            chord.modifiers |= keys::ctrl;
        } else if (platform::namesEqualIgnoringCase(modifier, "Alt")) {
            chord.modifiers |= keys::alt;
        } else if (!platform::namesEqualIgnoringCase(modifier, "Shift")) {
            return false;
        }
        part = part.substr(plus + 1);
    }
    chord.key = keyOfName(trimmed(part));
    return chord.key != 0;
}

}  // namespace

bool parseKeyChords(const std::string& text, std::vector<KeyChord>& chords) {
    bool allKnown = true;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string::npos) {
            comma = text.size();
        }
        const std::string part = trimmed(text.substr(start, comma - start));
        KeyChord chord;
        if (!part.empty()) {
            if (parseChord(part, chord)) {
                chords.push_back(chord);
            } else {
                allKnown = false;
            }
        }
        start = comma + 1;
    }
    return allKnown;
}

bool chordMatches(const KeyChord& chord, std::int32_t key, std::int32_t modifiers) {
    const std::int32_t counted = keys::ctrl | keys::alt;
    return chord.key == key && (modifiers & counted) == (chord.modifiers & counted);
}
