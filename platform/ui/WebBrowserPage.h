#pragma once
// What the browser shows of a fetched page. The page is rewritten to a small set of tags and
// attributes that name nothing to load: no images, style sheets, frames, scripts or styles,
// so the view never opens a file, a device or an address on the page's word. A page too
// large or too deeply built to lay out quickly shows its text alone, or nothing.
#include <cstddef>
#include <string>
#include <string_view>

namespace ui {

// A longer page is no news page: its fetch is abandoned.
inline constexpr std::size_t kWebPageMaxBytes = 512 * 1024;
// A fetch that has not ended in this time is abandoned.
inline constexpr unsigned kWebPageMaxMs = 30000;

// Beyond any of these the page's layout may take seconds: only its text is shown.
inline constexpr std::size_t kWebPageMaxElements = 1000;
inline constexpr std::size_t kWebPageMaxDepth = 16;
inline constexpr std::size_t kWebPageMaxTableDepth = 2;
inline constexpr std::size_t kWebPageMaxCells = 500;
// Text, white space runs counted once; beyond it nothing is shown.
inline constexpr std::size_t kWebPageMaxText = 32 * 1024;

enum class TWebPageForm { Html, Text, None };

struct TWebPage {
    TWebPageForm Form = TWebPageForm::None;
    std::string Body;  // UTF-8: the rewritten HTML, or the plain text
};

TWebPage MakeWebPage(std::string_view html);

}  // namespace ui
