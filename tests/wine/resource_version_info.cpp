// Every block of a version resource has one layout: length, value length, type, key, value,
// children, each part DWORD-aligned; text value lengths count characters, binary ones bytes.
#include "resource_version_info.h"
#include "resource_cursor.h"

namespace {

bool ReadBlock(const std::vector<uint8_t>& bytes, size_t start, VersionBlock& block) {
    ResourceCursor in(bytes, start);
    size_t length = in.Word();
    size_t valueLength = in.Word();
    block.isText = in.Word() == 1;
    if (length < 6 || start + length > bytes.size()) return false;
    ResourceCursor body(bytes, in.Offset(), start + length);
    block.key = body.Text();
    body.AlignDword();
    size_t valueBytes = block.isText ? valueLength * 2 : valueLength;
    size_t valueStart = body.Offset();
    body.Skip(valueBytes);
    if (body.Broken()) return false;
    block.value.assign(bytes.begin() + valueStart, bytes.begin() + valueStart + valueBytes);
    if (block.isText) {
        ResourceCursor text(bytes, valueStart, valueStart + valueBytes);
        block.text = text.Text();
    }
    body.AlignDword();
    while (!body.AtEnd()) {
        VersionBlock child;
        size_t childStart = body.Offset();
        if (!ReadBlock(bytes, childStart, child)) return false;
        size_t childLength = bytes[childStart] | (bytes[childStart + 1] << 8);
        if (childStart + childLength > body.End()) return false;
        block.children.push_back(child);
        body.MoveTo(childStart + childLength);
        body.AlignDword();
    }
    return true;
}

}  // namespace

const VersionBlock* VersionBlock::Child(const std::string& childKey) const {
    for (const VersionBlock& child : children)
        if (child.key == childKey) return &child;
    return nullptr;
}

bool ReadVersionInfo(const std::vector<uint8_t>& bytes, VersionBlock& root) {
    root = VersionBlock();
    return !bytes.empty() && ReadBlock(bytes, 0, root);
}
