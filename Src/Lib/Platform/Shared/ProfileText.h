// The settings file's text as the profile functions read and write it: sections of key=value
// lines with their comments, kept flat in the order the file has them. A load, a read and a save
// cost a handful of allocations whatever the file holds (a save runs every few minutes in
// flight, and a codec check runs thousands a second).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class ProfileText {
public:
    // Replaces what is held with what the text holds (a damaged text reads as far as it can).
    void Parse(const std::string& text);
    // Holds nothing. The storage stays for the next text unless it was far larger than a
    // settings file.
    void Clear();
    // The first value of the key in the file's order; null when the section or key is missing.
    // Valid until the next change.
    const char* Find(const char* section, const char* key) const;
    // Makes the value the key's only one, where its first occurrence was (a new section or key
    // goes last). False when the key held exactly that value once already: nothing changed.
    bool Set(const char* section, const char* key, const std::string& value);
    // The text a save writes.
    std::string Serialise() const;

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    struct Section {
        std::size_t name;
        std::size_t comment;
        std::uint64_t hash;
        std::int32_t firstKey; // the first value of the section's first key, -1 for none
        std::int32_t lastKey;
    };
    // One key=value line. The first line of a key heads the key: the others follow it through
    // `next`, and the heads of a section are chained through `nextKey`.
    struct Entry {
        std::size_t key;
        std::size_t value;
        std::size_t comment;
        std::uint64_t hash; // of the section and the key
        std::uint32_t section;
        std::int32_t next;
        std::int32_t last;
        std::int32_t nextKey;
    };

    std::size_t Store(const char* text);
    std::size_t FindSection(const char* name, std::uint64_t hash) const;
    std::uint32_t AddSection(std::size_t name, std::uint64_t hash, std::size_t comment);
    std::int32_t FindKey(std::uint32_t section, const char* key, std::uint64_t hash) const;
    void AddEntry(std::uint32_t section, std::size_t key, std::size_t value, std::size_t comment);
    void Index(std::int32_t head);

    // Every name, value and comment, each ending in a NUL: the text read (in place, position 1
    // on) and then what writes added. Position 0 is the empty name of the keys before any
    // section.
    std::string chars;
    std::size_t fileComment = kNone;
    std::vector<Section> sections;
    std::vector<Entry> entries;
    // Open addressing from a section's key to its head entry, and from a section's name to the
    // section; -1 marks a free slot.
    std::vector<std::int32_t> slots;
    std::vector<std::int32_t> sectionSlots;
    std::size_t keyCount = 0;
};

} // namespace platform
