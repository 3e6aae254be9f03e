#include "PageTestSupport.h"

#include <gtest/gtest.h>

#include "RunProgram.h"

namespace QuorvelTest {

std::vector<nlohmann::json> dataBlocks(const std::string& page, Quorvel::Present::DataBlock block) {
    const std::string open = "<script type=\"application/json\" " +
                             std::string(Quorvel::Present::dataBlockAttributes(block)) + ">";
    std::vector<nlohmann::json> blocks;
    for (std::size_t at = page.find(open); at != std::string::npos; at = page.find(open, at)) {
        at += open.size();
        blocks.push_back(nlohmann::json::parse(page.substr(at, page.find("</script>", at) - at)));
    }
    return blocks;
}

bool chromiumInstalled() {
#if defined(_WIN32)
    return false;  // the page is drawn by the Linux suite
#else
    return std::filesystem::exists("/usr/bin/chromium");
#endif
}

namespace {

std::string chromiumFlags(const TempDir& folder, Window window) {
    return "--headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
           "--disable-background-networking --disable-component-update --disable-sync "
           "--hide-scrollbars --window-size=" +
           std::to_string(window.width) + "," + std::to_string(window.height) +
           " --virtual-time-budget=5000 --user-data-dir=" + shellQuoted(folder / "profile");
}

}  // namespace

std::string drawnPage(const std::filesystem::path& page, const TempDir& folder,
                      const std::string& hash, Window window, const std::string& before) {
    const ProgramRun dom = runProgram(
        "/usr/bin/chromium",
        chromiumFlags(folder, window) + " --dump-dom \"file://" + utf8(page) + hash + "\"", folder,
        before);
    EXPECT_EQ(dom.exitCode, 0) << dom.err;
    return dom.out;
}

void screenshot(const std::filesystem::path& page, const std::filesystem::path& png,
                const TempDir& folder, Window window) {
    const ProgramRun shot =
        runProgram("/usr/bin/chromium",
                   chromiumFlags(folder, window) + " --screenshot=" + shellQuoted(png) +
                       " \"file://" + utf8(page) + "\"",
                   folder);
    EXPECT_EQ(shot.exitCode, 0) << shot.err;
}

std::string attributeNear(const std::string& dom, const AttributeOf& wanted) {
    const std::string& marker = wanted.element;
    const std::string& attribute = wanted.name;
    const std::size_t at = dom.find(marker);
    const std::size_t tagStart = dom.rfind('<', at);
    const std::size_t found = dom.find(attribute + "=\"", tagStart);
    if (at == std::string::npos || found == std::string::npos) {
        return {};
    }
    const std::size_t start = found + attribute.size() + 2;
    return dom.substr(start, dom.find('"', start) - start);
}

std::string unescapedAttribute(std::string text) {
    for (const auto& [entity, character] : {std::pair<std::string, std::string>{"&quot;", "\""},
                                            std::pair<std::string, std::string>{"&amp;", "&"}}) {
        for (std::size_t at = text.find(entity); at != std::string::npos;
             at = text.find(entity, at + 1)) {
            text.replace(at, entity.size(), character);
        }
    }
    return text;
}

}  // namespace QuorvelTest
