#pragma once

// Reading the report's page back: its data blocks, and the page as headless Chromium
// leaves it once its scripts have run.

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "PageData.h"
#include "TempDir.h"

namespace QuorvelTest {

// The JSON of each <script> data element of the page of the kind `block`.
std::vector<nlohmann::json> dataBlocks(const std::string& page, Quorvel::Present::DataBlock block);

// Whether the page can be drawn here (the Linux suite, with chromium installed).
bool chromiumInstalled();

// The window pages are drawn in: the test's default, and a laptop's 1366 x 768 screen
// less the browser's own bars and the taskbar.
struct Window {
    int width = 1280;
    int height = 900;
};
inline constexpr Window kLaptopWindow{1366, 650};

// The page's DOM once its scripts have run, opened as page.html`hash` (#check: the page
// records what it drew; #check-links: it also follows its links). `before` is shell text
// run first (a time zone, say).
std::string drawnPage(const std::filesystem::path& page, const TempDir& folder,
                      const std::string& hash = "#check", Window window = {},
                      const std::string& before = "");

// A screenshot of the page's first screen in `window`, written to `png`.
void screenshot(const std::filesystem::path& page, const std::filesystem::path& png,
                const TempDir& folder, Window window);

// An attribute of the element that carries a marker (another attribute and its value).
struct AttributeOf {
    std::string element;  // the marker: `data-chart="ping"`
    std::string name;     // `data-labels`
};
// The value of the attribute on the element that carries its marker (HTML entities left
// as they are).
std::string attributeNear(const std::string& dom, const AttributeOf& wanted);

// An attribute's value as the DOM dump writes it, with &quot; and &amp; read back.
std::string unescapedAttribute(std::string text);

}  // namespace QuorvelTest
