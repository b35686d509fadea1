#pragma once
// Fatal run-time errors. Code that meets one calls reportRuntimeError with one
// of the fixed texts below: the platform shows the "Process Runtime Error" box
// and the worker unwinds (by RuntimeErrorStop) to its entry point, which ends
// the animation cleanly. Nothing is retried.

#include <stdexcept>
#include <string>
#include <string_view>

namespace qv {

class Platform;

namespace errors {
inline constexpr std::string_view OUT_OF_MEMORY =
    "memory allocation return is NULL, may be size allocation = 0";
inline constexpr std::string_view UPDATE_NOT_COMPLETE = "PSI: Update is not complete";
inline constexpr std::string_view NO_PARTICLES = "PARTCACH: No Particles";
inline constexpr std::string_view LINK_DRAW_ERROR = "PSI: LinkDraw Error";
inline constexpr std::string_view BALL_NOT_DEFINED = "PSI: PBall not defined";
inline constexpr std::string_view JPG_NOT_FOUND = "PSI: JPG Resource Not Found";
inline constexpr std::string_view JPG_WRONG_RESOLUTION = "PSI: JPG Resource Have Wrong Resolution";
inline constexpr std::string_view PICTURE_NOT_FOUND = "JPG or BMP Resource Not Found";
inline constexpr std::string_view NO_PICTURE_SUPPORT = "GDI+ (WindowsXP or later) support not present";
// Guards of our own: an index outside a fixed table, a full counter list.
inline constexpr std::string_view INDEX_OUT_OF_RANGE = "PSI: Index out of range";
inline constexpr std::string_view COUNTER_LIST_FULL = "CNT: Counter list is full";
}  // namespace errors

inline constexpr std::string_view RUNTIME_ERROR_CAPTION = "Process Runtime Error";

// Thrown by reportRuntimeError after the box has been shown; caught only by
// the worker's entry point (and by tests).
class RuntimeErrorStop : public std::runtime_error {
 public:
  explicit RuntimeErrorStop(std::string_view text) : std::runtime_error(std::string(text)) {}
};

[[noreturn]] void reportRuntimeError(Platform& platform, std::string_view text);

}  // namespace qv
