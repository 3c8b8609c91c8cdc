// A small writer of older documents, from their layouts: the PC variant ("YRNk",
// little-endian, 116-byte records) and the Mac variant (no magic, big-endian, 136-byte
// records at their Mac offsets). There are no sample files to take; the tests and the
// fuzz seeds build theirs with this.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

struct LegacyObjectSpec {
    uint8_t oldClass = 1;
    uint16_t kind = 3;           // old kind code 3: a point
    uint8_t code = 0;            // old construction code 0: free
    uint8_t color = 0;
    uint8_t trace = 0;
    uint8_t hidden = 0;
    uint8_t line = 0;
    uint8_t labelShown = 0;
    int16_t x = 0, y = 0;
    int16_t boxWidth = 0, boxHeight = 0;  // a text's box extent, beside its position
    uint16_t face = 0, font = 0, size = 12;
    uint32_t total = 0;
    std::string label;
    std::vector<uint16_t> parents;  // old 1-based numbers
    std::vector<uint8_t> data;      // class data, already in the variant's byte order
};

class LegacyWriter {
public:
    explicit LegacyWriter(bool mac, uint16_t version = 11) : mac_(mac), version_(version) {}

    uint8_t angleUnit = 0;     // old: 0 degrees, 1 directed, 2 radians
    uint8_t distanceUnit = 0;  // old: 0 inches, 1 cm, 2 pixels
    uint16_t headerSize = 326;
    int16_t left = 10, top = 20, width = 400, height = 300;
    uint16_t precision[3] = { 1, 2, 3 };  // angle, distance, number
    int32_t countOverride = -1;
    bool endMark = true;
    std::vector<uint8_t> trailer;  // PC: bytes after the end mark (tag 0 is added)

    void Add(const LegacyObjectSpec& o) { objects_.push_back(o); }

    // Numbers in the variant's byte order, for class data.
    void U16(std::vector<uint8_t>& b, uint32_t v) const {
        if (mac_) { b.push_back(uint8_t(v >> 8)); b.push_back(uint8_t(v)); }
        else { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); }
    }
    void U32(std::vector<uint8_t>& b, uint32_t v) const {
        for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (mac_ ? 24 - 8 * i : 8 * i)));
    }
    // An old calculator constant: the word, then the float's two halves in file order.
    void OldFloat(std::vector<uint16_t>& words, float f) const {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        if (mac_) { words.push_back(uint16_t(bits >> 16)); words.push_back(uint16_t(bits)); }
        else { words.push_back(uint16_t(bits)); words.push_back(uint16_t(bits >> 16)); }
    }

    std::vector<uint8_t> Bytes() const {
        const uint32_t count = countOverride >= 0 ? uint32_t(countOverride) : uint32_t(objects_.size());
        // The first four bytes (the Mac object count, or the PC magic), then the header.
        std::vector<uint8_t> out(mac_ ? 4 + 356 : 4 + 326, 0);
        if (mac_) {
            Put(out, 0, count, 4, true);
            uint8_t* h = out.data() + 4;
            PutAt(h, 0, version_, 2, true);
            // The window rectangle {top, left, bottom, right}; byte +304 of the PC header
            // (Mac 19) is 1, so the width is right - left - 48.
            PutAt(h, 2, uint16_t(top), 2, true);
            PutAt(h, 4, uint16_t(left), 2, true);
            PutAt(h, 6, uint16_t(top + height + 16), 2, true);
            PutAt(h, 8, uint16_t(left + width + 48), 2, true);
            h[19] = 1;
            PutAt(h, 20, uint16_t(top), 2, true);
            PutAt(h, 22, uint16_t(left), 2, true);
            for (int i = 0; i < 3; ++i) PutAt(h, 328 + 2 * i, precision[i], 2, true);
            h[334] = angleUnit;
            h[335] = distanceUnit;
        } else {
            std::memcpy(out.data(), "YRNk", 4);
            uint8_t* h = out.data() + 4;
            PutAt(h, 0, count, 4, false);
            PutAt(h, 4, version_, 2, false);
            PutAt(h, 8, headerSize, 2, false);
            PutAt(h, 10, uint16_t(left), 2, false);
            PutAt(h, 12, uint16_t(top), 2, false);
            PutAt(h, 14, uint16_t(width), 2, false);
            PutAt(h, 16, uint16_t(height), 2, false);
            for (int i = 0; i < 3; ++i) PutAt(h, 312 + 2 * i, precision[i], 2, false);
            h[318] = angleUnit;
            h[319] = distanceUnit;
        }
        for (const LegacyObjectSpec& o : objects_) {
            const std::vector<uint8_t> r = mac_ ? MacRecord(o) : PcRecord(o);
            out.insert(out.end(), r.begin(), r.end());
            out.insert(out.end(), o.data.begin(), o.data.end());
            for (uint16_t p : o.parents) Put(out, out.size(), p, 2, mac_);
        }
        if (endMark) {
            LegacyObjectSpec end;
            end.oldClass = 255;
            const std::vector<uint8_t> r = mac_ ? MacRecord(end) : PcRecord(end);
            out.insert(out.end(), r.begin(), r.end());
        }
        if (!mac_) {
            out.insert(out.end(), trailer.begin(), trailer.end());
            Put(out, out.size(), 0, 2, false);
        }
        return out;
    }

private:
    static void PutAt(uint8_t* b, size_t at, uint32_t v, int n, bool big) {
        for (int i = 0; i < n; ++i) b[at + i] = uint8_t(v >> (big ? 8 * (n - 1 - i) : 8 * i));
    }
    static void Put(std::vector<uint8_t>& b, size_t at, uint32_t v, int n, bool big) {
        if (b.size() < at + n) b.resize(at + n);
        for (int i = 0; i < n; ++i) b[at + i] = uint8_t(v >> (big ? 8 * (n - 1 - i) : 8 * i));
    }
    std::vector<uint8_t> PcRecord(const LegacyObjectSpec& o) const {
        std::vector<uint8_t> r(116, 0);
        Put(r, 0, o.kind, 2, false);
        Put(r, 2, o.total, 4, false);
        Put(r, 8, uint16_t(o.x), 2, false);
        Put(r, 10, uint16_t(o.y), 2, false);
        Put(r, 12, uint16_t(o.boxWidth), 2, false);
        Put(r, 14, uint16_t(o.boxHeight), 2, false);
        Put(r, 16, uint32_t(o.parents.size()), 2, false);
        Put(r, 22, o.face, 2, false);
        Put(r, 24, o.font, 2, false);
        Put(r, 26, o.size, 2, false);
        r[28] = o.oldClass;
        r[29] = o.color;
        r[30] = o.code;
        r[31] = o.labelShown;
        r[32] = o.trace;
        r[33] = o.hidden;
        r[34] = o.line;
        std::memcpy(r.data() + 41, o.label.data(), o.label.size() < 32 ? o.label.size() : 32);
        return r;
    }
    std::vector<uint8_t> MacRecord(const LegacyObjectSpec& o) const {
        std::vector<uint8_t> r(136, 0);
        Put(r, 0, uint16_t(o.y), 2, true);  // a Mac point {v, h}
        Put(r, 2, uint16_t(o.x), 2, true);
        Put(r, 4, uint16_t(o.boxHeight), 2, true);  // the extent, {v, h} as well
        Put(r, 6, uint16_t(o.boxWidth), 2, true);
        Put(r, 8, uint32_t(o.parents.size()), 2, true);
        Put(r, 14, o.kind, 2, true);
        r[16] = uint8_t(o.face);
        Put(r, 18, o.font, 2, true);
        Put(r, 20, o.size, 2, true);
        r[39] = o.color;
        r[40] = o.code;
        r[43] = o.oldClass;
        r[46] = o.labelShown;
        r[47] = o.trace;
        r[48] = o.hidden;
        r[49] = o.line;
        const size_t n = o.label.size() < 32 ? o.label.size() : 32;
        r[58] = uint8_t(n);
        std::memcpy(r.data() + 59, o.label.data(), n);
        return r;
    }

    bool mac_;
    uint16_t version_;
    std::vector<LegacyObjectSpec> objects_;
};

// An old caption at (x, y) holding `body` as it is stored (Mac text for a Mac writer):
// bold and underlined, in `size`.
inline LegacyObjectSpec LegacyCaption(const LegacyWriter& w, bool mac, const std::string& body, int16_t x,
                                      int16_t y, uint16_t size) {
    LegacyObjectSpec text;
    text.oldClass = 0;
    text.kind = 15;
    text.x = x;
    text.y = y;
    text.face = 1 | 4;
    text.size = size;
    if (mac) {
        text.data.assign(14, 0);
        text.data[5] = uint8_t(body.size());
        w.U16(text.data, 1);  // one style-run word
        w.U16(text.data, 0);
    } else {
        w.U16(text.data, 0);
        w.U16(text.data, 0);
        w.U16(text.data, uint32_t(body.size()));
    }
    text.data.insert(text.data.end(), body.begin(), body.end());
    return text;
}

// An old free point at (x, y).
inline LegacyObjectSpec LegacyPoint(const LegacyWriter& w, int32_t x, int32_t y, const std::string& label = "") {
    LegacyObjectSpec o;
    w.U32(o.data, uint32_t(x));
    w.U32(o.data, uint32_t(y));
    w.U16(o.data, 0);
    w.U16(o.data, 0);
    o.label = label;
    return o;
}

// An old unit point (code 54) on an old origin, 50 pixels along.
inline LegacyObjectSpec LegacyUnitPoint(const LegacyWriter& w, uint16_t origin) {
    LegacyObjectSpec o = LegacyPoint(w, 50, 0);
    o.code = 54;
    o.parents = { origin };
    return o;
}

// An old coordinate system of form 50 (origin and unit point) on its listed objects.
inline LegacyObjectSpec LegacySystem(const LegacyWriter& w, const std::vector<uint16_t>& listed) {
    LegacyObjectSpec o;
    o.oldClass = 12;
    o.kind = 0;
    o.code = 50;
    o.data.assign(14, 0);
    w.U16(o.data, uint32_t(listed.size()));
    for (uint16_t number : listed) w.U16(o.data, number);
    o.parents = { listed.empty() ? uint16_t(1) : listed[0] };
    return o;
}

// An old measurement of code `measure` on its parents, showing `shown`.
inline LegacyObjectSpec LegacyMeasurement(const LegacyWriter& w, uint8_t measure, std::vector<uint16_t> parents,
                                          const std::string& shown = "") {
    LegacyObjectSpec o;
    o.oldClass = 6;
    o.kind = 14;  // a measurement text
    o.code = 22;
    o.data = { measure, 0, 0, 0, 0, 0, 0 };
    o.data.push_back(0);  // name
    o.data.push_back(uint8_t(shown.size()));
    o.data.insert(o.data.end(), shown.begin(), shown.end());
    o.data.push_back(0);  // flag
    w.U16(o.data, 0);     // block
    o.parents = std::move(parents);
    return o;
}

// An old calculation (measurement code 12) of the calculator words on its parents.
inline LegacyObjectSpec LegacyCalculation(const LegacyWriter& w, std::vector<uint16_t> parents,
                                          const std::vector<uint16_t>& words) {
    LegacyObjectSpec o = LegacyMeasurement(w, 12, std::move(parents));
    o.data.resize(o.data.size() + 5, 0);
    w.U16(o.data, uint32_t(words.size()));
    for (uint16_t word : words) w.U16(o.data, word);
    return o;
}
