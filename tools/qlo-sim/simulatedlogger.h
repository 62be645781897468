#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veltrano::sim {

// The logger's flash holds at most this many bytes.
inline constexpr std::size_t kLoggerMemorySize = 16'777'215;

using Bytes = std::vector<std::uint8_t>;

// A recording as the logger writes it: calibration word, recording-start word,
// temperature-start word, the two interval words, then `voltageSamples` voltage samples
// (a slow swing around 12.3 V) with temperature samples at their own interval.
Bytes makeRecording(int voltageCode, int temperatureCode, int voltageSamples);
// The built-in memory: one hour at 1 s / 30 s.
Bytes defaultRecording();
// The logger memory that an image holds: up to the first "DONE" at an even offset, else up
// to the last non-zero byte; at most kLoggerMemorySize bytes.
Bytes memoryFromImage(const std::uint8_t* image, std::size_t size);

// Reply texts; each contains the fragment the viewer waits for.
inline constexpr const char* kVoltageSetReply = "Spanningmeetinterval ingesteld: Gelukt\r\n";
inline constexpr const char* kTemperatureSetReply = "Temperatuurmeetinterval ingesteld: Gelukt\r\n";
inline constexpr const char* kUnknownCodeReply = "Onbekende code\r\n";
inline constexpr const char* kErasedReply = "Flash geheugen wel gewist\r\n";

// The logger's command handling, free of any I/O: feed it the bytes it receives, get back
// what it sends. An erase is split in two so the caller can wait the erase time between.
class SimulatedLogger {
public:
    explicit SimulatedLogger(Bytes memory, int voltageCode = 2, int temperatureCode = 1);

    enum class Action { None, Reply, EraseThenReply };
    struct Step {
        Action action = Action::None;
        // For Reply: what to send. A download's reply is memory() followed by "DONE".
        std::string text;
        bool download = false;
    };
    Step feed(std::uint8_t byte);
    // Erases the flash to 0xFF; after new interval codes the memory then holds the start
    // of a recording with them. Returns the reply text.
    std::string finishErase();

    const Bytes& memory() const { return memory_; }
    int voltageCode() const { return voltageCode_; }
    int temperatureCode() const { return temperatureCode_; }

private:
    Bytes memory_;
    int voltageCode_;
    int temperatureCode_;
    bool intervalsChanged_ = false;
    std::uint8_t pendingCommand_ = 0; // '!' or '"' waiting for its code byte
};

} // namespace veltrano::sim
