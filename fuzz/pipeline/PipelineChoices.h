// The choices a user makes in the option dialogs, drawn from an input's own bytes: the same input
// always takes the same path through the pipeline, and a mutated input may take another.
#pragma once

#include <cstddef>
#include <cstdint>

class PipelineChoices {
public:
    PipelineChoices(const std::uint8_t* data, std::size_t size) {
        // FNV-1a over the whole input.
        bits_ = 14695981039346656037ull;
        for (std::size_t i = 0; i < size; ++i)
            bits_ = (bits_ ^ data[i]) * 1099511628211ull;
    }

    // A yes or no, yes one time in four: the default answers are taken most of the time.
    bool next() { return take(2) == 0; }
    // An object or bone scale a user might type, negative ones included.
    float scale() {
        constexpr float kScales[] = {1.0f, 2.5f, 0.01f, -1.0f};
        return kScales[take(2)];
    }
    float angleDegrees() {
        constexpr float kAngles[] = {0.0f, 90.0f, -45.0f, 180.0f};
        return kAngles[take(2)];
    }
    std::uint32_t take(int bitCount) {
        const auto value = static_cast<std::uint32_t>(bits_ & ((1u << bitCount) - 1));
        // Rotating keeps drawing after 64 bits have been used.
        bits_ = (bits_ >> bitCount) | (bits_ << (64 - bitCount));
        return value;
    }

private:
    std::uint64_t bits_;
};
