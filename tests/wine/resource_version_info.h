// A compiled version resource (VS_VERSIONINFO) read into its tree of keyed blocks.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct VersionBlock {
    std::string key;
    bool isText = false;         // wType 1: the value is text
    std::vector<uint8_t> value;  // raw bytes (binary blocks: the fixed info, a translation)
    std::string text;            // text values in Windows-1252, up to their terminating zero
    std::vector<VersionBlock> children;

    const VersionBlock* Child(const std::string& childKey) const;
};

// Fills root from the resource's bytes; false when a block runs past its parent or the bytes.
bool ReadVersionInfo(const std::vector<uint8_t>& bytes, VersionBlock& root);
