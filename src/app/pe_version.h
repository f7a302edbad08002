// The file version of a Windows executable read from its bytes: the fixed part of its version
// resource, found through the PE headers and the resource tree, so that a file can be judged on
// the handle that holds it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

namespace app {

// Reads size bytes at offset of the file into out; false when they are not all there.
using ReadAt = std::function<bool(uint64_t offset, void* out, size_t size)>;

// The version as the four 16-bit fields of the version resource, most significant first
// (PackedVersion's order); 0 when the file is not an executable or has no version resource.
uint64_t PeFileVersion(const ReadAt& read);

} // namespace app
