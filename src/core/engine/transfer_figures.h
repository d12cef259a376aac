#pragma once
// What the File Transfer window shows, computed from its counters: bar
// positions, the rate text and the time-left lines. Pure functions, shared by
// the desktop window and the terminal's progress line.

#include <cstdint>
#include <string>

namespace veltrim {

// done * 100 / (total + 1) in unsigned arithmetic (a complete file never shows 100).
uint32_t ProgressPercent(uint64_t done, uint64_t total);

// Rate in bytes per second: totalDone / (elapsed whole seconds + 1).
double TransferRate(uint64_t totalDone, int64_t elapsedWholeSeconds);

// The rate divided by 1024 with two decimals, followed by " KB/sec".
std::string RateText(double bytesPerSecond);

// "%H hr %M min %S sec", "%M min %S sec" or "%S sec" (two digits each; days not shown).
std::string TimeLeftFormat(int64_t seconds);

// Whole seconds to move `remaining` bytes at `bytesPerSecond`; -1 while the
// rate is still 0 (nothing moved yet).
int64_t SecondsLeft(uint64_t remaining, double bytesPerSecond);

// The two time-left lines: the file's time left, "   (", fileDone/1024,
// " KB copied)", "\n", then the same for the run. While the rate is 0 the
// time part is empty.
std::string TimeLeftText(uint64_t fileSize, uint64_t fileDone, uint64_t totalBytes, uint64_t totalDone,
                         double bytesPerSecond);

// A path longer than 28 characters as "..." and its last 28 characters.
std::string ShortenForTransferWindow(const std::string& path);

// The text after the last "/" or "\" of a path; the whole path without either.
std::string FileNamePart(const std::string& path);

}  // namespace veltrim
