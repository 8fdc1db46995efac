#pragma once
// Frames a device sends of its own: event notices (0x40) as lines of the notice memo,
// diagnostic reports (0x29) as timed texts from the language file, and the result of a
// defragmentation (0x28).
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/rtl/DateTime.h"

// "hh:mm:ss - <number>: <operation> <object>". A frame shorter than one event record (a
// short answer to the SIM-number request) holds no notice: nothing.
std::optional<std::string> EventNoticeLine(std::span<const std::uint8_t> data);

// d0 = n, then n codes; only the codes the frame really holds.
std::vector<std::uint8_t> DiagnosticCodes(std::span<const std::uint8_t> data);

inline constexpr const char* kDiagnosticSection = "Diagnostic";
// Key of a code in the language file's [Diagnostic] section, and its text when absent.
std::string DiagnosticKey(std::uint8_t code);

// Log_decode: "%2d:%02d:%02d - %s" of the local time now and the code's text. langText
// gives the current language's half of [Diagnostic] key, defaulting to the key itself.
// Code 0 yields nothing.
std::optional<std::string> DiagnosticLine(std::uint8_t code,
                                          const std::function<std::string(const std::string& key)>& langText,
                                          TDateTime now);

// The message for a 0x28 reply: "" when d0 is 0 or missing.
std::string DefragmentResultText(std::span<const std::uint8_t> data);
