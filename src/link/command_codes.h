#pragma once
// The nine commands the program gives the instrument, the frames it answers
// with, and the frame bytes.
#include <cstdint>

namespace mz {

inline constexpr std::uint8_t kSoh = 0x01;
inline constexpr std::uint8_t kEot = 0x04;
inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kNak = 0x15;

namespace cmd {
inline constexpr std::uint8_t KeepAlive = 0x28;
inline constexpr std::uint8_t VersionRequest = 0x29;
inline constexpr std::uint8_t Relevel = 0x2A;
inline constexpr std::uint8_t StatusPoll = 0x2B;
inline constexpr std::uint8_t ReadingAck = 0x2D;
inline constexpr std::uint8_t SetFreqLevel = 0x60;
inline constexpr std::uint8_t SetModulation = 0x61;
inline constexpr std::uint8_t SetFreqPreScanLevel = 0x62;
inline constexpr std::uint8_t RfOff = 0x88;
}  // namespace cmd

// The frames the instrument sends.
namespace reply {
inline constexpr std::uint8_t Status = 0xC8;
inline constexpr std::uint8_t Version = 0xC9;
inline constexpr std::uint8_t Reading = 0xCA;
inline constexpr std::uint8_t Alarm = 0xCB;
inline constexpr std::uint8_t Level = 0xCD;
inline constexpr std::uint8_t ReadingNoAck = 0xD8;  // a reading that needs no ReadingAck
}  // namespace reply

}  // namespace mz
