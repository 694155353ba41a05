// What the X file fuzz targets check of one input, shared with the tests that replay every input
// that ever failed: the input reads without a fault, every object walks the way callers walk
// them, and what reads also saves in binary and reads back whole.
#pragma once

#include <dxfile.h>

#include <cstddef>
#include <cstdint>
#include <string>

// `root` has the templates registered that inputs may use. The input is a whole X file when it
// starts with "xof ", else the body after `defaultHeader`. Returns "" when every check holds,
// else what went wrong.
std::string checkXFile(IDirectXFile* root, const std::uint8_t* data, std::size_t size,
                       const char* defaultHeader);

// The three default headers the targets are built with.
inline constexpr const char* kFuzzHeaders[] = {"xof 0303txt 0032", "xof 0303bin 0032",
                                               "xof 0303bzip0032"};
