#include "resources/audio_track.h"

// Stand-in until sound loading is written.
bool AudioTrack::loadFromFile(const std::string&) {
    return false;
}
bool AudioTrack::load(std::istream&, const std::string&) {
    return false;
}
bool AudioTrack::save() {
    return false;
}
