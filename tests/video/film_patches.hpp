#pragma once
// Films as other tools leave them, made by changing a few bytes of ones ffmpeg wrote: AVI samples
// without data before the first picture, an OpenDML index without keyframe flags, Matroska cues
// pointing at the wrong place.
#include <cstdint>
#include <string>

namespace vantrel::test {

inline uint32_t le32(const std::string& d, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(d[at + static_cast<size_t>(i)]);
    return v;
}

inline void put_le(std::string& d, size_t at, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) d[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline std::string le_bytes(uint64_t v, int bytes) {
    std::string out(static_cast<size_t>(bytes), '\0');
    put_le(out, 0, v, bytes);
    return out;
}

// An AVI of one video stream whose first `count` samples are empty (an encoder's delay); empty
// string when the file is not laid out as ffmpeg writes it.
inline std::string with_leading_empty_samples(std::string d, int count) {
    const size_t movi = d.find("movi");
    const size_t idx = d.rfind("idx1");
    if (movi == std::string::npos || idx == std::string::npos || idx < movi) return {};
    const std::string id = d.substr(idx + 8, 4);  // the video stream's chunk name
    std::string chunks, entries;
    for (int k = 0; k < count; ++k) {
        chunks += id + le_bytes(0, 4);
        entries += id + le_bytes(0, 4) + le_bytes(4 + 8 * static_cast<uint64_t>(k), 4) + le_bytes(0, 4);
    }
    const uint32_t old_entries = le32(d, idx + 4);
    for (size_t e = idx + 8; e + 16 <= idx + 8 + old_entries; e += 16) put_le(d, e + 8, le32(d, e + 8) + chunks.size(), 4);
    put_le(d, idx + 4, old_entries + entries.size(), 4);
    d.insert(idx + 8, entries);
    put_le(d, movi - 4, le32(d, movi - 4) + chunks.size(), 4);
    d.insert(movi + 4, chunks);
    put_le(d, 4, d.size() - 8, 4);
    return d;
}

// The AVI's index moved into an OpenDML chunk index with every chunk flagged as no keyframe, the
// old index blanked out; empty string when the file is not laid out as ffmpeg writes it.
inline std::string with_keyless_opendml_index(std::string d) {
    const size_t movi = d.find("movi");
    const size_t idx = d.rfind("idx1");
    const size_t room = d.find("JUNK");  // the space ffmpeg keeps for the master index
    if (movi == std::string::npos || idx == std::string::npos || room == std::string::npos || room > movi) return {};
    const uint32_t bytes = le32(d, idx + 4);
    std::string chunk_entries;
    uint32_t count = 0;
    for (size_t e = idx + 8; e + 16 <= idx + 8 + bytes; e += 16) {
        if (d.compare(e + 2, 2, "dc") != 0) continue;
        chunk_entries += le_bytes(le32(d, e + 8) + 8, 4) + le_bytes(le32(d, e + 12) | 0x80000000u, 4);
        ++count;
    }
    d.replace(idx, 4, "JUNK");
    const std::string ix = "ix00" + le_bytes(24 + chunk_entries.size(), 4) + le_bytes(2, 2) + std::string(1, '\0') +
                           std::string(1, '\1') + le_bytes(count, 4) + "00dc" + le_bytes(movi, 8) + le_bytes(0, 4) +
                           chunk_entries;
    const size_t at = d.size();
    d += ix;
    const std::string indx = "indx" + le_bytes(le32(d, room + 4), 4) + le_bytes(4, 2) + std::string(2, '\0') +
                             le_bytes(1, 4) + "00dc" + std::string(12, '\0') + le_bytes(at, 8) + le_bytes(ix.size(), 4) +
                             le_bytes(count, 4);
    d.replace(room, indx.size(), indx);
    put_le(d, 4, d.size() - 8, 4);
    return d;
}

// A Matroska file whose cues send every seek to the wrong place; empty string without cues.
inline std::string with_wrong_cues(std::string d) {
    const size_t cues = d.find("\x1C\x53\xBB\x6B");
    if (cues == std::string::npos) return {};
    int changed = 0;
    for (size_t at = cues; at + 2 < d.size(); ++at) {
        const auto size_byte = static_cast<uint8_t>(d[at + 1]);
        if (static_cast<uint8_t>(d[at]) != 0xF1 || size_byte < 0x81 || size_byte > 0x84) continue;
        const size_t length = size_byte - 0x80u;
        if (at + 2 + length > d.size()) break;
        // CueClusterPosition: big-endian, moved into the middle of another cluster.
        uint64_t value = 0;
        for (size_t i = 0; i < length; ++i) value = (value << 8) | static_cast<uint8_t>(d[at + 2 + i]);
        value = value / 2 + 77;
        for (size_t i = 0; i < length; ++i) d[at + 2 + length - 1 - i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        ++changed;
        at += 1 + length;
    }
    return changed > 0 ? d : std::string{};
}

}  // namespace vantrel::test
