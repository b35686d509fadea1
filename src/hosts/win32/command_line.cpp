#include "hosts/win32/command_line.h"

#include <shellapi.h>
#include <shlwapi.h>

namespace qv::win32 {

namespace {

// The token list of CommandLineToArgvW, freed on every way out.
class ArgList {
 public:
  explicit ArgList(const wchar_t* commandLine) : args_(CommandLineToArgvW(commandLine, &count_)) {
    if (args_ == nullptr) count_ = 0;
  }
  ~ArgList() { LocalFree(args_); }
  ArgList(const ArgList&) = delete;
  ArgList& operator=(const ArgList&) = delete;
  int count() const { return count_; }
  const wchar_t* operator[](int i) const { return args_[i]; }

 private:
  int count_ = 0;
  LPWSTR* args_;
};

}  // namespace

ParsedArgs classifyArgs(const wchar_t* commandLine) {
  ParsedArgs parsed;
  const ArgList args(commandLine);
  if (args.count() < 2) return parsed;
  if (StrCmpIW(args[1], L"/s") == 0) return parsed;
  if (args.count() == 3 && StrCmpIW(args[1], L"/p") == 0) {
    // StrToIntW reads the leading decimal digits; a token that is no number
    // gives 0, which ends the program without a word.
    const int handle = StrToIntW(args[2]);
    if (handle == 0) {
      parsed.outcome = ArgsOutcome::ExitSilently;
      return parsed;
    }
    parsed.outcome = ArgsOutcome::Preview;
    parsed.previewParent = reinterpret_cast<HWND>(static_cast<INT_PTR>(handle));
    return parsed;
  }
  parsed.outcome = ArgsOutcome::ShowUsage;
  return parsed;
}

}  // namespace qv::win32
