#pragma once

#include <cstdint>

namespace platform {

/// How far an archive may expand before it is refused as a zip bomb, and how much of it is held at once.
struct ZipLimits {
    /// Largest accepted total uncompressed size / archive size. Default 100.
    std::uint64_t maxExpansionRatio = 100;
    /// Archives expanding to less than this are never called bombs. Default 64 MiB.
    std::uint64_t expansionCheckFloor = 64ull * 1024 * 1024;
    /// Most entries (files, folders and links) an archive may hold. Default
    /// 100,000: an application bundle holds a few thousand, while hundreds of
    /// thousands of empty entries cost the volume's inodes and minutes of work.
    std::uint64_t maxEntries = 100'000;
    /// Most directory entries held in memory at once: the directory is read
    /// in slices of this many entries (and of at most 1 MiB), so memory does
    /// not grow with the archive. Default 4,096.
    std::uint64_t directorySliceEntries = 4096;
};

} // namespace platform
