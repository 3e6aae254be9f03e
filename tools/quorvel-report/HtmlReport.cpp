#include "HtmlReport.h"

#include <nlohmann/json.hpp>

#include "ChartLibrary.h"

namespace QuorvelReport {

namespace {

std::string escapeHtml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

// JSON placed inside a <script> element must not close it.
std::string scriptSafe(std::string json) {
    for (std::size_t at = json.find("</"); at != std::string::npos; at = json.find("</", at + 3)) {
        json.replace(at, 2, "<\\/");
    }
    return json;
}

nlohmann::json matchData(const std::vector<Quorvel::Summary::Sample>& match) {
    nlohmann::json seconds = nlohmann::json::array(), ping = nlohmann::json::array(),
                   latency = nlohmann::json::array(), lostIn = nlohmann::json::array(),
                   lostOut = nlohmann::json::array(), fps = nlohmann::json::array(),
                   buffer = nlohmann::json::array(), target = nlohmann::json::array();
    for (std::size_t i = 0; i < match.size(); ++i) {
        const auto& row = match[i];
        seconds.push_back(i);
        ping.push_back(row.ping);
        latency.push_back(row.latency);
        lostIn.push_back(row.lostPacketsIn);
        lostOut.push_back(row.lostPacketsOut);
        fps.push_back(row.fps);
        buffer.push_back(row.buffer);
        target.push_back(row.bufferTarget);
    }
    return {{"seconds", seconds}, {"ping", ping}, {"latency", latency}, {"lostIn", lostIn},
            {"lostOut", lostOut}, {"fps", fps},   {"buffer", buffer},   {"target", target}};
}

constexpr const char* kScript = R"js(
const charts = [
  {title: "Ping and latency (ms)", series: [["Ping", "ping", "#1f77b4"], ["Latency", "latency", "#ff7f0e"]]},
  {title: "Packets lost per second", series: [["Lost in", "lostIn", "#d62728"], ["Lost out", "lostOut", "#9467bd"]]},
  {title: "Frames per second", series: [["FPS", "fps", "#2ca02c"]]},
  {title: "Input buffer", series: [["Buffer", "buffer", "#8c564b"], ["Target", "target", "#7f7f7f"]]},
];
const plots = [];
MATCHES.forEach((match, index) => {
  const holder = document.getElementById("match-" + index);
  charts.forEach(chart => {
    const box = document.createElement("div");
    box.className = "chart";
    holder.appendChild(box);
    const options = {
      title: chart.title, width: 920, height: 220,
      scales: {x: {time: false}},
      axes: [{label: "seconds into the match"}, {}],
      series: [{label: "s"}].concat(chart.series.map(s => ({label: s[0], stroke: s[2], width: 1.5}))),
    };
    plots.push(new uPlot(options, [match.seconds].concat(chart.series.map(s => match[s[1]])), box));
  });
});
// Counts the charts whose canvas holds at least one painted pixel.
requestAnimationFrame(() => requestAnimationFrame(() => {
  let drawn = 0;
  for (const canvas of document.querySelectorAll(".chart canvas")) {
    const pixels = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
    for (let i = 3; i < pixels.length; i += 4) { if (pixels[i] !== 0) { drawn++; break; } }
  }
  document.body.dataset.chartsDrawn = String(drawn);
}));
)js";

}  // namespace

std::string renderHtml(const std::string& title,
                       const std::vector<std::vector<Quorvel::Summary::Sample>>& matches,
                       const std::vector<Quorvel::Summary::MatchSummary>& summaries) {
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n<title>" +
        escapeHtml(title) + "</title>\n<style>\n" + std::string(kChartCss) +
        "\nbody{font-family:sans-serif;margin:24px;color:#222}"
        "table{border-collapse:collapse;font-size:13px}"
        "td,th{border:1px solid #ccc;padding:4px 8px;text-align:right}"
        "td.text,th{text-align:left}.chart{margin:8px 0}"
        ".verdict-good{color:#2a7d2a}.verdict-connection,.verdict-server,.verdict-client{color:#"
        "b02a2a}"
        "\n</style>\n<script>\n" +
        std::string(kChartScript) + "\n</script>\n</head>\n<body>\n<h1>" + escapeHtml(title) +
        "</h1>\n";
    html +=
        "<table><tr><th>#</th><th>start (UTC)</th><th>length</th><th>server</th><th>playlist</th>"
        "<th>ping mean / median / p95 / max</th><th>latency mean / median / p95 / max</th>"
        "<th>loss in / out</th><th>FPS mean / 1% low</th><th>buffer / "
        "target</th><th>verdict</th></tr>\n";
    char cell[256];
    for (std::size_t i = 0; i < summaries.size(); ++i) {
        const auto& m = summaries[i];
        std::snprintf(cell, sizeof cell,
                      "<td>%.0f / %.0f / %.0f / %.0f ms</td><td>%.0f / %.0f / %.0f / %.0f ms</td>"
                      "<td>%.1f %% / %.1f %%</td><td>%.0f / %.0f</td><td>%.1f / %.1f</td>",
                      m.ping.mean, m.ping.median, m.ping.p95, m.ping.max, m.latency.mean,
                      m.latency.median, m.latency.p95, m.latency.max, m.lossInPercent,
                      m.lossOutPercent, m.fpsMean, m.fpsLow1Percent, m.bufferMean,
                      m.bufferTargetMean);
        html += "<tr><td><a href=\"#match-" + std::to_string(i) + "\">" + std::to_string(i + 1) +
                "</a></td>" + "<td class=\"text\">" + Quorvel::Summary::formatUtc(m.start) +
                "</td><td>" + std::to_string(m.rows) + " s</td><td class=\"text\">" +
                escapeHtml(m.server) + "</td><td>" + std::to_string(m.playlist) + "</td>" + cell +
                "<td class=\"text verdict-" + m.verdict + "\">" +
                escapeHtml(m.verdict + ": " + m.reason) + "</td></tr>\n";
    }
    html += "</table>\n";
    nlohmann::json data = nlohmann::json::array();
    for (std::size_t i = 0; i < matches.size(); ++i) {
        html += "<h2>Match " + std::to_string(i + 1) + ": " + escapeHtml(summaries[i].matchGuid) +
                " on " + escapeHtml(summaries[i].server) + ", " +
                Quorvel::Summary::formatUtc(summaries[i].start) + " UTC</h2>\n<div id=\"match-" +
                std::to_string(i) + "\"></div>\n";
        data.push_back(matchData(matches[i]));
    }
    html += "<script>\nconst MATCHES = " + scriptSafe(data.dump()) + ";\n" + kScript +
            "</script>\n</body></html>\n";
    return html;
}

}  // namespace QuorvelReport
